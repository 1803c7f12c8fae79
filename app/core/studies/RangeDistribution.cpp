#include "RangeDistribution.h"

#include <boost/math/quadrature/gauss.hpp>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>

namespace studies {

namespace {

using Panel = boost::math::quadrature::gauss<double, 10>;

// Past 12 σ the normal density is below 1e-31: nothing beyond it changes a double.
constexpr double Reach = 12.0;
// Ten Gauss–Legendre nodes on each half-σ panel integrate these smooth integrands to near the
// precision of a double.
constexpr double PanelWidth = 0.5;

double upperTail(double x) {
    return 0.5 * std::erfc(x / std::numbers::sqrt2);
}

double density(double x) {
    return std::exp(-0.5 * x * x) * std::numbers::inv_sqrtpi / std::numbers::sqrt2;
}

template <class Integrand> double integrate(const Integrand &f, double from, double to) {
    const int panels = static_cast<int>(std::ceil((to - from) / PanelWidth));
    double sum = 0.0;
    for (int k = 0; k < panels; ++k)
        sum +=
            Panel::integrate(f, from + k * PanelWidth, std::min(to, from + (k + 1) * PanelWidth));
    return sum;
}

// P(x < X < x + w) for w ≥ 0, from whichever tail keeps the difference accurate.
double between(double x, double w) {
    if (x + 0.5 * w >= 0.0)
        return upperTail(x) - upperTail(x + w);
    return upperTail(-(x + w)) - upperTail(-x);
}

// E[R] = ∫ 1 − Φ(x)^m − (1 − Φ(x))^m dx, symmetric about 0.
double expectedRange(int m) {
    const auto integrand = [m](double x) {
        const double tail = upperTail(x);
        const double belowAll = -std::expm1(m * std::log1p(-tail)); // 1 − Φ(x)^m
        return belowAll - std::pow(tail, m);
    };
    return 2.0 * integrate(integrand, 0.0, Reach);
}

// P(R > w) = 1 − m ∫ φ(x) (Φ(x + w) − Φ(x))^(m−1) dx.
double rangeExceeds(int m, double w) {
    const auto integrand = [m, w](double x) {
        return density(x) * std::pow(between(x, w), m - 1);
    };
    return std::clamp(1.0 - m * integrate(integrand, -Reach, Reach), 0.0, 1.0);
}

// E[R²] = 2 ∫ w P(R > w) dw over w ≥ 0.
double expectedRangeSquare(int m) {
    const auto integrand = [m](double w) {
        return w * rangeExceeds(m, w);
    };
    return 2.0 * integrate(integrand, 0.0, 2.0 * Reach);
}

} // namespace

// Each size is integrated once a run: a study window asks again after every reading.
RangeMoments rangeMoments(int m) {
    static std::mutex guard;
    static std::map<int, RangeMoments> known;
    const std::lock_guard lock(guard);
    const auto found = known.find(m);
    if (found != known.end())
        return found->second;
    const RangeMoments moments{expectedRange(m), expectedRangeSquare(m)};
    known.emplace(m, moments);
    return moments;
}

double RangeMoments::deviation() const {
    return std::sqrt(std::max(0.0, meanSquare - mean * mean));
}

double d2(int m) {
    return expectedRange(m);
}

double d3(int m) {
    return rangeMoments(m).deviation();
}

double d2Star(int m, int g) {
    const RangeMoments moments = rangeMoments(m);
    const double spread = moments.deviation();
    return std::sqrt(moments.mean * moments.mean + spread * spread / g);
}

double rangeUpperFactor(int m) {
    const RangeMoments moments = rangeMoments(m);
    return 1.0 + 3.0 * moments.deviation() / moments.mean;
}

double rangeLowerFactor(int m) {
    const RangeMoments moments = rangeMoments(m);
    return std::max(0.0, 1.0 - 3.0 * moments.deviation() / moments.mean);
}

} // namespace studies
