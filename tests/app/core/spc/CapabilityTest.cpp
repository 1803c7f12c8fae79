#include "Capability.h"
#include "SpcSeries.h"
#include "SpcTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace spc;

namespace {

void expectPrinted(double value, double printed, int decimals, const char *what) {
    EXPECT_LE(std::fabs(value - printed), 0.5 * std::pow(10.0, -decimals) + 1e-12)
        << what << ": " << value << " printed as " << printed;
}

CapabilityInput summary(std::size_t n, double mean, double sigma) {
    return {n, mean, sigma, sigma, 0, 0};
}

// Textbook examples, each fed the figures the book starts from.
TEST(Capability, TextbookExamplesToTheirPrintedDigits) {
    // Tolerance 38 to 62, 20 parts centred with s = 1.75: Ĉp = 2.29, and from that
    // estimate 1.57 ≤ Cp ≤ 3.01.
    const Capability centred = capability(summary(20, 50.0, 1.75), {38.0, 62.0});
    ASSERT_EQ(centred.state, CapabilityState::Figures);
    expectPrinted(centred.cp->value, 2.29, 2, "Cp");
    expectPrinted(centred.pp->value, 2.29, 2, "Pp");
    expectPrinted(centred.cpk->value, 2.29, 2, "Cpk of a centred process");
    const Bounds cp = chiSquareBounds(2.29, 20);
    expectPrinted(cp.lower, 1.57, 2, "Cp lower bound");
    expectPrinted(cp.upper, 3.01, 2, "Cp upper bound");

    // Ĉpk = 1.33 from 20 parts: 0.88 ≤ Cpk ≤ 1.78 by Bissell's approximation.
    const Bounds cpk = bissellBounds(1.33, 20);
    expectPrinted(cpk.lower, 0.88, 2, "Cpk lower bound");
    expectPrinted(cpk.upper, 1.78, 2, "Cpk upper bound");

    // Bursting strength with only a lower limit of 200 psi, mean 264, s = 32: Cpl = 0.67 and
    // 2.28 % expected below the limit.
    const Capability bottles = capability(summary(100, 264.0, 32.0), {200.0, std::nullopt});
    ASSERT_EQ(bottles.state, CapabilityState::Figures);
    EXPECT_FALSE(bottles.cp) << "no Cp with one limit";
    EXPECT_FALSE(bottles.pp);
    expectPrinted(bottles.cpk->value, 0.67, 2, "Cpl");
    expectPrinted(*bottles.expectedPpmOverall / 1e4, 2.28, 2, "% below the limit");
}

TEST(Capability, OneSidedIndicesAreThatSidesDistance) {
    const Capability upperOnly = capability(summary(30, 9.0, 0.5), {std::nullopt, 10.5});
    ASSERT_EQ(upperOnly.state, CapabilityState::Figures);
    EXPECT_DOUBLE_EQ(upperOnly.cpk->value, 1.0);
    EXPECT_DOUBLE_EQ(upperOnly.ppk->value, 1.0);
    EXPECT_NEAR(*upperOnly.expectedPpmWithin, 1349.898, 0.001);
    // Centred between two limits at ±3σ: the familiar 0.27 %.
    const Capability both = capability(summary(30, 0.0, 1.0), {-3.0, 3.0});
    EXPECT_NEAR(*both.expectedPpmOverall, 2699.796, 0.001);
}

TEST(Capability, BadGroundGivesAStateAndWordsInsteadOfFigures) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char *proves;
        CapabilityInput input;
        Tolerance tolerance;
        CapabilityState state;
        QString reason;
        QString note;
    };
    const std::vector<Case> cases{
        {"no limits",
         summary(50, 1.0, 0.1),
         {},
         CapabilityState::NoTolerance,
         texts::noTolerance(),
         {}},
        {"lower above upper",
         summary(50, 1.0, 0.1),
         {2.0, 1.0},
         CapabilityState::InvalidTolerance,
         texts::invalidTolerance(),
         {}},
        {"equal limits",
         summary(50, 1.0, 0.1),
         {1.0, 1.0},
         CapabilityState::InvalidTolerance,
         texts::invalidTolerance(),
         {}},
        {"a limit that is no number",
         summary(50, 1.0, 0.1),
         {nan, 2.0},
         CapabilityState::InvalidTolerance,
         texts::invalidTolerance(),
         {}},
        {"one part",
         summary(1, 1.0, 0.0),
         {0.0, 2.0},
         CapabilityState::TooFewParts,
         texts::tooFewParts(),
         {}},
        {"all readings equal",
         summary(40, 1.0, 0.0),
         {0.0, 2.0},
         CapabilityState::ZeroSpread,
         texts::zeroSpreadCapability(),
         {}},
        {"no complete subgroup yet",
         {4, 1.0, std::nullopt, 0.2, 0, 0},
         {0.0, 2.0},
         CapabilityState::Figures,
         {},
         texts::noCompleteSubgroup()},
        {"equal readings within every subgroup",
         {40, 1.0, 0.0, 0.2, 0, 0},
         {0.0, 2.0},
         CapabilityState::Figures,
         {},
         texts::zeroSigmaWithin()},
    };
    for (const Case &c : cases) {
        const Capability result = capability(c.input, c.tolerance);
        EXPECT_EQ(result.state, c.state) << c.proves;
        EXPECT_EQ(result.reason, c.reason) << c.proves;
        EXPECT_EQ(result.note, c.note) << c.proves;
        EXPECT_FALSE(result.cp || result.cpk) << c.proves;
        EXPECT_EQ(result.pp.has_value(), c.state == CapabilityState::Figures) << c.proves;
    }
}

