// A long history read in slices, and the first look at it that is shown meanwhile: both must
// end exactly where one read of every part ends.
#include "MemorySpcSource.h"
#include "SpcAnalysis.h"
#include "SpcDemo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <vector>

using namespace spc;

namespace {

constexpr qint64 StartMs = 1709532000000; // 2024-03-04 06:00 UTC
constexpr int Bore = 1;                   // drifts, with a few far readings
constexpr int Flange = 3;                 // its tolerance is tightened at 60 % of the run
constexpr int Plateau = 9;                // steady, but for a run across the first subgroups shown
constexpr std::size_t RunParts = 3003;
constexpr std::size_t Shown = 100;

// Individuals around 10 (σ 0.01) but for a run of 30 just above the centre that ends 10 parts
// into the last `Shown`: patterns that reach back before the first subgroup shown.
void addPlateau(MemorySpcSource &source) {
    std::mt19937 random(3);
    std::normal_distribution<double> noise(10.0, 0.01);
    const std::size_t runEnd = RunParts - Shown + 10;
    for (std::size_t i = 0; i < RunParts; ++i) {
        const double value = i >= runEnd - 30 && i < runEnd ? 10.004 : noise(random);
        source.addPart(Plateau, value, StartMs + static_cast<qint64>(i) * 1000,
                       {{9.95, 10.05}, 10.0});
    }
}

SpcChannel channelOf(const MemorySpcSource &source, int number) {
    return *findChannel(source.channels(), number);
}

// Points as drawn: a point that is not a number (a first moving range) is none.
std::vector<std::optional<double>> subgroupsFrom(std::span<const double> values,
                                                 std::size_t first) {
    std::vector<std::optional<double>> points;
    for (std::size_t g = first; g < values.size(); ++g)
        points.push_back(std::isnan(values[g]) ? std::nullopt : std::optional(values[g]));
    return points;
}

std::vector<Violation> violationsFrom(const SpcAnalysis &analysis, std::size_t first) {
    std::vector<Violation> found;
    for (const Violation &v : analysis.ruleCheck().violations) {
        if (v.subgroup >= first)
            found.push_back(v);
    }
    return found;
}

std::vector<std::pair<std::size_t, PartLimits>> changesFrom(const SpcAnalysis &analysis,
                                                            std::size_t first) {
    std::vector<std::pair<std::size_t, PartLimits>> found;
    for (const LimitChange &change : analysis.limitChanges()) {
        if (analysis.changeSubgroup(change) >= first)
            found.emplace_back(analysis.changeSubgroup(change), change.limits);
    }
    return found;
}

// Everything the charts draw of the subgroups from `first` on.
void expectChartedAlike(const SpcAnalysis &shown, const SpcAnalysis &whole, std::size_t first) {
    ASSERT_EQ(shown.series().subgroupCount(), whole.series().subgroupCount());
    EXPECT_EQ(subgroupsFrom(shown.series().means(), first),
              subgroupsFrom(whole.series().means(), first));
    EXPECT_EQ(subgroupsFrom(shown.series().spreads(), first),
              subgroupsFrom(whole.series().spreads(), first));
    EXPECT_EQ(shown.limits().state, whole.limits().state);
    EXPECT_EQ(shown.limits().values, whole.limits().values);
    EXPECT_EQ(shown.limitsOrigin(), whole.limitsOrigin());
    EXPECT_EQ(shown.limitsText(), whole.limitsText());
    EXPECT_EQ(shown.ruleCheck().state, whole.ruleCheck().state);
    EXPECT_EQ(violationsFrom(shown, first), violationsFrom(whole, first));
    EXPECT_EQ(changesFrom(shown, first), changesFrom(whole, first));
    EXPECT_EQ(shown.newestLimits(), whole.newestLimits());
    EXPECT_EQ(shown.subgroupTimeMs(first), whole.subgroupTimeMs(first));
}

struct Look {
    const char *proves;
    int channel;
    int subgroupSize;
    BaselineChoice baseline;
    bool frozen;
    std::size_t subgroups; // shown
    bool changeShown;      // the channel's limits change among them
};

} // namespace

