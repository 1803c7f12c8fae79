#include "PartRecordBuilder.h"
#include "PartVerdicts.h"
#include "RecordingSamples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using measurelog::Verdict;

namespace recording {
namespace {

const GaugeLimits Limits{-0.010, -0.008, 0.008, 0.010};

struct VerdictCase {
    const char *legend;
    double value;
    std::optional<GaugeLimits> limits;
    Verdict verdict;
};

TEST(PartVerdicts, AChannelIsJudgedByTheGaugesZones) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const VerdictCase cases[] = {
        {"in the middle", 0.0, Limits, Verdict::Good},
        {"on an approach limit is still good", 0.008, Limits, Verdict::Good},
        {"between approach and tolerance is warn", -0.009, Limits, Verdict::Warn},
        {"on a tolerance limit is warn", 0.010, Limits, Verdict::Warn},
        {"past a tolerance limit is reject", 0.0101, Limits, Verdict::Reject},
        {"far below is reject", -5.0, Limits, Verdict::Reject},
        {"without limits anything is no limits", 123.0, std::nullopt, Verdict::NoLimits},
        {"no number is never good", nan, Limits, Verdict::Reject},
    };
    for (const auto &c : cases)
        EXPECT_EQ(channelVerdict(c.value, c.limits), c.verdict) << c.legend;
}

// The colour on the screen and the verdict in the log cannot part: across the whole scale, and
// with limits that overlap or are reversed as a unit may hold them, both come from one rule.
TEST(PartVerdicts, TheVerdictAlwaysHasTheColourTheGaugeShows) {
    const GaugeLimits limitSets[] = {
        Limits,
        {-0.010, -0.012, 0.012, 0.010}, // approach limits outside the tolerance limits
        {0.010, 0.008, -0.008, -0.010}, // every limit reversed
        {0.0, 0.0, 0.0, 0.0},           // a channel whose limits were never set
    };
    for (const GaugeLimits &limits : limitSets) {
        for (int step = -300; step <= 300; ++step) {
            const double value = step * 0.0001;
            EXPECT_EQ(verdictZone(channelVerdict(value, limits)), gaugeZone(value, limits))
                << value;
        }
    }
    EXPECT_EQ(verdictZone(Verdict::NoLimits), GaugeZone::Unknown);
}

TEST(PartRecordBuilder, ARecordHoldsEveryRecordedEntryWithItsLimitsAndVerdict) {
    RecordingView view = limitedView(4, QStringLiteral("Group 2: Bore"));
    view.channels[1] = unlimitedChannel(2);
    view.channels[2].state = SetupState::Missing; // a group entry naming no channel
    const TickReadings readings = readingsAt(view, 7, {0.0091, 1.5, std::nullopt, -0.002});
    const RecordContext context{QStringLiteral("Line 3"), QStringLiteral("Ana"),
                                QStringLiteral("LOT-7"), QStringLiteral("bore.qor"),
                                QStringLiteral("ab12")};

    const measurelog::PartRecord part = PartRecordBuilder(context).build(view, readings);

    EXPECT_EQ(part.station, context.station);
    EXPECT_EQ(part.operatorName, context.operatorName);
    EXPECT_EQ(part.serialText, context.serialText);
    EXPECT_EQ(part.setupFile, context.setupFile);
    EXPECT_EQ(part.setupHash, context.setupHash);
    EXPECT_EQ(part.viewName, view.name);
    ASSERT_EQ(part.values.size(), 3u) << "the missing channel is left out";
    const measurelog::ValueRecord &warn = part.values[0];
    EXPECT_EQ(warn.channel, 1);
    EXPECT_EQ(warn.description, QStringLiteral("Diameter 1"));
    EXPECT_DOUBLE_EQ(warn.value, 11.0091);
    EXPECT_EQ(warn.decimals, 4);
    EXPECT_EQ(warn.nominal, 11.0);
    EXPECT_EQ(warn.lowTolerance, 11.0 - Tolerance);
    EXPECT_EQ(warn.lowApproach, 11.0 - Approach);
    EXPECT_EQ(warn.highApproach, 11.0 + Approach);
    EXPECT_EQ(warn.highTolerance, 11.0 + Tolerance);
    EXPECT_EQ(warn.verdict, Verdict::Warn);
    const measurelog::ValueRecord &free = part.values[1];
    EXPECT_EQ(free.channel, 2);
    EXPECT_FALSE(free.nominal || free.lowTolerance || free.highTolerance || free.lowApproach ||
                 free.highApproach);
    EXPECT_EQ(free.verdict, Verdict::NoLimits);
    EXPECT_EQ(part.values[2].channel, 4);
    EXPECT_EQ(part.values[2].verdict, Verdict::Good);
    EXPECT_EQ(part.verdict, Verdict::Warn) << "the worst of good, warn and no limits";
    EXPECT_TRUE(part.uuid.isEmpty() && part.timeMs == 0 && part.serialNumber == 0)
        << "left to the writer";
}

struct PartVerdictCase {
    const char *legend;
    std::vector<std::optional<double>> offsets; // channels 1 and 2 limited, 3 without limits
    Verdict verdict;
};

TEST(PartRecordBuilder, ThePartsVerdictIsTheWorstOfItsChannels) {
    RecordingView view = limitedView(3);
    view.channels[2] = unlimitedChannel(3);
    const PartVerdictCase cases[] = {
        {"all good", {0.0, 0.001, 99.0}, Verdict::Good},
        {"one warn", {0.0, -0.009, 0.0}, Verdict::Warn},
        {"a reject outweighs a warn", {0.02, -0.009, 0.0}, Verdict::Reject},
        {"a channel without limits never decides", {0.0, 0.0, -1e9}, Verdict::Good},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PartRecordBuilder().build(view, readingsAt(view, 1, c.offsets)).verdict,
                  c.verdict)
            << c.legend;
    }
    RecordingView unlimited{QStringLiteral("Probes"), {unlimitedChannel(1), unlimitedChannel(2)}};
    EXPECT_EQ(PartRecordBuilder().build(unlimited, uniformReadings(unlimited, 1, 0.5)).verdict,
              Verdict::NoLimits)
        << "no channel with limits";
}

} // namespace
} // namespace recording
