#include "Histogram.h"

#include "RunningMoments.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace spc {

namespace {

// The q-quantile by linear interpolation between order statistics; reorders the values.
double quantile(std::vector<double> &values, double q) {
    const double position = q * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(position);
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(below),
                     values.end());
    const double low = values[below];
    if (below + 1 >= values.size())
        return low;
    const double high =
        *std::min_element(values.begin() + static_cast<std::ptrdiff_t>(below) + 1, values.end());
    return low + (position - static_cast<double>(below)) * (high - low);
}

std::size_t sturgesBins(std::size_t n) {
    return static_cast<std::size_t>(std::ceil(std::log2(static_cast<double>(n)))) + 1;
}

} // namespace

Histogram histogram(std::span<const double> readings) {
    Histogram result;
    std::vector<double> values;
    values.reserve(readings.size());
    RunningMoments moments;
    for (const double reading : readings) {
        if (!std::isfinite(reading))
            continue;
        values.push_back(reading);
        moments.add(reading);
    }
    result.n = values.size();
    result.mean = moments.mean;
    result.sigma = moments.sampleSigma();
    if (values.empty())
        return result;

    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    const double first = *lowest;
    const double span = *highest - first;
    result.firstEdge = first;
    if (!(span > 0.0)) {
        result.counts = {values.size()};
        return result;
    }
    const double iqr = quantile(values, 0.75) - quantile(values, 0.25);
    std::size_t bins = 0;
    if (iqr > 0.0) {
        const double width = 2.0 * iqr / std::cbrt(static_cast<double>(values.size()));
        bins = static_cast<std::size_t>(
            std::ceil(std::min(span / width, static_cast<double>(MaxHistogramBins))));
    } else {
        result.rule = BinRule::Sturges;
        bins = sturgesBins(values.size());
    }
    bins = std::clamp<std::size_t>(bins, 1, MaxHistogramBins);
    result.binWidth = span / static_cast<double>(bins);
    result.counts.assign(bins, 0);
    for (const double value : values) {
        const auto bin = static_cast<std::size_t>((value - first) / result.binWidth);
        ++result.counts[std::min(bin, bins - 1)];
    }
    return result;
}

double normalCurveHeight(const Histogram &histogram, double x) {
    if (!(histogram.sigma > 0.0) || !(histogram.binWidth > 0.0))
        return 0.0;
    const double z = (x - histogram.mean) / histogram.sigma;
    const double density =
        std::exp(-0.5 * z * z) / (histogram.sigma * std::sqrt(2.0 * std::numbers::pi));
    return density * static_cast<double>(histogram.n) * histogram.binWidth;
}

QString binRuleText(BinRule rule) {
    if (rule == BinRule::Sturges)
        return QStringLiteral("Sturges: ⌈log2 n⌉ + 1 bins (the middle half of the readings are "
                              "equal)");
    return QStringLiteral("Freedman–Diaconis: bin width 2 · IQR · n^(−1/3)");
}

} // namespace spc
