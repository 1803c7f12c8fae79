#include "Type1Study.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace studies {
namespace {

constexpr double Tight = 1e-9;

// Worked by hand in micrometres about a 10 mm reference.
TEST(Type1Study, ReproducesHandWorkedStudies) {
    const struct {
        const char *proves;
        Type1Input input;
        double bias;
        double s;
        double cg;
        double cgk;
        double t;
        double p; // from the t distribution's closed forms for 1 and 2 degrees of freedom
        bool capable;
    } rows[] = {
        {"eight readings, T = 60 µm: deviations −1, 1, 0, 0, 2, −2, 0, 0 µm about a 2 µm bias, s² "
         "= 10/7",
         {{10.001, 10.003, 10.002, 10.002, 10.004, 10.000, 10.002, 10.002}, 10.0, 0.060},
         0.002,
         std::sqrt(10.0 / 7.0) * 1e-3,
         2.0 / std::sqrt(10.0 / 7.0),
         4.0 / (3.0 * std::sqrt(10.0 / 7.0)),
         2.0 * std::sqrt(8.0) / std::sqrt(10.0 / 7.0),
         std::nan(""),
         false},
        {"three readings, T = 60 µm, 2 degrees of freedom: p = 1 − t/√(2 + t²)",
         {{10.001, 10.003, 10.005}, 10.0, 0.060},
         0.003,
         0.002,
         1.0,
         0.5,
         1.5 * std::sqrt(3.0),
         1.0 - 1.5 * std::sqrt(3.0) / std::sqrt(2.0 + 6.75),
         false},
        {"two readings, 1 degree of freedom: p = 1 − 2/π · atan t; T = 100 µm",
         {{10.001, 10.003}, 10.0, 0.100},
         0.002,
         std::numbers::sqrt2 * 1e-3,
         10.0 / (3.0 * std::sqrt(2.0)),
         8.0 / (3.0 * std::sqrt(2.0)),
         2.0,
         1.0 - 2.0 / std::numbers::pi * std::atan(2.0),
         true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.proves);
        const Type1Outcome outcome = analyseType1(row.input);
        ASSERT_TRUE(outcome.result) << outcome.refusal.toStdString();
        const Type1Result &r = *outcome.result;
        EXPECT_EQ(r.count, static_cast<int>(row.input.readings.size()));
        EXPECT_NEAR(r.bias, row.bias, Tight);
        EXPECT_NEAR(r.s, row.s, Tight);
        ASSERT_TRUE(r.cg && r.cgk && r.t && r.p && r.capable);
        EXPECT_NEAR(*r.cg, row.cg, 1e-6);
        EXPECT_NEAR(*r.cgk, row.cgk, 1e-6);
        EXPECT_NEAR(*r.t, row.t, 1e-6);
        if (!std::isnan(row.p)) {
            EXPECT_NEAR(*r.p, row.p, 1e-7);
        }
        EXPECT_EQ(*r.capable, row.capable);
        EXPECT_NEAR(r.bandLow, 10.0 - 0.1 * row.input.tolerance, Tight);
        EXPECT_NEAR(r.bandHigh, 10.0 + 0.1 * row.input.tolerance, Tight);
        EXPECT_EQ(r.outsideBand, 0);
        EXPECT_TRUE(r.notes.isEmpty());
    }
}

TEST(Type1Study, JudgesTheBiasByItsTwoSidedTest) {
    // t = 4.733 with 7 degrees of freedom lies between the printed two-sided 0.5 % and 0.2 %
    // points (4.029 and 4.785).
    const Type1Result r =
        *analyseType1(
             {{10.001, 10.003, 10.002, 10.002, 10.004, 10.000, 10.002, 10.002}, 10.0, 0.060})
             .result;
    EXPECT_GT(*r.p, 0.002);
    EXPECT_LT(*r.p, 0.005);
    EXPECT_TRUE(*r.biasSignificant);
    const Type1Result unbiased = *analyseType1({{9.999, 10.001, 10.000}, 10.0, 0.060}).result;
    EXPECT_NEAR(*unbiased.p, 1.0, 1e-9);
    EXPECT_FALSE(*unbiased.biasSignificant);
}

TEST(Type1Study, CountsReadingsOutsideTheTenPercentBand) {
    // T = 20 µm: the band is 10 mm ± 2 µm, so 10.003 and 10.004 lie outside, 10.002 on its edge.
    const Type1Result r =
        *analyseType1(
             {{10.001, 10.003, 10.002, 10.002, 10.004, 10.000, 10.002, 9.998}, 10.0, 0.020})
             .result;
    EXPECT_EQ(r.outsideBand, 2);
    EXPECT_LT(*r.cgk, *r.cg);
}

TEST(Type1Study, ReadingsWithoutSpreadAreReportedInWordsNotDividedBy) {
    const Type1Result r = *analyseType1({std::vector<double>(50, 10.002), 10.0, 0.060}).result;
    EXPECT_EQ(r.s, 0.0);
    EXPECT_EQ(r.mean, 10.002);
    EXPECT_NEAR(r.bias, 0.002, Tight);
    EXPECT_FALSE(r.cg || r.cgk || r.capable || r.t || r.p || r.biasSignificant);
    ASSERT_EQ(r.notes.size(), 1);
    EXPECT_TRUE(r.notes.front().startsWith(QStringLiteral("All 50 readings are equal (s = 0)")));
}

TEST(Type1Study, RefusesWhatCannotBeAnalysed) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        Type1Input input;
        const char *refusal;
    } rows[] = {
        {{{10.0}, 10.0, 0.06}, "A type-1 study needs at least 2 readings."},
        {{{10.0, 10.1}, 10.0, 0.0}, "The tolerance must be a number above 0."},
        {{{10.0, 10.1}, 10.0, -0.06}, "The tolerance must be a number above 0."},
        {{{10.0, 10.1}, 10.0, nan}, "The tolerance must be a number above 0."},
        {{{10.0, 10.1}, nan, 0.06}, "The reference size must be a number."},
        {{{10.0, 10.1, nan}, 10.0, 0.06}, "Reading 3 is not a number."},
    };
    for (const auto &row : rows) {
        const Type1Outcome outcome = analyseType1(row.input);
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.refusal.toStdString(), row.refusal);
    }
}

} // namespace
} // namespace studies
