#include "RecordGate.h"
#include "RecordingSamples.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using measurelog::LogState;
using measurelog::LogStatus;

namespace recording {
namespace {

// The situation at the moment of Record: a view of three channels read in tick 10, changed by
// each row.
struct Situation {
    RecordingView view = limitedView(3);
    std::optional<TickReadings> latest = uniformReadings(view, 10, 0.0);
    bool held = false;
    LogStatus log;
};

struct GateCase {
    const char *legend;
    std::function<void(Situation &)> change;
    GateState state;
    const char *reason;
};

TEST(RecordGate, RecordIsPossibleOnlyWithFreshReadingsOfAKnownViewAndAWritableLog) {
    const GateCase cases[] = {
        {"fresh readings of a known view", [](Situation &) {}, GateState::Open, ""},
        {"a reading the last tick could not renew is still fresh",
         [](Situation &s) { s.latest->channels[1].tick = 9; }, GateState::Open, ""},
        {"no view with channels (the probe view)",
         [](Situation &s) {
             s.view.channels.clear();
             s.latest->channels.clear();
         },
         GateState::NoChannels, "no view with channels is shown"},
        {"a group whose every entry names a missing channel",
         [](Situation &s) {
             for (ChannelSetup &c : s.view.channels)
                 c.state = SetupState::Missing;
         },
         GateState::NoChannels, "no view with channels is shown"},
        {"the poll held", [](Situation &s) { s.held = true; }, GateState::Held,
         "the readings are on hold"},
        {"a set-up still being read",
         [](Situation &s) { s.view.channels[2].state = SetupState::Pending; },
         GateState::SetupPending, "the set-up of channel 3 is still being read"},
        {"no readings yet", [](Situation &s) { s.latest.reset(); }, GateState::NoReadings,
         "waiting for the first readings of the view"},
        {"readings of the view before",
         [](Situation &s) { s.latest = uniformReadings(limitedView(2), 10, 0.0); },
         GateState::NoReadings, "waiting for the first readings of the view"},
        {"a failed read", [](Situation &s) { s.latest->channels[0].value.reset(); },
         GateState::ReadingMissing, "channel 1 has no reading"},
        {"a reading that is no number",
         [](Situation &s) {
             s.latest->channels[1].value = std::numeric_limits<double>::infinity();
         },
         GateState::ReadingMissing, "channel 2 has no reading"},
        {"a channel never read", [](Situation &s) { s.latest->channels[2].tick = 0; },
         GateState::ReadingMissing, "channel 3 has no reading"},
        {"a reading two ticks old", [](Situation &s) { s.latest->channels[2].tick = 8; },
         GateState::ReadingStale, "the reading of channel 3 is older than one tick"},
        {"a missing channel's reading does not matter",
         [](Situation &s) {
             s.view.channels[1].state = SetupState::Missing;
             s.latest->channels[1] = {2, std::nullopt, 0};
         },
         GateState::Open, ""},
        {"a log that only fails now and then does not close the gate",
         [](Situation &s) {
             s.log = {LogState::DiskFull, QStringLiteral("full")};
         },
         GateState::Open, ""},
        {"a read-only log gives its own words",
         [](Situation &s) {
             s.log = {LogState::ReadOnly, QStringLiteral("The log is read-only.")};
             s.held = true;
         },
         GateState::LogRefuses, "The log is read-only."},
    };
    for (const auto &c : cases) {
        Situation s;
        c.change(s);
        const GateAnswer answer =
            recordGate({s.view, s.latest ? &*s.latest : nullptr, s.held, s.log});
        EXPECT_EQ(answer.state, c.state) << c.legend;
        EXPECT_EQ(answer.reason, QString::fromUtf8(c.reason)) << c.legend;
        EXPECT_EQ(answer.isOpen(), c.state == GateState::Open) << c.legend;
    }
}

} // namespace
} // namespace recording
