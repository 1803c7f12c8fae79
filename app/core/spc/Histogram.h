#pragma once

#include <QString>

#include <cstddef>
#include <span>
#include <vector>

// The distribution of a channel's readings as equal bins from the smallest reading to the
// largest, and the normal curve of the same mean and standard deviation to lay over it.
//
// Bin width by the Freedman–Diaconis rule, 2 · IQR · n^(−1/3), which follows the data's spread
// without being pulled by a few far readings; when the middle half of the readings are all equal
// (IQR = 0) that width would be 0, and the count comes from Sturges' rule instead,
// ⌈log2 n⌉ + 1 bins. Either way at most MaxHistogramBins bins, so one far reading cannot make
// a million empty ones. Quartiles are interpolated linearly between order statistics.
namespace spc {

inline constexpr std::size_t MaxHistogramBins = 200;

enum class BinRule { FreedmanDiaconis, Sturges };

struct Histogram {
    BinRule rule = BinRule::FreedmanDiaconis;
    double firstEdge = 0.0;
    double binWidth = 0.0;           // 0 when every reading is equal: one bin at that reading
    std::vector<std::size_t> counts; // bin i is [firstEdge + i·w, firstEdge + (i+1)·w), the last
                                     // one closed at the largest reading
    std::size_t n = 0;
    double mean = 0.0;
    double sigma = 0.0; // sample standard deviation; no curve when it is 0
};

// Readings that are not finite numbers are left out.
Histogram histogram(std::span<const double> readings);

// The normal curve's height at x in parts per bin, to draw over the bars; 0 without a curve.
double normalCurveHeight(const Histogram &histogram, double x);

// The rule in words, for the window and the report.
QString binRuleText(BinRule rule);

} // namespace spc
