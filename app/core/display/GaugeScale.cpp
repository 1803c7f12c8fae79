#include "GaugeScale.h"

#include <algorithm>
#include <cmath>

GaugeScale::GaugeScale(double bottom, double top)
    : m_bottom(bottom), m_top(top), m_low(std::min(bottom, top)), m_high(std::max(bottom, top)),
      m_usable(std::isfinite(bottom) && std::isfinite(top) && top != bottom &&
               std::isfinite(top - bottom)) {}

double GaugeScale::fraction(double value) const {
    if (std::isnan(value))
        return value;
    if (!m_usable)
        return 0.5;
    return std::clamp((value - m_bottom) / (m_top - m_bottom), 0.0, 1.0);
}

std::vector<double> GaugeScale::marks(double step, int maxMarks) const {
    std::vector<double> result;
    if (!m_usable || maxMarks < 1)
        return result;
    const double range = m_high - m_low;
    double interval = std::fabs(step);
    if (!std::isfinite(interval) || interval <= 0.0)
        interval = range / 10.0;
    if (range / interval > maxMarks)
        interval *= std::ceil(range / interval / maxMarks);
    // A little slack so that a top end reached by rounding still gets its mark.
    const int count = static_cast<int>(std::floor(range / interval + 1e-9));
    result.reserve(static_cast<size_t>(count) + 1);
    for (int i = 0; i <= count; ++i) {
        const double mark = m_low + i * interval;
        result.push_back(std::fabs(mark) < interval * 1e-6 ? 0.0 : mark);
    }
    return result;
}

GaugeZone gaugeZone(double value, const GaugeLimits &limits) {
    if (std::isnan(value))
        return GaugeZone::Unknown;
    if (value < limits.loTol || value > limits.hiTol)
        return GaugeZone::Reject;
    if (value < limits.loAppr || value > limits.hiAppr)
        return GaugeZone::Warning;
    return GaugeZone::Good;
}
