#pragma once

#include <QString>

// Where the published items' values come from: the station's hidden channel labels. The
// service only reads it; the station tells the service when a caption changes.
class LiveItemSource {
public:
    virtual ~LiveItemSource() = default;

    // Items labelChan(1) ... labelChan(channelCount()) exist.
    virtual int channelCount() const = 0;
    // Caption of channel's label, 1 <= channel <= channelCount().
    virtual QString channelText(int channel) const = 0;
};
