#include "ControlLimits.h"
#include "ChartConstants.h"
#include "SpcTexts.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

using namespace spc;

namespace {

// Inside diameters (mm) of forged piston rings, 25 samples of 5, with each sample's mean and
// range as the textbook prints them.
struct RingSample {
    std::array<double, 5> diameters;
    double mean;
    double range;
};
constexpr std::array<RingSample, 25> PistonRings{{
    {{74.030, 74.002, 74.019, 73.992, 74.008}, 74.010, 0.038},
    {{73.995, 73.992, 74.001, 74.011, 74.004}, 74.001, 0.019},
    {{73.988, 74.024, 74.021, 74.005, 74.002}, 74.008, 0.036},
    {{74.002, 73.996, 73.993, 74.015, 74.009}, 74.003, 0.022},
    {{73.992, 74.007, 74.015, 73.989, 74.014}, 74.003, 0.026},
    {{74.009, 73.994, 73.997, 73.985, 73.993}, 73.996, 0.024},
    {{73.995, 74.006, 73.994, 74.000, 74.005}, 74.000, 0.012},
    {{73.985, 74.003, 73.993, 74.015, 73.988}, 73.997, 0.030},
    {{74.008, 73.995, 74.009, 74.005, 74.004}, 74.004, 0.014},
    {{73.998, 74.000, 73.990, 74.007, 73.995}, 73.998, 0.017},
    {{73.994, 73.998, 73.994, 73.995, 73.990}, 73.994, 0.008},
    {{74.004, 74.000, 74.007, 74.000, 73.996}, 74.001, 0.011},
    {{73.983, 74.002, 73.998, 73.997, 74.012}, 73.998, 0.029},
    {{74.006, 73.967, 73.994, 74.000, 73.984}, 73.990, 0.039},
    {{74.012, 74.014, 73.998, 73.999, 74.007}, 74.006, 0.016},
    {{74.000, 73.984, 74.005, 73.998, 73.996}, 73.997, 0.021},
    {{73.994, 74.012, 73.986, 74.005, 74.007}, 74.001, 0.026},
    {{74.006, 74.010, 74.018, 74.003, 74.000}, 74.007, 0.018},
    {{73.984, 74.002, 74.003, 74.005, 73.997}, 73.998, 0.021},
    {{74.000, 74.010, 74.013, 74.020, 74.003}, 74.009, 0.020},
    {{73.982, 74.001, 74.015, 74.005, 73.996}, 74.000, 0.033},
    {{74.004, 73.999, 73.990, 74.006, 74.009}, 74.002, 0.019},
    {{74.010, 73.989, 73.990, 74.009, 74.014}, 74.002, 0.025},
    {{74.015, 74.008, 73.993, 74.000, 74.010}, 74.005, 0.022},
    {{73.982, 73.984, 73.995, 74.017, 74.013}, 73.998, 0.035},
}};

SpcSeries ringSeries(ChartKind kind) {
    SpcSeries series({5, kind});
    for (const RingSample &sample : PistonRings)
        series.append(sample.diameters);
    return series;
}

// Within half a unit of the printed last digit.
void expectPrinted(double value, double printed, int decimals, const char *what) {
    EXPECT_LE(std::fabs(value - printed), 0.5 * std::pow(10.0, -decimals) + 1e-12)
        << what << ": " << value << " printed as " << printed;
}

TEST(ControlLimits, PistonRingMeansAndRangesGiveTheTextbookChart) {
    const SpcSeries series = ringSeries(ChartKind::XbarR);
    ASSERT_EQ(series.subgroupCount(), 25u);
    for (std::size_t i = 0; i < PistonRings.size(); ++i) {
        expectPrinted(series.means()[i], PistonRings[i].mean, 3, "sample mean");
        expectPrinted(series.spreads()[i], PistonRings[i].range, 3, "sample range");
    }
    const LimitsResult limits = controlLimits(series, {});
    ASSERT_EQ(limits.state, LimitsState::Ready);
    EXPECT_EQ(limits.values.baselineSubgroups, 25);
    expectPrinted(limits.values.location.centre, 74.001, 3, "grand mean");
    expectPrinted(limits.values.spread.centre, 0.023, 3, "mean range");
    expectPrinted(limits.values.location.lower, 73.988, 3, "LCL");
    expectPrinted(limits.values.spread.upper, 0.049, 3, "range UCL");
    EXPECT_EQ(limits.values.spread.lower, 0.0);
    // The book prints UCL = 74.001 + 0.577 · 0.023 = 74.014 from its rounded figures; unrounded
    // it is 74.01458.
    EXPECT_NEAR(limits.values.location.upper, 74.014, 0.001);
    expectPrinted(limits.values.sigmaWithin, 0.00999, 5, "R̄ / d2");
}

TEST(ControlLimits, PistonRingStandardDeviationsGiveTheTextbookSChart) {
    const LimitsResult limits = controlLimits(ringSeries(ChartKind::XbarS), {});
    ASSERT_EQ(limits.state, LimitsState::Ready);
    expectPrinted(limits.values.spread.centre, 0.0094, 4, "mean s");
    expectPrinted(limits.values.spread.upper, 0.0196, 4, "s UCL");
    EXPECT_EQ(limits.values.spread.lower, 0.0);
    expectPrinted(limits.values.location.lower, 73.988, 3, "LCL");
    expectPrinted(limits.values.sigmaWithin, 0.0100, 4, "S̄ / c4");
}

TEST(ControlLimits, TooFewSubgroupsAreAStateWithTheChartsWords) {
    struct Case {
        const char *proves;
        std::size_t parts;
        Baseline baseline;
        int required;
        int available;
        QString pending;
    };
    const std::vector<Case> cases{
        {"fewer parts than a subgroup", 3, {}, 25, 0, texts::limitsAfter(25)},
        {"the incomplete last subgroup is not counted",
         24 * 5 + 4,
         {},
         25,
         24,
         texts::limitsAfter(25)},
        {"a baseline of one subgroup still needs two",
         5,
         {Baseline::Kind::FirstSubgroups, 1},
         2,
         1,
         texts::limitsAfter(2)},
        {"a part range holding one whole subgroup",
         100,
         {Baseline::Kind::PartRange, 25, 3, 9},
         2,
         1,
         texts::limitsNeedInRange(2, 1)},
    };
    for (const Case &c : cases) {
        SpcSeries series;
        for (std::size_t i = 0; i < c.parts; ++i)
            series.append(static_cast<double>(i % 7));
        const LimitsResult limits = controlLimits(series, c.baseline);
        EXPECT_EQ(limits.state, LimitsState::NotEnoughSubgroups) << c.proves;
        EXPECT_EQ(limits.required, c.required) << c.proves;
        EXPECT_EQ(limits.available, c.available) << c.proves;
        EXPECT_EQ(limits.pending, c.pending) << c.proves;
    }
}

TEST(ControlLimits, BaselineTakesOnlyItsOwnSubgroups) {
    // Subgroups 0 and 1 have range 1 around 10, later ones range 5 around 20.
    SpcSeries series({2, ChartKind::XbarR});
    series.append(std::vector<double>{9.5, 10.5, 9.5, 10.5, 17.5, 22.5, 17.5, 22.5, 17.5, 22.5});

    const LimitsResult first = controlLimits(series, {Baseline::Kind::FirstSubgroups, 2});
    ASSERT_EQ(first.state, LimitsState::Ready);
    EXPECT_DOUBLE_EQ(first.values.location.centre, 10.0);
    EXPECT_DOUBLE_EQ(first.values.spread.centre, 1.0);

    // Parts 1 to 8 hold subgroups 1, 2 and 3 whole (parts 2–3, 4–5, 6–7).
    const LimitsResult range = controlLimits(series, {Baseline::Kind::PartRange, 25, 1, 8});
    ASSERT_EQ(range.state, LimitsState::Ready);
    EXPECT_EQ(range.values.firstBaselineSubgroup, 1u);
    EXPECT_EQ(range.values.baselineSubgroups, 3);
    EXPECT_DOUBLE_EQ(range.values.spread.centre, (1.0 + 5.0 + 5.0) / 3.0);

    const LimitsResult toTheEnd = controlLimits(
        series, {Baseline::Kind::PartRange, 25, 4, std::numeric_limits<std::size_t>::max()});
    ASSERT_EQ(toTheEnd.state, LimitsState::Ready) << "a range past the end reaches the end";
    EXPECT_EQ(toTheEnd.values.baselineSubgroups, 3);
}

TEST(ControlLimits, IndividualsUseMovingRangesInsideTheBaselineOnly) {
    SpcSeries series({1, ChartKind::IndividualsMovingRange});
    series.append(std::vector<double>{50.0, 10.0, 12.0, 11.0, 15.0, 13.0});
    ASSERT_TRUE(std::isnan(series.spreads()[0])) << "the first part has no moving range";
    EXPECT_EQ(series.spreads()[1], 40.0);

    // Parts 1 to 5: moving ranges 2, 1, 4, 2; the 40 reaches back to part 0, outside.
    const LimitsResult limits = controlLimits(series, {Baseline::Kind::PartRange, 25, 1, 5});
    ASSERT_EQ(limits.state, LimitsState::Ready);
    EXPECT_DOUBLE_EQ(limits.values.location.centre, 12.2);
    EXPECT_DOUBLE_EQ(limits.values.spread.centre, 2.25);
    const double e2 = 3.0 / chartConstants(2)->d2;
    EXPECT_NEAR(limits.values.location.upper, 12.2 + e2 * 2.25, 1e-12);
    EXPECT_NEAR(limits.values.spread.upper, 3.2665 * 2.25, 0.001);
    EXPECT_NEAR(limits.values.sigmaWithin, 2.25 / 1.128, 0.001);
}

TEST(SubgroupPlan, DamagedSettingsStillGiveChartablePlans) {
    struct Case {
        const char *proves;
        SubgroupPlan asked;
        SubgroupPlan fitted;
    };
    const std::vector<Case> cases{
        {"size 0 becomes individuals",
         {0, ChartKind::XbarR},
         {1, ChartKind::IndividualsMovingRange}},
        {"individuals only for size 1",
         {5, ChartKind::IndividualsMovingRange},
         {5, ChartKind::XbarR}},
        {"size 1 cannot have subgroup means",
         {1, ChartKind::XbarS},
         {1, ChartKind::IndividualsMovingRange}},
        {"beyond 25 is brought to 25", {40, ChartKind::XbarR}, {25, ChartKind::XbarR}},
        {"a chosen S chart for small subgroups stays",
         {5, ChartKind::XbarS},
         {5, ChartKind::XbarS}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(fittedPlan(c.asked), c.fitted) << c.proves;
    EXPECT_EQ(defaultChartKind(1), ChartKind::IndividualsMovingRange);
    EXPECT_EQ(defaultChartKind(10), ChartKind::XbarR);
    EXPECT_EQ(defaultChartKind(11), ChartKind::XbarS);
}

TEST(SpcSeries, RefusesReadingsThatAreNotNumbers) {
    SpcSeries series({2, ChartKind::XbarR});
    EXPECT_TRUE(series.append(1.0));
    EXPECT_FALSE(series.append(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(series.append(std::numeric_limits<double>::infinity()));
    EXPECT_TRUE(series.append(3.0));
    EXPECT_EQ(series.parts().size(), 2u);
    ASSERT_EQ(series.subgroupCount(), 1u);
    EXPECT_EQ(series.spreads()[0], 2.0);
    EXPECT_EQ(series.overall().mean, 2.0);
}

} // namespace
