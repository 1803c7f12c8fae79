#include "Capability.h"

#include "SpcTexts.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <cmath>

namespace spc {

namespace {

constexpr double PerMillion = 1e6;
constexpr double TwoSidedTail = 0.025;

bool isSound(const Tolerance &tolerance) {
    const auto finite = [](const std::optional<double> &limit) {
        return !limit || std::isfinite(*limit);
    };
    if (!finite(tolerance.lower) || !finite(tolerance.upper))
        return false;
    return !tolerance.lower || !tolerance.upper || *tolerance.lower < *tolerance.upper;
}

struct Indices {
    std::optional<CapabilityIndex> spread; // Cp or Pp
    CapabilityIndex location;              // Cpk or Ppk
};

// The indices for one σ: the spread index only with both limits, the location index the nearer
// side's distance in units of 3σ.
Indices indices(double mean, double sigma, const Tolerance &tolerance, std::size_t n) {
    std::optional<double> nearest;
    const auto side = [&nearest](double distance) {
        nearest = nearest ? std::min(*nearest, distance) : distance;
    };
    if (tolerance.upper)
        side((*tolerance.upper - mean) / (3.0 * sigma));
    if (tolerance.lower)
        side((mean - *tolerance.lower) / (3.0 * sigma));
    Indices result{std::nullopt, {*nearest, bissellBounds(*nearest, n)}};
    if (tolerance.lower && tolerance.upper) {
        const double spread = (*tolerance.upper - *tolerance.lower) / (6.0 * sigma);
        result.spread = CapabilityIndex{spread, chiSquareBounds(spread, n)};
    }
    return result;
}

double normalTail(double z) {
    return 0.5 * std::erfc(z / std::sqrt(2.0));
}

} // namespace

Bounds chiSquareBounds(double index, std::size_t n) {
    const double freedom = static_cast<double>(n - 1);
    const boost::math::chi_squared distribution(freedom);
    return {index * std::sqrt(boost::math::quantile(distribution, TwoSidedTail) / freedom),
            index * std::sqrt(boost::math::quantile(distribution, 1.0 - TwoSidedTail) / freedom)};
}

Bounds bissellBounds(double index, std::size_t n) {
    const double parts = static_cast<double>(n);
    const double z = boost::math::quantile(boost::math::normal(), 1.0 - TwoSidedTail);
    const double margin =
        z * std::sqrt(1.0 / (9.0 * parts) + index * index / (2.0 * (parts - 1.0)));
    return {index - margin, index + margin};
}

double expectedPpm(double mean, double sigma, const Tolerance &tolerance) {
    double outside = 0.0;
    if (tolerance.upper)
        outside += normalTail((*tolerance.upper - mean) / sigma);
    if (tolerance.lower)
        outside += normalTail((mean - *tolerance.lower) / sigma);
    return outside * PerMillion;
}

Capability capability(const CapabilityInput &input, const Tolerance &tolerance) {
    Capability result;
    result.n = input.n;
    result.mean = input.mean;
    result.sigmaWithin = input.sigmaWithin;
    result.sigmaOverall = input.sigmaOverall;
    const auto without = [&result](CapabilityState state, QString reason) {
        result.state = state;
        result.reason = std::move(reason);
        return result;
    };
    if (!tolerance.lower && !tolerance.upper)
        return without(CapabilityState::NoTolerance, texts::noTolerance());
    if (!isSound(tolerance))
        return without(CapabilityState::InvalidTolerance, texts::invalidTolerance());
    if (input.n < 2)
        return without(CapabilityState::TooFewParts, texts::tooFewParts());
    result.observedPpm =
        static_cast<double>(input.below + input.above) / static_cast<double>(input.n) * PerMillion;
    if (!(input.sigmaOverall > 0.0))
        return without(CapabilityState::ZeroSpread, texts::zeroSpreadCapability());

    result.state = CapabilityState::Figures;
    const Indices overall = indices(input.mean, input.sigmaOverall, tolerance, input.n);
    result.pp = overall.spread;
    result.ppk = overall.location;
    result.expectedPpmOverall = expectedPpm(input.mean, input.sigmaOverall, tolerance);
    if (!input.sigmaWithin) {
        result.note = texts::noCompleteSubgroup();
    } else if (!(*input.sigmaWithin > 0.0)) {
        result.note = texts::zeroSigmaWithin();
    } else {
        const Indices within = indices(input.mean, *input.sigmaWithin, tolerance, input.n);
        result.cp = within.spread;
        result.cpk = within.location;
        result.expectedPpmWithin = expectedPpm(input.mean, *input.sigmaWithin, tolerance);
    }
    return result;
}

} // namespace spc
