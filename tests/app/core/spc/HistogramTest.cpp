#include "Histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

using namespace spc;

namespace {

std::size_t total(const Histogram &h) {
    return std::accumulate(h.counts.begin(), h.counts.end(), std::size_t{0});
}

TEST(Histogram, BinsFollowTheStatedRule) {
    struct Case {
        const char *proves;
        std::vector<double> readings;
        BinRule rule;
        std::size_t bins;
    };
    // Cubes of 0 to 0.999: quartiles 0.015578 and 0.420611, width 2 · 0.405033 / 1000^(1/3) =
    // 0.081007 over a span of 0.997003: 12.3, so 13 bins.
    std::vector<double> skewed(1000);
    for (std::size_t i = 0; i < skewed.size(); ++i)
        skewed[i] = std::pow(static_cast<double>(i) / 1000.0, 3);
    std::vector<double> withOutlier = skewed;
    withOutlier.push_back(1e6);
    std::vector<double> mostlyEqual(20, 5.0);
    mostlyEqual.push_back(1.0);
    mostlyEqual.push_back(9.0);
    const std::vector<Case> cases{
        {"Freedman–Diaconis on skewed readings", skewed, BinRule::FreedmanDiaconis, 13},
        {"one far reading does not make a million bins", withOutlier, BinRule::FreedmanDiaconis,
         MaxHistogramBins},
        {"IQR 0 falls back to Sturges: ⌈log2 22⌉ + 1", mostlyEqual, BinRule::Sturges, 6},
    };
    for (const Case &c : cases) {
        const Histogram h = histogram(c.readings);
        EXPECT_EQ(h.rule, c.rule) << c.proves;
        EXPECT_EQ(h.counts.size(), c.bins) << c.proves;
        EXPECT_EQ(total(h), c.readings.size()) << c.proves << ": every reading in a bin";
        EXPECT_GT(h.counts.back(), 0u) << c.proves << ": the largest reading is in the last bin";
        EXPECT_GT(h.counts.front(), 0u) << c.proves;
    }
}

TEST(Histogram, EdgeCasesKeepEveryReadingAndDrawNoFalseCurve) {
    const Histogram empty = histogram({});
    EXPECT_TRUE(empty.counts.empty());
    EXPECT_EQ(normalCurveHeight(empty, 0.0), 0.0);

    const Histogram equal = histogram(std::vector<double>(12, 3.25));
    ASSERT_EQ(equal.counts.size(), 1u);
    EXPECT_EQ(equal.counts[0], 12u);
    EXPECT_EQ(equal.firstEdge, 3.25);
    EXPECT_EQ(equal.binWidth, 0.0);
    EXPECT_EQ(normalCurveHeight(equal, 3.25), 0.0) << "σ = 0: no curve";

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Histogram gaps = histogram(std::vector<double>{1.0, nan, 2.0, INFINITY, 3.0});
    EXPECT_EQ(gaps.n, 3u) << "readings that are no numbers are left out";
    EXPECT_EQ(total(gaps), 3u);
    EXPECT_DOUBLE_EQ(gaps.mean, 2.0);
}

// The curve is scaled to parts per bin: summed over the bins it gives back about n.
TEST(Histogram, NormalCurveMatchesTheBarsOfANormalSample) {
    std::mt19937 random(7);
    std::normal_distribution<double> reading(25.4, 0.01);
    std::vector<double> readings(20000);
    for (double &r : readings)
        r = reading(random);
    const Histogram h = histogram(readings);
    EXPECT_NEAR(h.mean, 25.4, 0.001);
    EXPECT_NEAR(h.sigma, 0.01, 0.0005);
    double curve = 0.0;
    for (std::size_t i = 0; i < h.counts.size(); ++i)
        curve += normalCurveHeight(h, h.firstEdge + (static_cast<double>(i) + 0.5) * h.binWidth);
    EXPECT_NEAR(curve, 20000.0, 200.0);
    const auto peak = static_cast<std::size_t>((h.mean - h.firstEdge) / h.binWidth);
    EXPECT_NEAR(static_cast<double>(h.counts[peak]), normalCurveHeight(h, h.mean),
                0.15 * normalCurveHeight(h, h.mean));
}

} // namespace
