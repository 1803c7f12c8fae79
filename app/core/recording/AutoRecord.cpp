#include "AutoRecord.h"

#include <algorithm>
#include <cmath>

namespace recording {

namespace {

bool takesPart(const ChannelSetup &setup) {
    return setup.state == SetupState::Known && setup.limits.has_value();
}

} // namespace

AutoRecord::AutoRecord(AutoRecordRule rule) : m_rule(rule) {}

void AutoRecord::setRule(const AutoRecordRule &rule) {
    m_rule = rule;
    interrupt();
}

bool AutoRecord::canRecord(const RecordingView &view) {
    return std::any_of(view.channels.begin(), view.channels.end(), takesPart);
}

AutoRecord::Span AutoRecord::spanOf(const GaugeLimits &limits) const {
    const double low = std::min(limits.loTol, limits.hiTol);
    const double high = std::max(limits.loTol, limits.hiTol);
    const double width = high - low;
    const double margin = width * m_rule.marginPercent / 100.0;
    return {low - margin, high + margin, width * m_rule.stablePercent / 100.0};
}

bool AutoRecord::takeTick(const RecordingView &view, const TickReadings &readings) {
    const size_t count = std::min(view.channels.size(), readings.channels.size());
    m_history.resize(count);
    m_lastTick.resize(count);
    bool anyTakesPart = false;
    bool allIn = true;
    bool allStill = true;
    const auto ticks = static_cast<size_t>(std::max(m_rule.stableTicks, 1));
    for (size_t i = 0; i < count; ++i) {
        const ChannelSetup &setup = view.channels[i];
        std::vector<double> &history = m_history[i];
        if (!takesPart(setup)) {
            history.clear();
            continue;
        }
        anyTakesPart = true;
        const ChannelReading &reading = readings.channels[i];
        if (!reading.value || !std::isfinite(*reading.value)) {
            // Not a sign that the part left: only that it cannot be seen to hold still.
            history.clear();
            allStill = false;
            continue;
        }
        const double value = *reading.value;
        const Span span = spanOf(*setup.limits);
        if (value < span.low || value > span.high) {
            allIn = false;
            history.clear();
            continue;
        }
        // A reading the last tick could not renew is not a second sign of standing still.
        if (history.empty() || reading.tick != m_lastTick[i])
            history.push_back(value);
        m_lastTick[i] = reading.tick;
        if (history.size() > ticks)
            history.erase(history.begin());
        const auto [lowest, highest] = std::minmax_element(history.begin(), history.end());
        if (history.size() < ticks || *highest - *lowest > span.stillWithin)
            allStill = false;
    }
    if (!anyTakesPart)
        return false;
    if (!allIn) {
        // A channel out of its span: the fixture is empty, or its part is being taken out.
        m_armed = true;
        return false;
    }
    if (!m_armed || !allStill)
        return false;
    m_armed = false;
    return true;
}

void AutoRecord::interrupt() {
    m_history.clear();
    m_lastTick.clear();
}

void AutoRecord::noteRecorded() {
    m_armed = false;
}

} // namespace recording
