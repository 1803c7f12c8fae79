#pragma once

#include "StudyReadingSource.h"

#include <map>

// Readings held in memory and set by whoever drives it: the tests' and the demonstration's
// stand-in for the station's poll. A tick sets every channel's reading at once, fresh until the
// next tick or until they are made stale; ticks are numbered from 1.
namespace studyrun {

class ScriptedReadingSource : public StudyReadingSource {
    Q_OBJECT

public:
    ScriptedReadingSource(QString setupName, std::vector<SourceChannel> channels,
                          QObject *parent = nullptr);

    // The readings of a tick, by channel number; a channel left out has no reading this tick.
    void tick(const std::map<int, double> &readings);
    // No fresh readings from now until the next tick, for this reason.
    void goStale(const QString &reason);
    // Another setup with its channels; no fresh readings until the next tick.
    void loadSetup(const QString &setupName, std::vector<SourceChannel> channels);

    QString stationName() const override { return QStringLiteral("Station 1"); }
    QString setupName() const override { return m_setupName; }
    std::vector<SourceChannel> channels() const override { return m_channels; }
    FreshReadings freshReadings(const std::vector<int> &channels) const override;

private:
    QString m_setupName;
    std::vector<SourceChannel> m_channels;
    std::map<int, double> m_readings;
    QString m_stale;
    qint64 m_tick = 0;
};

} // namespace studyrun
