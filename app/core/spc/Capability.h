#pragma once

#include <QString>

#include <cstddef>
#include <optional>

// Process capability of one channel's parts against its tolerance: Cp and Cpk from σ within
// (the spread inside subgroups, what the process can do), Pp and Ppk from σ overall (the sample
// standard deviation of every part, what it did), each with a two-sided 95 % confidence interval
// over N − 1 degrees of freedom, and the parts outside the tolerance, counted and expected from
// the normal distribution.
namespace spc {

// The channel's tolerance limits; either may be missing.
struct Tolerance {
    std::optional<double> lower;
    std::optional<double> upper;

    bool operator==(const Tolerance &) const = default;
};

// What the figures are computed from, so the figures of a long series are kept up to date from
// running sums instead of the parts themselves.
struct CapabilityInput {
    std::size_t n = 0;
    double mean = 0.0;
    std::optional<double> sigmaWithin; // none before the first complete subgroup
    double sigmaOverall = 0.0;         // sample standard deviation, n − 1
    std::size_t below = 0;             // parts under the lower limit (a part on a limit is inside)
    std::size_t above = 0;             // parts over the upper limit
};

struct Bounds {
    double lower = 0.0;
    double upper = 0.0;
};

struct CapabilityIndex {
    double value = 0.0;
    Bounds bounds; // two-sided 95 %
};

enum class CapabilityState {
    Figures,
    NoTolerance,      // neither limit: nothing to be capable of
    InvalidTolerance, // a limit is not a number, or the lower is not below the upper
    TooFewParts,      // fewer than two parts: no standard deviation
    ZeroSpread,       // every reading equal (σ = 0): no index can be formed
};

struct Capability {
    CapabilityState state = CapabilityState::TooFewParts;
    QString reason; // why there are no figures, in words; empty with figures
    QString note;   // with figures: why Cp and Cpk are missing while Pp and Ppk are shown
    std::size_t n = 0;
    double mean = 0.0;
    std::optional<double> sigmaWithin;
    double sigmaOverall = 0.0;
    // Cp and Pp only with both limits; with one limit Cpk and Ppk are that side's index.
    std::optional<CapabilityIndex> cp;
    std::optional<CapabilityIndex> cpk;
    std::optional<CapabilityIndex> pp;
    std::optional<CapabilityIndex> ppk;
    std::optional<double> observedPpm; // parts outside the tolerance per million
    std::optional<double> expectedPpmWithin;
    std::optional<double> expectedPpmOverall;
};

Capability capability(const CapabilityInput &input, const Tolerance &tolerance);

// The chi-square interval of a Cp or Pp estimated from n parts:
// Ĉp · √(χ²(0.025, n − 1) / (n − 1)) to Ĉp · √(χ²(0.975, n − 1) / (n − 1)). n must be at least 2.
Bounds chiSquareBounds(double index, std::size_t n);

// Bissell's normal approximation for a Cpk or Ppk estimated from n parts:
// Ĉpk ∓ 1.96 · √(1 / (9n) + Ĉpk² / (2(n − 1))). n must be at least 2.
Bounds bissellBounds(double index, std::size_t n);

// Parts per million outside the tolerance for a normal distribution; σ must be above 0.
double expectedPpm(double mean, double sigma, const Tolerance &tolerance);

} // namespace spc
