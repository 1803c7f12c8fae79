#include "SpcAnalysis.h"
#include "MemorySpcSource.h"
#include "SpcDemo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace spc;

namespace {

constexpr qint64 StartMs = 1709532000000; // 2024-03-04 06:00 UTC
constexpr int Channel = 1;
const PartLimits Wide{{9.0, 11.0}, 10.0};

// A steady process around 10 with σ 0.1, then a shift of 0.3 from part `shiftAt` on.
std::vector<double> run(std::size_t parts, std::size_t shiftAt) {
    std::mt19937 random(7);
    std::normal_distribution<double> noise(10.0, 0.1);
    std::vector<double> values;
    for (std::size_t i = 0; i < parts; ++i)
        values.push_back(noise(random) + (i >= shiftAt ? 0.3 : 0.0));
    return values;
}

void fill(MemorySpcSource &source, const std::vector<double> &values,
          const PartLimits &limits = Wide) {
    for (std::size_t i = 0; i < values.size(); ++i)
        source.addPart(Channel, values[i], StartMs + static_cast<qint64>(i) * 1000, limits);
}

SpcAnalysis loaded(MemorySpcSource &source, AnalysisSettings settings = {}) {
    SpcAnalysis analysis(source, {Channel, QStringLiteral("Bore"), 3}, settings);
    QString error;
    EXPECT_TRUE(analysis.load(&error)) << error.toStdString();
    return analysis;
}

} // namespace

