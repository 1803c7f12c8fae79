#include "AutoRecord.h"
#include "RecordingSamples.h"

#include <gtest/gtest.h>

#include <string>

namespace recording {
namespace {

// The rule: 3 still ticks within 10 % of the 0.020 tolerance span (0.002), the span widened by
// 50 % (0.010) on each side: a channel holds a part from nominal - 0.020 to nominal + 0.020.
const AutoRecordRule Rule{3, 10, 50};

// One tick of a script: each channel's offset from its nominal ('-' for a failed read), and
// whether the part is recorded at that tick.
struct Tick {
    std::vector<std::optional<double>> offsets;
    bool records;
};

struct ScriptCase {
    const char *legend;
    RecordingView view;
    std::vector<Tick> ticks;
};

constexpr double Rest = -0.040; // a probe at rest in an empty fixture
const std::optional<double> Failed;

RecordingView withoutLimitsAt(int index, int count) {
    RecordingView view = limitedView(count);
    view.channels[static_cast<size_t>(index)] = unlimitedChannel(index + 1);
    return view;
}

TEST(AutoRecord, RecordsEachPartOnceWhenItHoldsStillAndArmsAgainWhenItIsTakenOut) {
    const ScriptCase cases[] = {
        {"part in, still for three ticks: recorded once, not again while it stays",
         limitedView(2),
         {{{Rest, Rest}, false},
          {{0.001, 0.002}, false},
          {{0.0012, 0.0021}, false},
          {{0.0011, 0.0019}, true},
          {{0.0011, 0.0019}, false},
          {{0.0013, 0.002}, false}}},
        {"out and in again: the next part is recorded",
         limitedView(2),
         {{{0.0, 0.0}, false},
          {{0.0, 0.0}, false},
          {{0.0, 0.0}, true},
          {{Rest, 0.0}, false},
          {{0.003, 0.0}, false},
          {{0.003, 0.0}, false},
          {{0.003, 0.0}, true}}},
        {"still only once every channel is in: the second is placed late",
         limitedView(2),
         {{{0.0, Rest}, false},
          {{0.0, Rest}, false},
          {{0.0, Rest}, false},
          {{0.0, 0.001}, false},
          {{0.0, 0.001}, false},
          {{0.0, 0.001}, true}}},
        {"a reject close to its limits is in: recorded",
         limitedView(1),
         {{{0.015}, false}, {{0.015}, false}, {{0.015}, true}}},
        {"past the widened span is out: never recorded",
         limitedView(1),
         {{{0.021}, false}, {{0.021}, false}, {{0.021}, false}, {{0.021}, false}}},
        {"noisy: moving more than the threshold is not still",
         limitedView(1),
         {{{0.0}, false},
          {{0.003}, false},
          {{0.0}, false},
          {{0.003}, false},
          {{0.0}, false},
          {{0.0025}, false},
          {{0.0028}, false},
          {{0.0027}, true}}},
        {"settling: still once the first moving ticks fall out of the last N",
         limitedView(1),
         {{{0.009}, false}, {{0.004}, false}, {{0.001}, false}, {{0.0}, false}, {{0.0}, true}}},
        {"a channel without limits neither holds nor blocks a part",
         withoutLimitsAt(1, 2),
         {{{0.0, 50.0}, false}, {{0.0, -50.0}, false}, {{0.0, 7.0}, true}}},
        {"a failed read is no sign the part left: not recorded twice",
         limitedView(2),
         {{{0.0, 0.0}, false},
          {{0.0, 0.0}, false},
          {{0.0, 0.0}, true},
          {{0.0, Failed}, false},
          {{0.0, 0.0}, false},
          {{0.0, 0.0}, false},
          {{0.0, 0.0}, false}}},
        {"a failed read starts the still ticks over",
         limitedView(1),
         {{{0.0}, false},
          {{0.0}, false},
          {{Failed}, false},
          {{0.0}, false},
          {{0.0}, false},
          {{0.0}, true}}},
        {"a runout (TIR) channel holding the empty fixture's extremes waits for their reset",
         limitedView(2),
         {{{0.0, 0.001}, false},
          {{0.0, 0.001}, false},
          {{0.0, 0.001}, true},
          {{Rest, 0.041}, false},
          {{0.002, 0.041}, false},
          {{0.002, 0.041}, false},
          {{0.002, 0.041}, false},
          {{0.002, 0.0011}, false},
          {{0.002, 0.0011}, false},
          {{0.002, 0.0011}, true}}},
    };
    for (const auto &c : cases) {
        AutoRecord rule(Rule);
        qint64 tick = 0;
        for (const Tick &t : c.ticks) {
            ++tick;
            EXPECT_EQ(rule.takeTick(c.view, readingsAt(c.view, tick, t.offsets)), t.records)
                << c.legend << ", tick " << tick;
        }
    }
}

TEST(AutoRecord, AViewWithoutLimitsIsNeverRecordedByItself) {
    const RecordingView view{QStringLiteral("Probes"), {unlimitedChannel(1), unlimitedChannel(2)}};
    AutoRecord rule(Rule);
    for (qint64 tick = 1; tick <= 10; ++tick)
        EXPECT_FALSE(rule.takeTick(view, uniformReadings(view, tick, 0.0))) << tick;
    EXPECT_FALSE(AutoRecord::canRecord(view));
    EXPECT_TRUE(AutoRecord::canRecord(limitedView(1)));
}

TEST(AutoRecord, ARecordByHandOrAnInterruptionIsTakenIntoAccount) {
    const RecordingView view = limitedView(1);
    AutoRecord byHand(Rule);
    byHand.noteRecorded(); // F9 while the part sat in the fixture
    for (qint64 tick = 1; tick <= 5; ++tick)
        EXPECT_FALSE(byHand.takeTick(view, uniformReadings(view, tick, 0.0))) << tick;
    EXPECT_FALSE(byHand.takeTick(view, uniformReadings(view, 6, Rest)));
    EXPECT_TRUE(byHand.isArmed()) << "taken out";

    AutoRecord interrupted(Rule);
    EXPECT_FALSE(interrupted.takeTick(view, uniformReadings(view, 1, 0.0)));
    EXPECT_FALSE(interrupted.takeTick(view, uniformReadings(view, 2, 0.0)));
    interrupted.interrupt(); // a tick whose readings were not fresh
    EXPECT_FALSE(interrupted.takeTick(view, uniformReadings(view, 4, 0.0)));
    EXPECT_FALSE(interrupted.takeTick(view, uniformReadings(view, 5, 0.0)));
    EXPECT_TRUE(interrupted.takeTick(view, uniformReadings(view, 6, 0.0)));
}

TEST(AutoRecord, AReadingNotRenewedIsNotASecondStillTick) {
    const RecordingView view = limitedView(1);
    AutoRecord rule(Rule);
    TickReadings readings = uniformReadings(view, 1, 0.0);
    EXPECT_FALSE(rule.takeTick(view, readings));
    readings.tick = 2; // the channel's reading is still the one of tick 1
    EXPECT_FALSE(rule.takeTick(view, readings));
    EXPECT_FALSE(rule.takeTick(view, uniformReadings(view, 3, 0.0)));
    EXPECT_TRUE(rule.takeTick(view, uniformReadings(view, 4, 0.0)));
}

} // namespace
} // namespace recording
