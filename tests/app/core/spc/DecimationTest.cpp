#include "Decimation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace spc;

namespace {

TEST(Decimation, ShortSeriesAndBadArgumentsComeBackAsTheyAre) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> movingRanges{nan, 2.0, 1.0};
    EXPECT_EQ(decimateMinMax(movingRanges, 10, 100),
              (std::vector<PlotPoint>{{101, 2.0}, {102, 1.0}}))
        << "whole, offset, and without the missing first moving range";
    EXPECT_TRUE(decimateMinMax(movingRanges, 0).empty());
    EXPECT_TRUE(decimateMinMax({}, 5).empty());
}

// Over random series with spikes: at most two points per column, in order, and every column's
// extremes among them.
TEST(Decimation, EveryColumnKeepsItsExtremesInOrder) {
    std::mt19937 random(1024);
    std::normal_distribution<double> reading(0.0, 1.0);
    std::uniform_int_distribution<std::size_t> length(50, 5000);
    for (int run = 0; run < 50; ++run) {
        std::vector<double> values(length(random));
        for (double &v : values)
            v = reading(random);
        values[values.size() / 3] = 40.0;
        values[values.size() - 1] = -40.0;
        const int columns = 7 + run;
        const std::vector<PlotPoint> points = decimateMinMax(values, columns);
        ASSERT_LE(points.size(), 2 * static_cast<std::size_t>(columns)) << "run " << run;
        EXPECT_TRUE(std::is_sorted(
            points.begin(), points.end(),
            [](const PlotPoint &a, const PlotPoint &b) { return a.index < b.index; }))
            << "run " << run;
        const std::size_t n = values.size();
        const auto cols = static_cast<std::size_t>(columns);
        for (std::size_t c = 0; c < cols; ++c) {
            const auto begin = values.begin() + static_cast<std::ptrdiff_t>(c * n / cols);
            const auto end = values.begin() + static_cast<std::ptrdiff_t>((c + 1) * n / cols);
            for (const auto extreme :
                 {std::min_element(begin, end), std::max_element(begin, end)}) {
                const auto index = static_cast<std::size_t>(extreme - values.begin());
                EXPECT_NE(std::find(points.begin(), points.end(), PlotPoint{index, *extreme}),
                          points.end())
                    << "run " << run << ", column " << c;
            }
        }
    }
}

} // namespace
