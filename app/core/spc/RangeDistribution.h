#pragma once

#include <vector>

// The mean and standard deviation of the range of n independent standard normal readings, found
// by integrating the range's distribution numerically. They are the chart constants d2 (the mean)
// and d3 (the standard deviation), from which every constant of the range chart follows.
namespace spc {

struct RangeMoments {
    int n = 0;
    double mean = 0.0;              // d2
    double standardDeviation = 0.0; // d3
};

// The moments for every subgroup size from 2 to largestSize, in that order (one pass serves all
// sizes, since the integrands of successive sizes are successive powers of the same terms).
std::vector<RangeMoments> rangeMoments(int largestSize);

// The moments for subgroups of n ≥ 2, worked out once a run for every size up to it (a study
// window asks again after every reading).
RangeMoments rangeMomentsOf(int n);

// The root mean square of the average of g ranges of n readings each: √(d2² + d3² / g), so that
// (R̄ / d2*)² estimates σ² without bias. g = 1 gives √E[R²]; a large g approaches d2.
double d2Star(int n, int g);

// c4: the mean of the sample standard deviation of n standard normal readings,
// sqrt(2 / (n − 1)) · Γ(n / 2) / Γ((n − 1) / 2).
double sampleSigmaMean(int n);

} // namespace spc
