#include "ChartConstants.h"

#include "RangeDistribution.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace spc {

namespace {

std::vector<ChartConstants> computeTable() {
    std::vector<ChartConstants> table;
    for (const RangeMoments &range : rangeMoments(LargestConstantsSize)) {
        const int n = range.n;
        const double d2 = range.mean;
        const double d3 = range.standardDeviation;
        const double c4 = sampleSigmaMean(n);
        const double rootN = std::sqrt(static_cast<double>(n));
        const double rangeSpread = 3.0 * d3 / d2;
        const double sigmaSpread = 3.0 * std::sqrt(1.0 - c4 * c4) / c4;
        table.push_back({.n = n,
                         .d2 = d2,
                         .d3 = d3,
                         .c4 = c4,
                         .A2 = 3.0 / (d2 * rootN),
                         .A3 = 3.0 / (c4 * rootN),
                         .B3 = std::max(0.0, 1.0 - sigmaSpread),
                         .B4 = 1.0 + sigmaSpread,
                         .D3 = std::max(0.0, 1.0 - rangeSpread),
                         .D4 = 1.0 + rangeSpread,
                         .E2 = 3.0 / d2});
    }
    return table;
}

} // namespace

std::span<const ChartConstants> chartConstantTable() {
    static const std::vector<ChartConstants> table = computeTable();
    return table;
}

const ChartConstants *chartConstants(int n) {
    if (n < SmallestConstantsSize || n > LargestConstantsSize)
        return nullptr;
    return &chartConstantTable()[static_cast<std::size_t>(n - SmallestConstantsSize)];
}

} // namespace spc
