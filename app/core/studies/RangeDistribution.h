#pragma once

// The range of m readings drawn from a normal distribution with σ = 1: its mean d2 and its
// standard deviation d3, found by numerical integration of the range's distribution rather than
// read from a printed table, so any subgroup size is covered. The study factors and the range
// chart's limits are built from them.
namespace studies {

struct RangeMoments {
    double mean = 0.0;       // d2 = E[R]
    double meanSquare = 0.0; // E[R²] = d2² + d3²

    double deviation() const; // d3
};

// m ≥ 2 readings a subgroup.
RangeMoments rangeMoments(int m);

double d2(int m);
double d3(int m);

// The root mean square of the average of g ranges of m readings each: √(d2² + d3² / g), so that
// (R̄ / d2*)² estimates σ² without bias. g = 1 gives √E[R²]; a large g approaches d2.
double d2Star(int m, int g);

// The limits of a range chart as multiples of its average range: D4 = 1 + 3 d3/d2 and
// D3 = 1 − 3 d3/d2, no lower than 0.
double rangeUpperFactor(int m);
double rangeLowerFactor(int m);

} // namespace studies
