#include "StudyReadings.h"

#include <algorithm>
#include <cmath>

namespace studies {

StudyReadings::StudyReadings(StudyLayout layout, int channels)
    : m_layout(layout), m_channels(channels),
      m_latest(static_cast<std::size_t>(std::max(0, layout.readings()))) {}

std::size_t StudyReadings::indexOf(const StudyStep &step) const {
    return static_cast<std::size_t>(
        (step.appraiser * m_layout.parts + step.part) * m_layout.trials + step.trial);
}

QString StudyReadings::record(const StudyStep &step, const std::vector<double> &values) {
    if (!contains(m_layout, step))
        return QStringLiteral("Appraiser %1, part %2, trial %3 is not a step of this study.")
            .arg(appraiserLabel(step.appraiser))
            .arg(step.part + 1)
            .arg(step.trial + 1);
    if (static_cast<int>(values.size()) != m_channels)
        return QStringLiteral("A reading of this study has %1 values, one a channel; %2 came.")
            .arg(m_channels)
            .arg(values.size());
    for (std::size_t channel = 0; channel < values.size(); ++channel)
        if (!std::isfinite(values[channel]))
            return QStringLiteral("The value of channel %1 is not a number.").arg(channel + 1);

    std::optional<std::size_t> &latest = m_latest[indexOf(step)];
    if (latest)
        m_history[*latest].replaced = true;
    latest = m_history.size();
    m_history.push_back({step, values, false});
    return {};
}

const RecordedReading *StudyReadings::latest(const StudyStep &step) const {
    if (!contains(m_layout, step))
        return nullptr;
    const std::optional<std::size_t> &latest = m_latest[indexOf(step)];
    return latest ? &m_history[*latest] : nullptr;
}

int StudyReadings::takenSteps() const {
    return static_cast<int>(std::count_if(m_latest.begin(), m_latest.end(),
                                          [](const auto &latest) { return latest.has_value(); }));
}

std::vector<StudyStep> StudyReadings::missingSteps() const {
    std::vector<StudyStep> missing;
    for (int a = 0; a < m_layout.appraisers; ++a)
        for (int p = 0; p < m_layout.parts; ++p)
            for (int t = 0; t < m_layout.trials; ++t)
                if (!latest({a, p, t}))
                    missing.push_back({a, p, t});
    return missing;
}

std::optional<StudyStep> StudyReadings::nextStep(const std::vector<StudyStep> &order) const {
    for (const StudyStep &step : order)
        if (contains(m_layout, step) && !latest(step))
            return step;
    return std::nullopt;
}

RrReadings StudyReadings::readingsOf(int channel) const {
    RrReadings readings(slot(m_layout.appraisers),
                        std::vector<std::vector<double>>(slot(m_layout.parts)));
    if (channel < 0 || channel >= m_channels)
        return readings;
    for (int a = 0; a < m_layout.appraisers; ++a)
        for (int p = 0; p < m_layout.parts; ++p)
            for (int t = 0; t < m_layout.trials; ++t)
                if (const RecordedReading *reading = latest({a, p, t}))
                    readings[slot(a)][slot(p)].push_back(reading->values[slot(channel)]);
    return readings;
}

} // namespace studies
