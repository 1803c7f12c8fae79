#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

// Where a gauge study takes its readings from: the station's channels as the poll last read them.
// A study takes a reading only when every channel it measures has a fresh one, by the same rule
// as recording a part: a reading from the last tick, not older, none missing, the poll not held.
//
// The station implements this over the part recorder's feed of per-tick readings:
// - channels(): the channels of the loaded setup with their descriptions, decimals and, where a
//   channel has both reject limits, their span as the tolerance offered;
// - freshReadings(): the readings of the last tick for exactly these channels with that tick's
//   number, or the reason the record gate gives for refusing ("Channel 3 has no reading from
//   the last tick.");
// - readingsChanged() after every tick and whenever freshness changes (a hold, a view change,
//   a stale reading), so the study window shows the live values and enables Take Reading;
// - setupChanged() when another setup is loaded.
// The Record key (F9) goes to GaugeStudyWindow::takeReading() while the window has a study
// running (GaugeStudyWindow::isTakingReadings()), and to the part recorder otherwise.
namespace studyrun {

struct SourceChannel {
    int number = 0;
    QString description;
    int decimals = 0;
    std::optional<double> tolerance; // the span of the channel's reject limits, when it has both

    bool operator==(const SourceChannel &) const = default;
};

struct FreshReadings {
    std::vector<double> values; // one a channel asked for, in the order asked
    QString refusal;            // why there are none; empty when the values are fresh
    qint64 tick = 0;            // the poll's tick they were read in, counting up; 0 when unknown

    bool ok() const { return refusal.isEmpty(); }
};

class StudyReadingSource : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QString stationName() const = 0;
    virtual QString setupName() const = 0; // the loaded setup file's name; empty when none
    virtual std::vector<SourceChannel> channels() const = 0;
    virtual FreshReadings freshReadings(const std::vector<int> &channels) const = 0;

Q_SIGNALS:
    void readingsChanged();
    void setupChanged();
};

} // namespace studyrun
