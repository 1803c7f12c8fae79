#include "GaugeScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
} // namespace

TEST(GaugeScale, PlacesReadingsOnAnySetting) {
    const struct {
        const char *legend;
        double bottom, top, value, fraction;
    } cases[] = {
        {"middle", -1, 1, 0, 0.5},
        {"above the top is clamped", -1, 1, 5, 1.0},
        {"below the bottom is clamped", -1, 1, -5, 0.0},
        {"reversed scale", 1, -1, 0.5, 0.25},
        {"top equals bottom", 1, 1, 1, 0.5},
        {"bottom not a number", NaN, 1, 0, 0.5},
        {"infinite top", 0, Inf, 0, 0.5},
        {"range beyond doubles", -1e308, 1e308, 0, 0.5},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(GaugeScale(c.bottom, c.top).fraction(c.value), c.fraction) << c.legend;
    EXPECT_TRUE(std::isnan(GaugeScale(-1, 1).fraction(NaN)));
}

TEST(GaugeScale, MarksFromTheLowerEndWithExactZero) {
    const auto marks = GaugeScale(-0.05, 0.05).marks(0.01, 100);
    ASSERT_EQ(marks.size(), 11u);
    EXPECT_DOUBLE_EQ(marks.front(), -0.05);
    EXPECT_EQ(marks[5], 0.0);
    EXPECT_NEAR(marks.back(), 0.05, 1e-12);
    // A reversed scale has the same marks; a negative step counts as its size.
    EXPECT_EQ(GaugeScale(0.05, -0.05).marks(-0.01, 100).size(), 11u);
}

TEST(GaugeScale, MarksStayFewWhateverTheStep) {
    const struct {
        const char *legend;
        double bottom, top, step;
        int maxMarks;
        size_t atMost;
    } cases[] = {
        {"tiny step on a wide scale", -10, 10, 0.0001, 50, 51},
        {"zero step", 0, 1, 0, 100, 11},
        {"step not a number", 0, 1, NaN, 100, 11},
        {"infinite step counts as none", 0, 1, Inf, 100, 11},
        {"unusable scale", 1, 1, 0.0001, 100, 0},
        {"no room", 0, 1, 0.1, 0, 0},
    };
    for (const auto &c : cases) {
        const auto marks = GaugeScale(c.bottom, c.top).marks(c.step, c.maxMarks);
        EXPECT_LE(marks.size(), c.atMost) << c.legend;
        for (double mark : marks)
            EXPECT_TRUE(mark >= std::min(c.bottom, c.top) && mark <= std::max(c.bottom, c.top))
                << c.legend << ' ' << mark;
    }
}

TEST(GaugeZone, GoodWarningRejectByLimits) {
    const GaugeLimits limits{-0.004, -0.002, 0.002, 0.004};
    const struct {
        double value;
        GaugeZone zone;
    } cases[] = {
        {0.0, GaugeZone::Good},      {0.002, GaugeZone::Good},     {-0.002, GaugeZone::Good},
        {0.003, GaugeZone::Warning}, {-0.004, GaugeZone::Warning}, {0.0041, GaugeZone::Reject},
        {-0.01, GaugeZone::Reject},  {NaN, GaugeZone::Unknown},
    };
    for (const auto &c : cases)
        EXPECT_EQ(gaugeZone(c.value, limits), c.zone) << c.value;
}
