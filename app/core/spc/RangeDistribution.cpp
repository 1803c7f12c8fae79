#include "RangeDistribution.h"

#include <boost/math/quadrature/gauss.hpp>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace spc {

namespace {

// With X(1) and X(n) the smallest and largest of n readings and Φ the normal distribution,
//   E[R]  = ∫ P(X(1) ≤ x ≤ X(n)) dx        = ∫ 1 − Φ(x)^n − (1 − Φ(x))^n dx
//   E[R²] = 2 ∫∫_{x<y} P(X(1) ≤ x, X(n) ≥ y) dx dy
//         = 2 ∫∫_{x<y} 1 − Φ(y)^n − (1 − Φ(x))^n + (Φ(y) − Φ(x))^n dx dy,
// the second because R² is twice the area of the triangle x < y inside [X(1), X(n)].
// Both integrands are smooth and vanish beyond a few standard deviations, so a composite
// 10-point Gauss–Legendre rule over a finite box gives them to about 1e-12. The box is wide
// enough for n = 25, whose range rarely exceeds 8.
constexpr double LowestX = -12.0;
constexpr double HighestX = 12.0;
constexpr int XPanels = 32;
constexpr double WidestRange = 18.0; // y − x
constexpr int RangePanels = 24;

struct Node {
    double at;
    double weight;
};

std::vector<Node> compositeGauss(double from, double to, int panels) {
    using Rule = boost::math::quadrature::gauss<double, 10>;
    const auto &abscissa = Rule::abscissa(); // the non-negative half of the nodes
    const auto &weights = Rule::weights();
    const double half = (to - from) / panels / 2.0;
    std::vector<Node> nodes;
    for (int panel = 0; panel < panels; ++panel) {
        const double middle = from + (2 * panel + 1) * half;
        for (std::size_t i = 0; i < abscissa.size(); ++i) {
            nodes.push_back({middle + abscissa[i] * half, weights[i] * half});
            if (abscissa[i] != 0.0)
                nodes.push_back({middle - abscissa[i] * half, weights[i] * half});
        }
    }
    return nodes;
}

double normalBelow(double x) {
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}
double normalAbove(double x) {
    return 0.5 * std::erfc(x / std::sqrt(2.0));
}

} // namespace

std::vector<RangeMoments> rangeMoments(int largestSize) {
    if (largestSize < 2)
        return {};
    const auto size = static_cast<std::size_t>(largestSize) + 1;
    std::vector<double> firstMoment(size, 0.0);
    std::vector<double> secondMoment(size, 0.0);
    const std::vector<Node> xs = compositeGauss(LowestX, HighestX, XPanels);
    const std::vector<Node> ranges = compositeGauss(0.0, WidestRange, RangePanels);
    for (const Node &x : xs) {
        const double below = normalBelow(x.at);
        const double above = normalAbove(x.at);
        double belowPower = below;
        double abovePower = above;
        for (std::size_t n = 2; n < size; ++n) {
            belowPower *= below;
            abovePower *= above;
            firstMoment[n] += x.weight * (1.0 - belowPower - abovePower);
        }
        for (const Node &range : ranges) {
            const double yBelow = normalBelow(x.at + range.at);
            const double between = yBelow - below;
            double yPower = yBelow;
            double xPower = above;
            double betweenPower = between;
            const double weight = 2.0 * x.weight * range.weight;
            for (std::size_t n = 2; n < size; ++n) {
                yPower *= yBelow;
                xPower *= above;
                betweenPower *= between;
                secondMoment[n] += weight * (1.0 - yPower - xPower + betweenPower);
            }
        }
    }
    std::vector<RangeMoments> moments;
    for (std::size_t n = 2; n < size; ++n) {
        const double mean = firstMoment[n];
        moments.push_back({static_cast<int>(n), mean, std::sqrt(secondMoment[n] - mean * mean)});
    }
    return moments;
}

RangeMoments rangeMomentsOf(int n) {
    // One pass gives every smaller size as well, so the charts' sizes come along for nothing.
    constexpr int SizesAtOnce = 25;
    static std::mutex guard;
    static std::vector<RangeMoments> known;
    if (n < 2)
        return {};
    const std::lock_guard lock(guard);
    if (static_cast<int>(known.size()) < n - 1)
        known = rangeMoments(std::max(n, SizesAtOnce));
    return known[static_cast<std::size_t>(n - 2)];
}

double d2Star(int n, int g) {
    const RangeMoments moments = rangeMomentsOf(n);
    return std::sqrt(moments.mean * moments.mean +
                     moments.standardDeviation * moments.standardDeviation / g);
}

double sampleSigmaMean(int n) {
    const double m = n;
    return std::sqrt(2.0 / (m - 1.0)) *
           std::exp(std::lgamma(m / 2.0) - std::lgamma((m - 1.0) / 2.0));
}

} // namespace spc
