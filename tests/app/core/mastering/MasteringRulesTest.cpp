#include "FreshReading.h"
#include "GroupMasteringRules.h"
#include "MasteringMode.h"

#include <gtest/gtest.h>

using namespace procedures;

namespace {

TEST(MasteringMode, CaptionsSayWhichProcedureRuns) {
    const MasteringMode zero = MasteringMode::zero();
    const MasteringMode master = MasteringMode::master();
    EXPECT_EQ(zero.channelDialogCaption(2), QStringLiteral("Zero Channels"));
    EXPECT_EQ(master.channelDialogCaption(1), QStringLiteral("Master Channels by Group"));
    EXPECT_EQ(master.groupDialogCaption(), QStringLiteral("Master Channels by Group"));
    EXPECT_EQ(zero.cannotCaption(), QStringLiteral("Cannot Zero"));
    EXPECT_EQ(zero.completedText(), QStringLiteral("Zero completed."));
    EXPECT_EQ(master.completedText(), QStringLiteral("Master completed."));
}

TEST(MasteringMode, ADialogKeepsTheModeItWasShownWith) {
    int16_t zeroModeFlag = -1;
    const MasteringMode shownWith = MasteringMode::fromZeroModeFlag(zeroModeFlag);
    zeroModeFlag = 0; // Master chosen while the dialog is open
    EXPECT_TRUE(shownWith.isZero());
    EXPECT_EQ(MasteringMode::fromZeroModeFlag(zeroModeFlag), MasteringMode::master());
    EXPECT_EQ(MasteringMode::fromZeroModeFlag(1), MasteringMode::zero()) << "any non-zero is true";
    EXPECT_EQ(MasteringMode::zero().zeroModeFlag(), -1);
}

TEST(MasteringMode, OnlyTwoMasterChannelsInMasterModeTakeASecondReading) {
    EXPECT_TRUE(MasteringMode::master().takesSecondMaster(true));
    EXPECT_FALSE(MasteringMode::master().takesSecondMaster(false));
    EXPECT_FALSE(MasteringMode::zero().takesSecondMaster(true));
    EXPECT_FALSE(MasteringMode::master().groupTakesSecondPress(false))
        << "a group without two-master channels is mastered in one press";
}

struct GateCase {
    const char *legend;
    StoredReading latest;
    bool accepted;
};

TEST(FreshReadingGate, OnlyAReadingOfThePreparedChannelTakenAfterPreparingIsUsed) {
    // Channel 3 prepared when the poll cycle had stored reading 40.
    const GateCase cases[] = {
        {"the next reading of the channel", {3, 41, 5.01, true}, true},
        {"the reading stored before preparing", {3, 40, 5.01, true}, false},
        {"an older reading", {3, 12, 5.01, true}, false},
        {"a newer reading of the previous channel", {2, 41, 7.5, true}, false},
        {"a read that failed", {3, 41, 0.0, false}, false},
        {"nothing stored yet", {}, false},
    };
    for (const auto &c : cases) {
        FreshReadingGate gate;
        gate.prepare(3, 40);
        const ReadingForPress taken = gate.take(c.latest);
        EXPECT_EQ(taken.value.has_value(), c.accepted) << c.legend;
        EXPECT_EQ(taken.refusal.isEmpty(), c.accepted) << c.legend;
    }
}

TEST(FreshReadingGate, EachPressNeedsAReadingOfItsOwn) {
    FreshReadingGate gate;
    gate.prepare(3, 40);
    EXPECT_EQ(gate.take({3, 41, 10.0, true}).value, 10.0);
    const ReadingForPress again = gate.take({3, 41, 10.0, true});
    EXPECT_FALSE(again.value) << "master 2 cannot reuse master 1's reading";
    EXPECT_EQ(again.refusal, QStringLiteral("No reading of channel 3 is available yet. Press "
                                            "again once its live value has been read."));
    EXPECT_EQ(gate.take({3, 42, 0.0, true}).value, 0.0);
    gate.disarm();
    EXPECT_FALSE(gate.take({3, 43, 0.0, true}).value) << "a closed dialog takes nothing";
}

TEST(GroupMasteringRules, EmptyAndOversizedGroupsAreRefused) {
    EXPECT_TRUE(whyGroupCannotBeMastered(0));
    EXPECT_FALSE(whyGroupCannotBeMastered(1));
    EXPECT_FALSE(whyGroupCannotBeMastered(129));
    EXPECT_TRUE(whyGroupCannotBeMastered(130));
}

} // namespace
