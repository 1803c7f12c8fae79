#include "GaugeRrAnova.h"
#include "PublishedExample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace studies {
namespace {

using example::agreesWithPrinted;
using example::publishedExample;

TEST(Anova, ThePublishedExamplesTableIsReproduced) {
    const AnovaOutcome outcome = analyseAnova(publishedExample(), {});
    ASSERT_TRUE(outcome.result) << outcome.refusal.toStdString();
    const AnovaTable &table = outcome.result->withInteraction;
    const struct {
        const char *source;
        const AnovaRow &row;
        int df;
        const char *ss;
        const char *ms;
        const char *f;
    } rows[] = {
        {"appraiser", table.appraisers, 2, "3.1673", "1.58363", "79.41"},
        {"parts", table.parts, 9, "88.3619", "9.81799", "492.29"},
        {"appraiser by part", *table.interaction, 18, "0.3590", "0.01994", "0.434"},
        {"equipment", table.repeatability, 60, "2.7589", "0.04598", nullptr},
        {"total", table.total, 89, "94.6471", nullptr, nullptr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.source);
        EXPECT_EQ(row.row.degreesOfFreedom, row.df);
        EXPECT_TRUE(agreesWithPrinted(row.row.sumOfSquares, row.ss));
        if (row.ms) {
            EXPECT_TRUE(agreesWithPrinted(row.row.meanSquare, row.ms));
        }
        if (row.f) {
            EXPECT_TRUE(row.row.f && agreesWithPrinted(*row.row.f, row.f));
        } else {
            EXPECT_FALSE(row.row.f);
        }
    }
}

TEST(Anova, ThePublishedExamplePoolsItsInteractionAndGivesThePrintedComponents) {
    const AnovaResult result = *analyseAnova(publishedExample(), {}).result;
    EXPECT_GT(*result.withInteraction.interaction->p, 0.25);
    ASSERT_TRUE(result.interactionPooled);
    ASSERT_TRUE(result.withoutInteraction);
    EXPECT_FALSE(result.withoutInteraction->interaction);
    EXPECT_EQ(result.withoutInteraction->repeatability.degreesOfFreedom, 78);
    EXPECT_TRUE(result.notes.front().startsWith(QStringLiteral(
        "The interaction's p-value is 0.974, above 0.25: the interaction is pooled")));

    const RrFigures &figures = result.figures;
    EXPECT_TRUE(agreesWithPrinted(figures.ev.variance, "0.039973"));
    EXPECT_TRUE(agreesWithPrinted(figures.av.variance, "0.051455"));
    ASSERT_TRUE(figures.interaction);
    EXPECT_EQ(figures.interaction->variance, 0.0);
    const struct {
        const char *source;
        const ComponentFigures &figures;
        const char *sigma;
        const char *percentOfTotal;
        const char *contribution;
    } rows[] = {
        {"EV", figures.ev, "0.199933", "18.4", "3.4"},
        {"AV", figures.av, "0.226838", "20.9", "4.4"},
        {"interaction", *figures.interaction, "0", "0", "0"},
        {"GRR", figures.grr, nullptr, "27.9", "7.8"},
        {"PV", figures.pv, "1.042327", "96.0", "92.2"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.source);
        if (row.sigma) {
            EXPECT_TRUE(agreesWithPrinted(row.figures.sigma, row.sigma));
        }
        EXPECT_TRUE(agreesWithPrinted(*row.figures.percentOfTotal, row.percentOfTotal));
        EXPECT_TRUE(agreesWithPrinted(*row.figures.percentContribution, row.contribution));
        EXPECT_NEAR(row.figures.studyVariation, 6.0 * row.figures.sigma, 1e-12);
    }
    EXPECT_EQ(figures.ndc, 4.0);
    EXPECT_EQ(figures.acceptanceOfTotal, Acceptance::Conditional);
    EXPECT_FALSE(figures.acceptanceOfTolerance);
}

TEST(Anova, TheOlderSpreadScalesStudyVariationAndToleranceSharesOnly) {
    RrOptions six;
    six.tolerance = 8.0;
    RrOptions older = six;
    older.spread = Spread::FiveFifteenSigma;
    const RrFigures a = analyseAnova(publishedExample(), six).result->figures;
    const RrFigures b = analyseAnova(publishedExample(), older).result->figures;
    EXPECT_NEAR(*a.grr.percentOfTolerance, 100.0 * 6.0 * a.grr.sigma / 8.0, 1e-9);
    EXPECT_NEAR(*b.grr.percentOfTolerance, 100.0 * 5.15 * a.grr.sigma / 8.0, 1e-9);
    EXPECT_EQ(*b.grr.percentOfTotal, *a.grr.percentOfTotal);
}

// The same table by the textbook's totals: SS = Σ T²/count − T²/N for each way of grouping the
// readings, the interaction and the error by difference. Long double, no shared code.
struct TotalsTable {
    long double parts, appraisers, interaction, error, total;
};

TotalsTable totalsTable(const RrReadings &readings) {
    const std::size_t k = readings.size(), n = readings[0].size(), r = readings[0][0].size();
    long double grand = 0, squares = 0, cells = 0;
    std::vector<long double> partTotals(n), appraiserTotals(k);
    for (std::size_t a = 0; a < k; ++a)
        for (std::size_t p = 0; p < n; ++p) {
            long double cell = 0;
            for (double x : readings[a][p]) {
                cell += x;
                squares += static_cast<long double>(x) * x;
            }
            cells += cell * cell / r;
            partTotals[p] += cell;
            appraiserTotals[a] += cell;
            grand += cell;
        }
    const long double correction = grand * grand / (n * k * r);
    long double parts = 0, appraisers = 0;
    for (long double t : partTotals)
        parts += t * t / (k * r);
    for (long double t : appraiserTotals)
        appraisers += t * t / (n * r);
    TotalsTable table;
    table.parts = parts - correction;
    table.appraisers = appraisers - correction;
    table.interaction = cells - parts - appraisers + correction;
    table.error = squares - cells;
    table.total = squares - correction;
    return table;
}

// P(F > f) for 2 numerator degrees of freedom, in closed form: (1 + 2f/ν)^(−ν/2).
double upperTailForTwo(double f, int denominatorDf) {
    return std::pow(1.0 + 2.0 * f / denominatorDf, -denominatorDf / 2.0);
}

TEST(Anova, AgreesWithTheTotalsFormulationOnRandomStudies) {
    const StudyLayout layouts[] = {{3, 10, 3}, {3, 3, 2}, {2, 5, 4}, {4, 3, 2}, {3, 7, 2}};
    std::mt19937 engine(2024);
    std::normal_distribution<double> normal;
    std::uniform_real_distribution<double> scale(0.0, 2.0);
    int pooled = 0, kept = 0;
    for (const StudyLayout &layout : layouts) {
        for (int dataSet = 0; dataSet < 8; ++dataSet) {
            SCOPED_TRACE(::testing::Message() << layout.appraisers << "×" << layout.parts << "×"
                                              << layout.trials << " #" << dataSet);
            const double partScale = 3 * scale(engine), appraiserScale = scale(engine),
                         interactionScale = scale(engine) * 0.5;
            std::vector<double> partEffect(slot(layout.parts)),
                appraiserEffect(slot(layout.appraisers));
            for (double &e : partEffect)
                e = partScale * normal(engine);
            for (double &e : appraiserEffect)
                e = appraiserScale * normal(engine);
            RrReadings readings(slot(layout.appraisers),
                                std::vector<std::vector<double>>(slot(layout.parts)));
            for (int a = 0; a < layout.appraisers; ++a)
                for (int p = 0; p < layout.parts; ++p) {
                    const double cell = 25.0 + partEffect[slot(p)] + appraiserEffect[slot(a)] +
                                        interactionScale * normal(engine);
                    for (int t = 0; t < layout.trials; ++t)
                        readings[slot(a)][slot(p)].push_back(cell + 0.3 * normal(engine));
                }

            const AnovaResult result = *analyseAnova(readings, {}).result;
            const AnovaTable &table = result.withInteraction;
            const TotalsTable expected = totalsTable(readings);
            const auto near = [](double actual, long double wanted) {
                return std::fabs(actual - static_cast<double>(wanted)) <=
                       1e-9 * (1.0 + std::fabs(static_cast<double>(wanted)));
            };
            EXPECT_TRUE(near(table.parts.sumOfSquares, expected.parts));
            EXPECT_TRUE(near(table.appraisers.sumOfSquares, expected.appraisers));
            EXPECT_TRUE(near(table.interaction->sumOfSquares, expected.interaction));
            EXPECT_TRUE(near(table.repeatability.sumOfSquares, expected.error));
            EXPECT_TRUE(near(table.total.sumOfSquares, expected.total));

            const double msInteraction = table.interaction->meanSquare;
            const double msError = table.repeatability.meanSquare;
            const int dfInteraction = (layout.parts - 1) * (layout.appraisers - 1);
            EXPECT_NEAR(*table.parts.f, table.parts.meanSquare / msInteraction, 1e-9);
            EXPECT_NEAR(*table.interaction->f, msInteraction / msError, 1e-9);
            if (layout.appraisers == 3) {
                EXPECT_NEAR(*table.appraisers.p,
                            upperTailForTwo(*table.appraisers.f, dfInteraction), 1e-10);
            }
            if (layout.parts == 3) {
                EXPECT_NEAR(*table.parts.p, upperTailForTwo(*table.parts.f, dfInteraction), 1e-10);
            }

            const bool pools = *table.interaction->p > 0.25;
            EXPECT_EQ(result.interactionPooled, pools);
            (pools ? pooled : kept)++;
            const int r = layout.trials;
            const double against =
                pools ? (static_cast<double>(expected.interaction + expected.error) /
                         (dfInteraction + table.repeatability.degreesOfFreedom))
                      : msInteraction;
            const VarianceComponents &c = result.estimatedComponents;
            EXPECT_NEAR(c.repeatability, pools ? against : msError, 1e-9);
            EXPECT_NEAR(*c.interaction, pools ? 0.0 : (msInteraction - msError) / r, 1e-9);
            EXPECT_NEAR(c.appraisers, (table.appraisers.meanSquare - against) / (layout.parts * r),
                        1e-9);
            EXPECT_NEAR(c.parts, (table.parts.meanSquare - against) / (layout.appraisers * r),
                        1e-9);
            if (pools && layout.appraisers == 3) {
                EXPECT_NEAR(
                    *result.withoutInteraction->appraisers.p,
                    upperTailForTwo(result.withoutInteraction->appraisers.meanSquare / against,
                                    result.withoutInteraction->repeatability.degreesOfFreedom),
                    1e-10);
            }
        }
    }
    // Both branches of the pooling rule were exercised.
    EXPECT_GT(pooled, 0);
    EXPECT_GT(kept, 0);
}

TEST(Anova, PoolsTheInteractionOnlyAboveAQuarter) {
    const struct {
        const char *proves;
        std::optional<double> p;
        bool pooled;
    } rows[] = {
        {"exactly 0.25 is kept", 0.25, false},
        {"just above 0.25 is pooled", std::nextafter(0.25, 1.0), true},
        {"just below 0.25 is kept", std::nextafter(0.25, 0.0), false},
        {"an interaction that cannot be tested is kept", std::nullopt, false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(poolsInteraction(row.p), row.pooled) << row.proves;
}

TEST(Anova, AStrongInteractionStaysInTheModel) {
    // Appraiser B ranks the parts the other way round.
    const RrReadings readings = {
        {{0.00, 0.01}, {1.00, 1.01}, {2.00, 2.02}},
        {{2.00, 2.01}, {1.01, 1.00}, {0.01, 0.00}},
    };
    const AnovaResult result = *analyseAnova(readings, {}).result;
    EXPECT_LT(*result.withInteraction.interaction->p, 0.25);
    EXPECT_FALSE(result.interactionPooled);
    EXPECT_FALSE(result.withoutInteraction);
    EXPECT_GT(result.figures.interaction->sigma, result.figures.ev.sigma);
    EXPECT_TRUE(
        result.notes.front().endsWith(QStringLiteral("the interaction stays in the model.")));
}

TEST(Anova, NegativeComponentsAreSetToZeroAndSaidSo) {
    // Appraisers who agree exactly: MS(appraisers) = 0 lies below the error it is measured against.
    RrReadings readings = publishedExample();
    readings[1] = readings[0];
    readings[2] = readings[0];
    const AnovaResult result = *analyseAnova(readings, {}).result;
    EXPECT_LT(result.estimatedComponents.appraisers, 0.0);
    EXPECT_EQ(result.figures.av.variance, 0.0);
    EXPECT_EQ(result.figures.av.sigma, 0.0);
    EXPECT_TRUE(result.notes.join('\n').contains(
        QStringLiteral("The appraisers' variance component came out negative")));
    EXPECT_NEAR(result.figures.grr.variance, result.figures.ev.variance, 1e-15);
}

TEST(Anova, StudiesWithoutVariationAreReportedInWords) {
    {
        SCOPED_TRACE("every reading equal");
        const RrReadings readings(2, std::vector<std::vector<double>>(3, {5.0, 5.0}));
        const AnovaResult result = *analyseAnova(readings, {}).result;
        EXPECT_EQ(result.withInteraction.total.sumOfSquares, 0.0);
        EXPECT_FALSE(result.withInteraction.interaction->f);
        EXPECT_FALSE(result.interactionPooled);
        EXPECT_FALSE(result.figures.tv.percentOfTotal);
        EXPECT_FALSE(result.figures.ndc);
        EXPECT_FALSE(result.figures.acceptanceOfTotal);
        EXPECT_TRUE(result.notes.join('\n').contains(QStringLiteral("All readings are equal")));
    }
    {
        SCOPED_TRACE("parts differ, every appraiser repeats every reading exactly");
        const RrReadings readings = {
            {{0.1, 0.1, 0.1}, {0.3, 0.3, 0.3}, {0.7, 0.7, 0.7}},
            {{0.1, 0.1, 0.1}, {0.3, 0.3, 0.3}, {0.7, 0.7, 0.7}},
        };
        const AnovaResult result = *analyseAnova(readings, {}).result;
        EXPECT_EQ(result.withInteraction.repeatability.sumOfSquares, 0.0);
        EXPECT_FALSE(result.withInteraction.interaction->p);
        EXPECT_EQ(result.figures.grr.sigma, 0.0);
        EXPECT_EQ(*result.figures.pv.percentOfTotal, 100.0);
        EXPECT_FALSE(result.figures.ndc);
        EXPECT_TRUE(
            result.notes.join('\n').contains(QStringLiteral("(GRR = 0), so ndc is not defined")));
    }
}

TEST(Anova, RefusesDataSetsThatAreNotACompleteBalancedStudy) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<double>> twoParts = {{1.0, 1.1}, {2.0, 2.1}};
    const struct {
        const char *proves;
        RrReadings readings;
        std::optional<double> tolerance;
        const char *refusal;
    } rows[] = {
        {"one appraiser", {twoParts}, {}, "A study needs at least 2 appraisers."},
        {"one part", {{{1.0, 1.1}}, {{1.0, 1.2}}}, {}, "A study needs at least 2 parts."},
        {"one trial",
         {{{1.0}, {2.0}}, {{1.0}, {2.0}}},
         {},
         "A study needs at least 2 trials of every part."},
        {"appraisers with different parts",
         {twoParts, {{1.0, 1.1}}},
         {},
         "Appraiser B's parts (1) differ in number from appraiser A's (2): every appraiser "
         "measures the same parts."},
        {"unequal trials",
         {twoParts, {{1.0, 1.1}, {2.0, 2.1, 2.2}}},
         {},
         "Appraiser B, part 2 has 3 trials where appraiser A, part 1 has 2: every appraiser needs "
         "the same number of trials of every part."},
        {"a cell without readings",
         {twoParts, {{1.0, 1.1}, {}}},
         {},
         "Appraiser B, part 2 has no reading."},
        {"a reading that is not a number",
         {twoParts, {{1.0, nan}, {2.0, 2.1}}},
         {},
         "Appraiser B, part 1, trial 2 is not a number."},
        {"a tolerance of 0", {twoParts, twoParts}, 0.0, "The tolerance must be a number above 0."},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.proves);
        RrOptions options;
        options.tolerance = row.tolerance;
        const AnovaOutcome outcome = analyseAnova(row.readings, options);
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.refusal.toStdString(), row.refusal);
    }
}

} // namespace
} // namespace studies
