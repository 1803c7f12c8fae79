#pragma once

#include <cmath>
#include <cstddef>

namespace spc {

// Count, mean and sum of squared deviations of a growing series, updated one value at a time
// (Welford's recurrence, which stays accurate when the values sit far from zero, as readings
// around a nominal do).
struct RunningMoments {
    std::size_t n = 0;
    double mean = 0.0;
    double squaredDeviations = 0.0;

    void add(double value) {
        ++n;
        const double delta = value - mean;
        mean += delta / static_cast<double>(n);
        squaredDeviations += delta * (value - mean);
    }

    // The sample standard deviation (n − 1); 0 below two values.
    double sampleSigma() const {
        return n < 2 ? 0.0 : std::sqrt(squaredDeviations / static_cast<double>(n - 1));
    }
};

} // namespace spc
