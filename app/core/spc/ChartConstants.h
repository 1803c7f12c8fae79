#pragma once

#include <span>

// The constants of Shewhart charts for subgroups of 2 to 25 readings, computed once from the
// normal distribution rather than copied from a printed table: d2 and d3 by integrating the
// distribution of the range, c4 from the gamma function, and the limit factors from them.
namespace spc {

inline constexpr int SmallestConstantsSize = 2;
inline constexpr int LargestConstantsSize = 25;

struct ChartConstants {
    int n = 0;
    double d2 = 0.0; // mean range of n standard normal readings
    double d3 = 0.0; // standard deviation of that range
    double c4 = 0.0; // mean sample standard deviation (n − 1) of n standard normal readings
    double A2 = 0.0; // X̄ limits: X̄̄ ± A2 · R̄, A2 = 3 / (d2 √n)
    double A3 = 0.0; // X̄ limits: X̄̄ ± A3 · S̄, A3 = 3 / (c4 √n)
    double B3 = 0.0; // S chart: B3 · S̄ to B4 · S̄, B3,4 = 1 ∓ 3 √(1 − c4²) / c4, at least 0
    double B4 = 0.0;
    double D3 = 0.0; // R chart: D3 · R̄ to D4 · R̄, D3,4 = 1 ∓ 3 d3 / d2, at least 0
    double D4 = 0.0;
    double E2 = 0.0; // individuals from a moving range of span n: X̄ ± E2 · MR̄, E2 = 3 / d2
};

// Every size from SmallestConstantsSize to LargestConstantsSize in order. Computed on first use
// (a few milliseconds) and kept for the run.
std::span<const ChartConstants> chartConstantTable();

// The constants for subgroups of n readings; nullptr outside 2..25.
const ChartConstants *chartConstants(int n);

} // namespace spc
