#pragma once

#include <vector>

// The arithmetic behind one bar gauge, apart from the widget. Settings come from the unit and
// may be anything: a scale whose ends coincide or are not finite, a reversed scale, a NaN
// reading, a tick step that would ask for millions of marks. None of them may divide by zero
// or make the gauge draw garbage.
class GaugeScale {
public:
    GaugeScale(double bottom, double top);

    // Finite ends that differ: readings can be placed on it.
    bool isUsable() const { return m_usable; }
    double low() const { return m_low; }
    double high() const { return m_high; }

    // Where a reading lies: 0 at the bottom end, 1 at the top end (also on a reversed scale),
    // clamped to [0, 1]; 0.5 on an unusable scale; NaN for a reading that is not a number.
    double fraction(double value) const;

    // Major mark values from the lower end up, step apart (its sign ignored), at most
    // maxMarks + 1 of them: a step too fine for the room is widened by whole multiples.
    // Marks that are zero but for rounding noise are exactly 0. Empty on an unusable scale.
    std::vector<double> marks(double step, int maxMarks) const;

private:
    double m_bottom;
    double m_top;
    double m_low;
    double m_high;
    bool m_usable;
};

// The four limits of a channel, as the gauge's markers 1 to 4 carry them.
struct GaugeLimits {
    double loTol = 0, loAppr = 0, hiAppr = 0, hiTol = 0;
};

enum class GaugeZone { Good, Warning, Reject, Unknown };

// Outside the tolerance limits: Reject; outside the approach limits: Warning; else Good.
// Unknown for a reading that is not a number.
GaugeZone gaugeZone(double value, const GaugeLimits &limits);
