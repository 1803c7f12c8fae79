#pragma once

#include "LiveValues.h"
#include "RecordingInput.h"
#include "StudyReadingSource.h"

#include <optional>
#include <vector>

// The station as a gauge study's source of readings: the channels of the view on display, with
// the limits read for them, and their readings of the last tick, taken by the same rule as a
// recorded part (the whole tick read, the list not held, every channel read in it).
class StationStudySource : public studyrun::StudyReadingSource {
    Q_OBJECT

public:
    explicit StationStudySource(QString stationName, QObject *parent = nullptr);

    QString stationName() const override { return m_stationName; }
    QString setupName() const override { return m_setupName; }
    std::vector<studyrun::SourceChannel> channels() const override;
    studyrun::FreshReadings freshReadings(const std::vector<int> &channels) const override;

    // The feed, as the part recorder gets it.
    void showView(const recording::RecordingView &view);
    void takeReading(const recording::ChannelReading &reading);
    void endTick(qint64 tick, bool complete, bool held);
    void setSetupName(const QString &name);

private:
    QString m_stationName;
    QString m_setupName;
    recording::RecordingView m_view;
    // The last reading of each channel, by channel number: taken 128 times a tick, so a flat
    // table rather than a tree.
    std::vector<std::optional<recording::ChannelReading>> m_readings;
    qint64 m_lastTick = 0; // the last tick read whole
    bool m_held = false;
};
