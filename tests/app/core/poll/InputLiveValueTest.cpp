// The live value of the probe and analog setup dialogs: the poll reads the input whose number
// stands in the dialog's box, and never an input the setup does not have, whatever is typed.
#include "PollCycle.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"

#include <gtest/gtest.h>

namespace {

// The dialogs' boxes hold whatever a test types; each follows the input in its box.
struct TypedBoxes {
    explicit TypedBoxes(LiveValues &live) {
        probe = live.follow(
            TickPlace::ProbeSetup, [this] { return LiveObject::probe(probeBox); },
            [this](const LiveReading &) { ++probeValues; });
        analog = live.follow(
            TickPlace::AnalogSetup, [this] { return LiveObject::analogInput(analogBox); },
            [this](const LiveReading &) { ++analogValues; });
    }

    int probeBox = 0;
    int analogBox = 0;
    int probeValues = 0;
    int analogValues = 0;
    LiveSubscription probe;
    LiveSubscription analog;
};

class InputLiveValueTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        QString why;
        // 8 probes and 2 analog inputs; no list, so the ticks hold the dialogs' reads alone.
        ASSERT_TRUE(connectStandIn(QStringLiteral("--preset empty --log ") + logFile(), &why))
            << why.toStdString();
        state.view.ViewMode = View::None;
        state.live.LvdtSetupLiveInput = 1;
        state.live.AnalogSetupLiveInput = 1;
        state.unit.Analogs.push_back(std::make_unique<analog>(state.session));
        state.unit.Analogs.back()->SetDefaultName(2);
        state.unit.MaxAnalog = 2;
    }
    QString logFile() const { return tempPath(QStringLiteral("unit.log")); }
    QStringList requestsOfTick() {
        const qsizetype before = requestsOfLog(logFile()).size();
        poll.tick();
        return requestsOfLog(logFile()).mid(before);
    }

    PollCycle poll{state.session, state.unit, state.view};
    TypedBoxes boxes{poll};
};

TEST_F(InputLiveValueTest, OnlyAnInputOfTheSetIsRead) {
    ASSERT_EQ(state.unit.Lvdts.size(), 8u);
    ASSERT_EQ(state.unit.Analogs.size(), 2u);
    const struct {
        const char *legend;
        int probeBox;
        int analogBox;
        QStringList expected;
    } cases[] = {
        // In the unit's line protocol every analog request is the same line.
        {"both boxes in the set", 3, 2, {"~P1 3", "~C7"}},
        {"the last probe, the first analog input", 8, 1, {"~P1 8", "~C7"}},
        {"0 in both boxes (not a number, or typed 0)", 0, 0, {}},
        {"past the sets", 9, 3, {}},
        {"negative numbers", -1, -2, {}},
    };
    for (const auto &c : cases) {
        boxes.probeBox = c.probeBox;
        boxes.analogBox = c.analogBox;
        boxes.probeValues = boxes.analogValues = 0;
        EXPECT_EQ(requestsOfTick(), c.expected) << c.legend;
        EXPECT_EQ(boxes.probeValues + boxes.analogValues, c.expected.size()) << c.legend;
    }
}

TEST_F(InputLiveValueTest, AnEmptySetIsNeverRead) {
    state.unit.Lvdts.clear();
    state.unit.Analogs.clear();
    boxes.probeBox = 1;
    boxes.analogBox = 1;
    EXPECT_EQ(requestsOfTick(), QStringList());
}

} // namespace