// A first look reads a few hundred parts of thousands, and must chart the newest subgroups as
// the whole history does: catches subgroups cut at the wrong part, a moving range taken across
// the parts left out, rules judged without the points they look back on, a limit change seen
// where the parts left out begin, and limits from the wrong baseline.
TEST(SpcLoading, AFirstLookChartsTheNewestSubgroupsAsTheWholeHistoryDoes) {
    const Look looks[] = {
        {"individuals: limits from the first subgroups", Bore, 1, BaselineChoice::FirstSubgroups,
         false, 100, false},
        {"patterns reaching back before the subgroups shown", Plateau, 1,
         BaselineChoice::FirstSubgroups, false, Shown, false},
        {"means and ranges, an incomplete subgroup waiting", Bore, 5,
         BaselineChoice::FirstSubgroups, false, 100, false},
        {"means and deviations from the latest subgroups", Bore, 15,
         BaselineChoice::LatestSubgroups, false, 100, false},
        {"individuals from the latest subgroups", Bore, 1, BaselineChoice::LatestSubgroups, false,
         100, false},
        {"frozen limits", Bore, 5, BaselineChoice::FirstSubgroups, true, 100, false},
        {"a change of tolerance among the subgroups shown", Flange, 5,
         BaselineChoice::FirstSubgroups, false, 250, true},
        {"a change of tolerance among the parts left out", Flange, 5,
         BaselineChoice::FirstSubgroups, false, 100, false},
    };
    for (const Look &look : looks) {
        SCOPED_TRACE(look.proves);
        MemorySpcSource source(QStringLiteral("demo"));
        addDemoRun(source, RunParts, StartMs, Flange);
        addPlateau(source);
        AnalysisSettings settings;
        settings.subgroupSize = look.subgroupSize;
        settings.baseline = look.baseline;
        settings.rules.set(Rule::Nelson7, true).set(Rule::Nelson8, true);
        const SpcChannel channel = channelOf(source, look.channel);
        QString error;
        if (look.frozen) {
            SpcAnalysis freezing(source, channel, settings);
            ASSERT_TRUE(freezing.load(&error));
            ASSERT_TRUE(freezing.freezeLimits(QDateTime::currentDateTimeUtc(), &error));
        }
        SpcAnalysis whole(source, channel, settings);
        ASSERT_TRUE(whole.load(&error)) << error.toStdString();
        SpcAnalysis first(source, channel, settings);
        ASSERT_TRUE(first.loadPreview(look.subgroups, 0, &error)) << error.toStdString();
        ASSERT_TRUE(first.isPreview());
        EXPECT_FALSE(first.loaded());
        const std::size_t shownFrom = whole.series().subgroupCount() - look.subgroups;
        expectChartedAlike(first, whole, shownFrom);
        EXPECT_FALSE(whole.ruleCheck().violations.empty());
        EXPECT_EQ(changesFrom(whole, shownFrom).empty(), !look.changeShown);
        if (look.channel == Plateau) {
            const std::vector<Violation> early = violationsFrom(whole, shownFrom);
            ASSERT_FALSE(early.empty());
            EXPECT_LT(early.front().subgroup, shownFrom + 10);
        }
        // What the first look holds beyond that is true of the history too: no moving range
        // across the parts left out, no change of limits where they begin.
        for (std::size_t g = 0; g < first.series().subgroupCount(); ++g) {
            if (!std::isnan(first.series().spreads()[g])) {
                EXPECT_EQ(first.series().spreads()[g], whole.series().spreads()[g]) << g;
            }
        }
        for (const LimitChange &change : first.limitChanges()) {
            EXPECT_TRUE(std::any_of(whole.limitChanges().begin(), whole.limitChanges().end(),
                                    [&](const LimitChange &c) {
                                        return c.part == change.part && c.limits == change.limits;
                                    }))
                << "a change at part " << change.part;
        }

        // New parts extend both alike.
        for (int i = 0; i < 2 * look.subgroupSize + 1; ++i) {
            source.addPart(look.channel, whole.series().parts().back() + 0.004 * i,
                           StartMs + 1'000'000'000 + i, whole.newestLimits());
            Growth growth;
            ASSERT_TRUE(first.readNewParts(&growth, &error));
            ASSERT_TRUE(whole.readNewParts(&growth, &error));
        }
        expectChartedAlike(first, whole, shownFrom);
    }
}

TEST(SpcLoading, AHistoryTooShortForAFirstLookIsReadWhole) {
    MemorySpcSource source(QStringLiteral("demo"));
    addDemoRun(source, 600, StartMs, Bore); // 120 subgroups of 5
    SpcAnalysis analysis(source, channelOf(source, Bore));
    QString error;
    ASSERT_TRUE(analysis.loadPreview(100, 0, &error));
    EXPECT_FALSE(analysis.isPreview()) << "100 shown, 15 looked back on and 25 of baseline";
    EXPECT_TRUE(analysis.loaded());
    EXPECT_EQ(analysis.partCount(), 600u);
    ASSERT_TRUE(analysis.loadPreview(10, 600, &error));
    EXPECT_FALSE(analysis.isPreview()) << "as few parts as are read at once";
    ASSERT_TRUE(analysis.loadPreview(10, 599, &error));
    EXPECT_TRUE(analysis.isPreview());
}

// Catches a slice that loses or repeats the part at its edge, figures worked out before the last
// slice, and a read failure that ends the loading without the parts read so far.
TEST(SpcLoading, SlicesEndWhereOneReadEnds) {
    MemorySpcSource source(QStringLiteral("demo"));
    addDemoRun(source, 1000, StartMs, Flange);
    for (const int size : {1, 5}) {
        for (const std::size_t slice : {std::size_t{1}, std::size_t{333}, std::size_t{1000}}) {
            SCOPED_TRACE(testing::Message() << "size " << size << ", slices of " << slice);
            AnalysisSettings settings;
            settings.subgroupSize = size;
            SpcAnalysis whole(source, channelOf(source, Flange), settings);
            QString error;
            ASSERT_TRUE(whole.load(&error));
            SpcAnalysis sliced(source, channelOf(source, Flange), settings);
            sliced.startLoading();
            std::size_t slices = 0;
            while (!sliced.loaded()) {
                ASSERT_TRUE(sliced.loadSlice(slice, &error));
                ++slices;
            }
            EXPECT_EQ(slices, 1000 / slice + 1) << "the slice that comes back short ends it";
            EXPECT_EQ(sliced.partCount(), whole.partCount());
            EXPECT_EQ(sliced.partId(999), whole.partId(999));
            expectChartedAlike(sliced, whole, 0);
            EXPECT_EQ(sliced.ruleCheck().violations, whole.ruleCheck().violations);
            EXPECT_EQ(sliced.limitChangeText(), whole.limitChangeText());
            EXPECT_EQ(sliced.capability().cpk->value, whole.capability().cpk->value);
            EXPECT_EQ(sliced.capability().observedPpm, whole.capability().observedPpm);
        }
    }

    SpcAnalysis failing(source, channelOf(source, Flange));
    failing.startLoading();
    QString error;
    ASSERT_TRUE(failing.loadSlice(400, &error));
    source.failWith(QStringLiteral("disk I/O error"));
    EXPECT_FALSE(failing.loadSlice(400, &error));
    EXPECT_EQ(error, QStringLiteral("disk I/O error"));
    EXPECT_TRUE(failing.loaded());
    EXPECT_EQ(failing.partCount(), 400u);
    EXPECT_EQ(failing.limitsOrigin(), LimitsOrigin::Baseline) << "figures over what was read";
}
