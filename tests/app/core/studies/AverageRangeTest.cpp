#include "GaugeRrAverageRange.h"
#include "PublishedExample.h"
#include "RangeDistribution.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace studies {
namespace {

using example::agreesWithPrinted;
using example::publishedExample;

const StudyLayout ExampleLayout{3, 10, 3};

TEST(AverageRange, ThePublishedExamplesSheetIsReproducedFromItsReadings) {
    const AverageRangeOutcome outcome = analyseAverageRange(publishedExample(), {});
    ASSERT_TRUE(outcome.analysis) << outcome.refusal.toStdString();
    const RrSummary &summary = outcome.analysis->summary;
    const AverageRangeInputs &inputs = outcome.analysis->result.inputs;
    EXPECT_EQ(inputs.layout, ExampleLayout);

    const char *appraiserMeans[] = {"0.1903", "0.0683", "-0.2543"};
    const char *appraiserRanges[] = {"0.184", "0.513", "0.328"};
    for (std::size_t a = 0; a < 3; ++a) {
        EXPECT_TRUE(agreesWithPrinted(summary.appraiserMeans[a], appraiserMeans[a]));
        EXPECT_TRUE(agreesWithPrinted(summary.appraiserAverageRanges[a], appraiserRanges[a]));
    }
    const char *partMeans[] = {"0.169",  "-0.851", "1.099",  "0.367", "-1.064",
                               "-0.186", "0.454",  "-0.342", "1.940", "-1.571"};
    for (std::size_t p = 0; p < 10; ++p)
        EXPECT_TRUE(agreesWithPrinted(summary.partMeans[p], partMeans[p]));
    EXPECT_TRUE(agreesWithPrinted(inputs.averageRange, "0.3417"));
    EXPECT_TRUE(agreesWithPrinted(inputs.partRange, "3.511"));
    // The sheet subtracts its rounded averages, 0.1903 − (−0.2543); exactly it is 0.44467.
    EXPECT_NEAR(inputs.appraiserDifference, 0.4446, 1e-4);

    // From unrounded intermediates the figures differ from the sheet's by what its rounding of
    // R̄̄, X̄diff and Rp to four figures explains; the shares and ndc come out as printed.
    const RrFigures &figures = outcome.analysis->result.figures;
    EXPECT_NEAR(figures.ev.sigma, 0.20188, 5e-5);
    EXPECT_NEAR(figures.av.sigma, 0.22963, 5e-5);
    EXPECT_NEAR(figures.grr.sigma, 0.30575, 5e-5);
    EXPECT_NEAR(figures.pv.sigma, 1.10456, 5e-5);
    EXPECT_NEAR(figures.tv.sigma, 1.14610, 5e-5);
    EXPECT_TRUE(agreesWithPrinted(*figures.av.percentOfTotal, "20.04"));
    EXPECT_TRUE(agreesWithPrinted(*figures.grr.percentOfTotal, "26.68"));
    EXPECT_TRUE(agreesWithPrinted(*figures.pv.percentOfTotal, "96.38"));
    EXPECT_EQ(figures.ndc, 5.0);
    EXPECT_FALSE(figures.interaction);
}

TEST(AverageRange, ThePublishedExamplesFiguresFollowFromItsPrintedIntermediates) {
    const AverageRangeResult result =
        averageRangeFigures({ExampleLayout, 0.3417, 0.4446, 3.511}, {});
    const RrFigures &figures = result.figures;
    EXPECT_TRUE(agreesWithPrinted(figures.ev.sigma, "0.20188"));
    EXPECT_TRUE(agreesWithPrinted(figures.av.sigma, "0.22963"));
    EXPECT_TRUE(agreesWithPrinted(figures.grr.sigma, "0.30575"));
    EXPECT_TRUE(agreesWithPrinted(figures.pv.sigma, "1.10456"));
    EXPECT_TRUE(agreesWithPrinted(figures.tv.sigma, "1.14610"));
    // 100 · 0.20188 / 1.14610 = 17.614; the sheet prints 17.62.
    EXPECT_NEAR(*figures.ev.percentOfTotal, 17.62, 0.01);
    EXPECT_TRUE(agreesWithPrinted(*figures.av.percentOfTotal, "20.04"));
    EXPECT_TRUE(agreesWithPrinted(*figures.grr.percentOfTotal, "26.68"));
    EXPECT_TRUE(agreesWithPrinted(*figures.pv.percentOfTotal, "96.38"));
    EXPECT_EQ(figures.ndc, 5.0);
    EXPECT_EQ(figures.acceptanceOfTotal, Acceptance::Conditional);
    EXPECT_NEAR(figures.grr.studyVariation, 6.0 * figures.grr.sigma, 1e-12);
    EXPECT_EQ(result.k1.source, FactorSource::ManualTable);
    EXPECT_EQ(result.k2.source, FactorSource::ManualTable);
    EXPECT_EQ(result.k3.source, FactorSource::ManualTable);
}

// Two appraisers, three parts, three trials, worked by hand: R̄̄ = (0.2 + 0.1333) / 2 = 0.16667,
// X̄diff = 2.3 − 2.06667 = 0.23333, Rp = 3.15 − 1.2 = 1.95; EV = 0.16667 · 0.5908 = 0.098467,
// AV = √((0.23333 · 0.7071)² − 0.098467² / (3 · 3)) = 0.161692, PV = 1.95 · 0.5231 = 1.020045,
// GRR = 0.189315, TV = 1.037464, %GRR = 18.25, ndc = ⌊7.597⌋ = 7.
TEST(AverageRange, ReproducesAHandWorkedStudyWithMoreTrialsThanAppraisers) {
    const RrReadings readings = {
        {{1.0, 1.2, 1.1}, {2.0, 2.2, 2.1}, {3.1, 2.9, 3.0}},
        {{1.3, 1.3, 1.3}, {2.4, 2.2, 2.3}, {3.2, 3.4, 3.3}},
    };
    const AverageRangeResult result = analyseAverageRange(readings, {}).analysis->result;
    EXPECT_NEAR(result.inputs.averageRange, 0.166667, 1e-6);
    EXPECT_NEAR(result.inputs.appraiserDifference, 0.233333, 1e-6);
    EXPECT_NEAR(result.inputs.partRange, 1.95, 1e-12);
    EXPECT_NEAR(result.figures.ev.sigma, 0.098467, 1e-6);
    EXPECT_NEAR(result.figures.av.sigma, 0.161692, 1e-6);
    EXPECT_NEAR(result.figures.pv.sigma, 1.020045, 1e-6);
    EXPECT_NEAR(result.figures.grr.sigma, 0.189315, 1e-6);
    EXPECT_NEAR(result.figures.tv.sigma, 1.037464, 1e-6);
    EXPECT_NEAR(*result.figures.grr.percentOfTotal, 18.25, 0.005);
    EXPECT_EQ(result.figures.ndc, 7.0);
}

TEST(AverageRange, TheRangeChartFlagsTheCellBeyondItsUpperLimit) {
    const AverageRangeOutcome outcome = analyseAverageRange(publishedExample(), {});
    const RangeChart &chart = outcome.analysis->rangeChart;
    EXPECT_NEAR(chart.upperLimit, 2.574 * 0.3417, 1e-3); // D4 for 3 trials times R̄̄
    EXPECT_EQ(chart.lowerLimit, 0.0);
    // Appraiser B's trials of part 4 read 0.01, 1.03 and 0.20.
    ASSERT_EQ(chart.beyondLimits.size(), 1u);
    EXPECT_EQ(chart.beyondLimits.front(), (RrCell{1, 3}));
}

TEST(AverageRange, AppraisersWhoAgreeShowNoReproducibility) {
    RrReadings readings = publishedExample();
    readings[1] = readings[0];
    readings[2] = readings[0];
    const AverageRangeAnalysis analysis = *analyseAverageRange(readings, {}).analysis;
    EXPECT_EQ(analysis.result.figures.av.sigma, 0.0);
    EXPECT_EQ(analysis.result.figures.grr.sigma, analysis.result.figures.ev.sigma);
    EXPECT_TRUE(analysis.result.notes.contains(
        QStringLiteral("(X̄diff · K2)² is below EV² / (n · r): AV is set to 0.")));
}

TEST(AverageRange, BeyondTheTableTheFactorsFitTheStudysSize) {
    std::mt19937 engine(7);
    std::normal_distribution<double> noise;
    RrReadings readings(4, std::vector<std::vector<double>>(12));
    for (auto &appraiser : readings)
        for (std::size_t p = 0; p < 12; ++p)
            for (int t = 0; t < 4; ++t)
                appraiser[p].push_back(static_cast<double>(p) + 0.1 * noise(engine));
    const AverageRangeResult result = analyseAverageRange(readings, {}).analysis->result;
    EXPECT_EQ(result.k1.source, FactorSource::Computed);
    EXPECT_EQ(result.k1.subgroups, 48);
    EXPECT_EQ(result.k2.source, FactorSource::Computed);
    EXPECT_EQ(result.k3.source, FactorSource::Computed);
    EXPECT_NEAR(result.figures.ev.sigma, result.inputs.averageRange / spc::d2Star(4, 48), 1e-12);
    EXPECT_TRUE(result.definitions.contains(
        QStringLiteral("K3 = 1/d2*(12, 1) = 0.2985 for 12 parts (computed from the distribution "
                       "of the range)")));
    EXPECT_TRUE(
        result.definitions.join('\n').contains(QStringLiteral("d2*(m, g) = √(d2² + d3² / g)")));
}

} // namespace
} // namespace studies
