#pragma once

#include "LiveItemSource.h"
#include "LiveValues.h"

#include <QObject>
#include <QString>

#include <vector>

class QLabel;

// The main window's hidden labels LabelChan(0 ... MaxChannel): LabelChan(n) carries channel n's
// value to the programs that follow it. The labels follow the main list: while it is refreshed
// they subscribe to every channel, and a caption is written, and captionChanged sent, only when
// the channel's value changed since the list last started over (a channel that really reads
// -9999, the mark of a value not yet shown, is therefore not written until it changes).
class ChannelLabels : public QObject, public LiveItemSource {
    Q_OBJECT

public:
    // first is LabelChan(0), made with the window; the others are made beside it.
    ChannelLabels(QLabel *first, LiveValues &live, QObject *parent = nullptr);
    ~ChannelLabels() override;

    // LabelChan(1) ... LabelChan(channels) exist, no more; LabelChan(0) always stays.
    void setCount(int channels);
    int count() const { return static_cast<int>(m_labels.size()); }
    // LabelChan(n); nullptr outside 0 ... MaxChannel.
    QLabel *label(int n) const;
    QString caption(int n) const;

    // LiveItemSource
    int channelCount() const override { return count() - 1; }
    QString channelText(int channel) const override;

Q_SIGNALS:
    // The caption of LabelChan(channel) changed.
    void captionChanged(int channel, const QString &text);

private:
    void show(const LiveReading &reading);

    std::vector<QLabel *> m_labels;
    // The value each label shows, Unshown after the list started over.
    std::vector<float> m_shown;
    LiveSubscription m_live;
};
