#include "StationStudySource.h"

#include <algorithm>
#include <cmath>

StationStudySource::StationStudySource(QString stationName, QObject *parent)
    : studyrun::StudyReadingSource(parent), m_stationName(std::move(stationName)) {}

std::vector<studyrun::SourceChannel> StationStudySource::channels() const {
    std::vector<studyrun::SourceChannel> shown;
    for (const recording::ChannelSetup &setup : m_view.channels) {
        if (setup.state == recording::SetupState::Missing)
            continue;
        studyrun::SourceChannel channel{setup.channel, setup.description, setup.decimals, {}};
        if (setup.limits)
            channel.tolerance = setup.limits->hiTol - setup.limits->loTol;
        shown.push_back(channel);
    }
    return shown;
}

studyrun::FreshReadings StationStudySource::freshReadings(const std::vector<int> &channels) const {
    studyrun::FreshReadings fresh;
    if (m_held) {
        fresh.refusal = QStringLiteral("The list is not refreshed now (View > Update is off, or "
                                       "another window holds it).");
        return fresh;
    }
    for (const int channel : channels) {
        const std::size_t at = static_cast<std::size_t>(std::max(channel, 0));
        const std::optional<recording::ChannelReading> *reading =
            at < m_readings.size() ? &m_readings[at] : nullptr;
        if (!reading || !reading->has_value()) {
            fresh.refusal = QStringLiteral("Channel %1 is not in the view shown.").arg(channel);
            return fresh;
        }
        const std::optional<double> &value = (*reading)->value;
        if ((*reading)->tick != m_lastTick || !value || !std::isfinite(*value)) {
            fresh.refusal =
                QStringLiteral("Channel %1 has no reading from the last tick.").arg(channel);
            return fresh;
        }
        fresh.values.push_back(*value);
    }
    fresh.tick = m_lastTick;
    return fresh;
}

void StationStudySource::showView(const recording::RecordingView &view) {
    const bool sameChannels = std::equal(
        view.channels.begin(), view.channels.end(), m_view.channels.begin(), m_view.channels.end(),
        [](const auto &a, const auto &b) { return a.channel == b.channel; });
    m_view = view;
    if (!sameChannels)
        m_readings.clear();
    Q_EMIT readingsChanged();
}

void StationStudySource::takeReading(const recording::ChannelReading &reading) {
    if (reading.channel < 0)
        return;
    const auto at = static_cast<std::size_t>(reading.channel);
    if (at >= m_readings.size())
        m_readings.resize(at + 1);
    m_readings[at] = reading;
}

void StationStudySource::endTick(qint64 tick, bool complete, bool held) {
    m_held = held;
    if (complete && !held)
        m_lastTick = tick;
    Q_EMIT readingsChanged();
}

void StationStudySource::setSetupName(const QString &name) {
    if (name == m_setupName)
        return;
    m_setupName = name;
    Q_EMIT setupChanged();
}