TEST(Capability, ObservedPartsOutsideCountOnlyStrictlyBeyondALimit) {
    SpcSeries series({2, ChartKind::XbarR});
    series.append(std::vector<double>{0.9, 1.0, 1.5, 2.0, 2.1, 1.2, 1.4, 1.6, 1.1, 1.3});
    series.setTolerance({1.0, 2.0});
    const Capability result = capability(series.capabilityInput(), series.tolerance());
    EXPECT_DOUBLE_EQ(*result.observedPpm, 200000.0) << "0.9 and 2.1 are out, 1.0 and 2.0 in";
    series.append(0.5);
    EXPECT_EQ(series.capabilityInput().below, 2u) << "a new part is counted as it arrives";
    series.setTolerance({std::nullopt, 1.5});
    EXPECT_EQ(series.capabilityInput().below, 0u);
    EXPECT_EQ(series.capabilityInput().above, 3u) << "a new tolerance counts afresh";
}

std::vector<double> randomReadings(std::mt19937 &random, std::size_t n) {
    std::normal_distribution<double> drift(0.0, 0.02);
    std::normal_distribution<double> noise(10.0, 0.05);
    std::vector<double> readings(n);
    double offset = 0.0;
    for (double &reading : readings) {
        offset += drift(random);
        reading = noise(random) + offset;
    }
    return readings;
}

TEST(Capability, PropertiesHoldOverRandomSeries) {
    std::mt19937 random(21);
    std::uniform_real_distribution<double> limit(9.0, 11.0);
    std::uniform_int_distribution<int> size(1, 25);
    for (int run = 0; run < 200; ++run) {
        const std::vector<double> readings = randomReadings(random, 150);
        const SubgroupPlan plan = fittedPlan({size(random), defaultChartKind(25)});
        const double a = limit(random);
        const double b = limit(random);
        SpcSeries series(plan);
        series.append(readings);
        const Tolerance tolerance{std::min(a, b), std::max(a, b) + 0.01};
        const Capability c = capability(series.capabilityInput(), tolerance);
        ASSERT_EQ(c.state, CapabilityState::Figures) << "run " << run;
        ASSERT_TRUE(c.cp && c.cpk && c.pp && c.ppk) << "run " << run;
        EXPECT_LE(c.cpk->value, c.cp->value) << "run " << run;
        EXPECT_LE(c.ppk->value, c.pp->value) << "run " << run;
        EXPECT_LT(c.cp->bounds.lower, c.cp->value);
        EXPECT_GT(c.cpk->bounds.upper, c.cpk->value);

        // Every reading shifted by a constant: same σ, mean moved by it. Scaled: σ scaled.
        const double shift = 1000.0 * (run % 7) - 3000.0;
        const double scale = run % 2 ? -2.5 : 0.1;
        SpcSeries shifted(plan);
        SpcSeries scaled(plan);
        for (const double reading : readings) {
            shifted.append(reading + shift);
            scaled.append(reading * scale);
        }
        const CapabilityInput base = series.capabilityInput();
        const CapabilityInput moved = shifted.capabilityInput();
        const CapabilityInput stretched = scaled.capabilityInput();
        EXPECT_NEAR(moved.mean, base.mean + shift, 1e-9) << "run " << run;
        EXPECT_NEAR(moved.sigmaOverall, base.sigmaOverall, 1e-9) << "run " << run;
        EXPECT_NEAR(*moved.sigmaWithin, *base.sigmaWithin, 1e-9) << "run " << run;
        EXPECT_NEAR(stretched.sigmaOverall, std::fabs(scale) * base.sigmaOverall, 1e-12);
        EXPECT_NEAR(*stretched.sigmaWithin, std::fabs(scale) * *base.sigmaWithin, 1e-12);
    }
}

} // namespace
