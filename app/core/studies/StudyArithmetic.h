#pragma once

#include <cmath>
#include <span>

// Sums taken about the first value: readings that are all equal then give that reading back
// exactly and a spread of exactly 0, so a gauge that repeats itself to the last digit shows no
// variation rather than a rounding residue, and the differences stay small for readings far
// from 0.
namespace studies {

inline double meanOf(std::span<const double> values) {
    if (values.empty())
        return 0.0;
    const double first = values.front();
    double offsets = 0.0;
    for (double value : values)
        offsets += value - first;
    return first + offsets / static_cast<double>(values.size());
}

inline double squaresAbout(std::span<const double> values, double centre) {
    double sum = 0.0;
    for (double value : values)
        sum += (value - centre) * (value - centre);
    return sum;
}

inline bool allFinite(std::span<const double> values) {
    for (double value : values)
        if (!std::isfinite(value))
            return false;
    return true;
}

} // namespace studies
