#include "ScriptedReadingSource.h"

#include <utility>

namespace studyrun {

ScriptedReadingSource::ScriptedReadingSource(QString setupName, std::vector<SourceChannel> channels,
                                             QObject *parent)
    : StudyReadingSource(parent), m_setupName(std::move(setupName)),
      m_channels(std::move(channels)), m_stale(QStringLiteral("No reading has come yet.")) {}

void ScriptedReadingSource::tick(const std::map<int, double> &readings) {
    m_readings = readings;
    m_stale.clear();
    ++m_tick;
    Q_EMIT readingsChanged();
}

void ScriptedReadingSource::goStale(const QString &reason) {
    m_stale = reason;
    Q_EMIT readingsChanged();
}

void ScriptedReadingSource::loadSetup(const QString &setupName,
                                      std::vector<SourceChannel> channels) {
    m_setupName = setupName;
    m_channels = std::move(channels);
    m_readings.clear();
    m_stale = QStringLiteral("No reading has come yet.");
    Q_EMIT setupChanged();
    Q_EMIT readingsChanged();
}

FreshReadings ScriptedReadingSource::freshReadings(const std::vector<int> &channels) const {
    if (!m_stale.isEmpty())
        return {{}, m_stale};
    FreshReadings fresh;
    fresh.tick = m_tick;
    for (int channel : channels) {
        const auto reading = m_readings.find(channel);
        if (reading == m_readings.end())
            return {{},
                    QStringLiteral("Channel %1 has no reading from the last tick.").arg(channel)};
        fresh.values.push_back(reading->second);
    }
    return fresh;
}

} // namespace studyrun