TEST(SpcAnalysis, GroupsThePartsAndDatesEachSubgroupByItsLastPart) {
    MemorySpcSource source(QStringLiteral("line"));
    fill(source, run(23, 1000));
    source.addPart(Channel, std::numeric_limits<double>::quiet_NaN(), StartMs + 99'000, Wide);
    const SpcAnalysis analysis = loaded(source);
    EXPECT_EQ(analysis.partCount(), 23u) << "a reading that is not a number is left out";
    EXPECT_EQ(analysis.series().subgroupCount(), 4u) << "the incomplete last subgroup waits";
    EXPECT_EQ(analysis.partId(22), 23);
    EXPECT_EQ(analysis.subgroupTimeMs(1), StartMs + 9000);
    EXPECT_EQ(analysis.limitsOrigin(), LimitsOrigin::Pending);
    EXPECT_EQ(analysis.limits().pending, QStringLiteral("limits after 25 subgroups"));
    EXPECT_TRUE(analysis.ruleCheck().violations.empty());
    EXPECT_EQ(analysis.newestLimits(), Wide);
}

// Parts arriving one at a time must end where reading them all at once ends: the same
// subgroups, limits, violations and figures. Catches an incremental rule check that starts at
// the wrong subgroup or misses the moment the baseline completes.
TEST(SpcAnalysis, PartsArrivingOneByOneEndAsPartsReadAtOnce) {
    const std::vector<double> values = run(400, 250);
    for (const int size : {1, 5, 12}) {
        SCOPED_TRACE(size);
        AnalysisSettings settings;
        settings.subgroupSize = size;
        settings.rules.set(Rule::Nelson7, true).set(Rule::Nelson8, true);
        MemorySpcSource live(QStringLiteral("line"));
        SpcAnalysis growing = loaded(live, settings);
        std::size_t announced = 0;
        bool limitsArrived = false;
        for (std::size_t i = 0; i < values.size(); ++i) {
            live.addPart(Channel, values[i], StartMs + static_cast<qint64>(i), Wide);
            Growth growth;
            QString error;
            ASSERT_TRUE(growing.readNewParts(&growth, &error));
            ASSERT_EQ(growth.parts, 1u);
            announced += growth.violations;
            limitsArrived |= growth.limitsChanged;
        }
        MemorySpcSource whole(QStringLiteral("line"));
        fill(whole, values);
        const SpcAnalysis atOnce = loaded(whole, settings);

        EXPECT_TRUE(limitsArrived);
        EXPECT_EQ(growing.limitsOrigin(), LimitsOrigin::Baseline);
        EXPECT_EQ(growing.limits().values, atOnce.limits().values);
        EXPECT_EQ(growing.ruleCheck().violations, atOnce.ruleCheck().violations);
        EXPECT_FALSE(atOnce.ruleCheck().violations.empty()) << "the shift is flagged";
        EXPECT_LE(announced, growing.ruleCheck().violations.size());
        EXPECT_DOUBLE_EQ(growing.capability().cpk->value, atOnce.capability().cpk->value);
    }
}

TEST(SpcAnalysis, FrozenLimitsAreKeptPerSubgroupSizeAndUsedWhenOpenedAgain) {
    MemorySpcSource source(QStringLiteral("line"));
    fill(source, run(300, 200));
    const QDateTime setAt(QDate(2024, 3, 5), QTime(8, 30), Qt::UTC);
    LimitValues frozenValues;
    {
        SpcAnalysis first = loaded(source);
        QString error;
        ASSERT_TRUE(first.freezeLimits(setAt, &error)) << error.toStdString();
        EXPECT_EQ(first.limitsOrigin(), LimitsOrigin::Frozen);
        frozenValues = first.limits().values;
    }
    // Opened again with another baseline: the frozen limits stand until recalculated.
    AnalysisSettings settings;
    settings.baselineSubgroups = 10;
    SpcAnalysis reopened = loaded(source, settings);
    EXPECT_EQ(reopened.limitsOrigin(), LimitsOrigin::Frozen);
    EXPECT_EQ(reopened.frozenAt(), setAt);
    EXPECT_EQ(reopened.limits().values, frozenValues);

    reopened.setSubgroupSize(4);
    EXPECT_EQ(reopened.limitsOrigin(), LimitsOrigin::Baseline) << "frozen only for 5";
    reopened.setSubgroupSize(5);
    EXPECT_EQ(reopened.limitsOrigin(), LimitsOrigin::Frozen);

    settings.useFrozenLimits = false;
    EXPECT_EQ(loaded(source, settings).limitsOrigin(), LimitsOrigin::Baseline);
}

TEST(SpcAnalysis, LimitsThatCannotBeFrozenOrStoredChangeNothing) {
    MemorySpcSource source(QStringLiteral("line"));
    fill(source, run(60, 1000));
    SpcAnalysis young = loaded(source);
    QString error;
    EXPECT_FALSE(young.freezeLimits(QDateTime::currentDateTimeUtc(), &error));
    EXPECT_EQ(error, QStringLiteral("The limits cannot be frozen yet: limits after 25 subgroups."));
    EXPECT_FALSE(source.frozenLimits(Channel, 5));

    fill(source, run(200, 1000));
    SpcAnalysis grown = loaded(source);
    source.failWith(QStringLiteral("the database is read-only"));
    EXPECT_FALSE(grown.freezeLimits(QDateTime::currentDateTimeUtc(), &error));
    EXPECT_EQ(error, QStringLiteral("the database is read-only"));
    EXPECT_EQ(grown.limitsOrigin(), LimitsOrigin::Baseline);
}

TEST(SpcAnalysis, TheLatestBaselineTakesTheNewestSubgroups) {
    MemorySpcSource source(QStringLiteral("line"));
    fill(source, run(500, 250)); // 100 subgroups, shifted from the 51st
    AnalysisSettings settings;
    settings.baseline = BaselineChoice::LatestSubgroups;
    const SpcAnalysis latest = loaded(source, settings);
    EXPECT_EQ(latest.limits().values.firstBaselineSubgroup, 75u);
    EXPECT_NEAR(latest.limits().values.location.centre, 10.3, 0.05);
    const SpcAnalysis first = loaded(source);
    EXPECT_EQ(first.limits().values.firstBaselineSubgroup, 0u);
    EXPECT_NEAR(first.limits().values.location.centre, 10.0, 0.05);
}

TEST(SpcAnalysis, AChangeOfLimitsIsFoundAndTheNewestAreUsed) {
    MemorySpcSource source(QStringLiteral("line"));
    const std::vector<double> values = run(30, 1000);
    const PartLimits narrow{{9.8, 10.2}, 10.0};
    const PartLimits upperOnly{{std::nullopt, 10.2}, std::nullopt};
    for (std::size_t i = 0; i < values.size(); ++i)
        source.addPart(Channel, values[i], StartMs + static_cast<qint64>(i) * 1000,
                       i < 12   ? Wide
                       : i < 21 ? narrow
                                : upperOnly);
    const SpcAnalysis analysis = loaded(source);
    ASSERT_EQ(analysis.limitChanges().size(), 2u);
    EXPECT_EQ(analysis.limitChanges()[0].part, 12u);
    EXPECT_EQ(analysis.changeSubgroup(analysis.limitChanges()[0]), 2u);
    EXPECT_EQ(analysis.limitChanges()[1].limits, upperOnly);
    EXPECT_EQ(analysis.series().tolerance(), upperOnly.tolerance);
    EXPECT_FALSE(analysis.capability().cp) << "one-sided with the newest limits";
    EXPECT_TRUE(analysis.limitChangeText().contains(QStringLiteral("changed 2 times")));
    EXPECT_TRUE(analysis.limitChangeText().contains(QStringLiteral("up to 10.200")));

    // A change arriving live is reported and counted again over all parts.
    SpcAnalysis live = loaded(source);
    source.addPart(Channel, 10.5, StartMs + 60'000, narrow);
    Growth growth;
    QString error;
    ASSERT_TRUE(live.readNewParts(&growth, &error));
    EXPECT_TRUE(growth.toleranceChanged);
    EXPECT_EQ(live.series().tolerance(), narrow.tolerance);
    EXPECT_EQ(live.capability().observedPpm.value_or(0) > 0, true);
}

TEST(SpcAnalysis, ARangeOfTimesLeavesOutThePartsOutsideIt) {
    MemorySpcSource source(QStringLiteral("line"));
    fill(source, run(100, 1000));
    AnalysisSettings settings;
    settings.sinceMs = StartMs + 10'000;
    settings.untilMs = StartMs + 59'000;
    SpcAnalysis analysis = loaded(source, settings);
    EXPECT_EQ(analysis.partCount(), 50u);
    EXPECT_EQ(analysis.partId(0), 11);
    // Parts recorded after the range are not added as they come.
    source.addPart(Channel, 10.0, StartMs + 200'000, Wide);
    Growth growth;
    QString error;
    ASSERT_TRUE(analysis.readNewParts(&growth, &error));
    EXPECT_EQ(growth.parts, 0u);
}

TEST(SpcAnalysis, AReadingFailureIsReportedAndThePartsReadStay) {
    MemorySpcSource source(QStringLiteral("line"));
    fill(source, run(20, 1000));
    SpcAnalysis analysis = loaded(source);
    source.failWith(QStringLiteral("database is locked"));
    Growth growth;
    QString error;
    EXPECT_FALSE(analysis.readNewParts(&growth, &error));
    EXPECT_EQ(error, QStringLiteral("database is locked"));
    EXPECT_EQ(analysis.partCount(), 20u);
}

TEST(SpcAnalysis, TheDemonstrationRunShowsItsDriftToTheRules) {
    MemorySpcSource source(QStringLiteral("demo"));
    addDemoRun(source, 750, StartMs);
    ASSERT_EQ(source.channels().size(), static_cast<std::size_t>(DemoChannelCount));
    SpcAnalysis bore(source, source.channels()[0]);
    QString error;
    ASSERT_TRUE(bore.load(&error));
    std::vector<std::size_t> location;
    std::vector<std::size_t> spread;
    for (const Violation &v : bore.ruleCheck().violations)
        (v.rule == Rule::SpreadBeyondLimits ? spread : location).push_back(v.subgroup);
    // Far readings at parts 97 and 308, in subgroups 19 and 61; the drift from part 375 on.
    const auto outlier = [](std::size_t g) {
        return g == 19 || g == 61;
    };
    ASSERT_FALSE(location.empty());
    EXPECT_TRUE(std::all_of(location.begin(), location.end(),
                            [&](std::size_t g) { return outlier(g) || g >= 75; }));
    EXPECT_EQ(location.back(), 149u) << "the drift is flagged at its end";
    EXPECT_TRUE(std::all_of(spread.begin(), spread.end(), outlier));
    EXPECT_FALSE(spread.empty());
    SpcAnalysis coolant(source, source.channels()[4]);
    ASSERT_TRUE(coolant.load(&error));
    EXPECT_EQ(coolant.capability().state, CapabilityState::NoTolerance);
}
