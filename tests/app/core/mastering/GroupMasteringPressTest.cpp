#include "GroupMasteringPress.h"
#include "MasteringTexts.h"

#include <gtest/gtest.h>

using namespace procedures;

namespace {

GroupRowReads oneMaster(double reading, double zero, double master1) {
    return {true, false, reading, zero, std::nullopt, master1, std::nullopt};
}

GroupRowReads twoMasters(std::optional<double> reading) {
    return {true, true, reading, 0.0, 1.0, 10.02, 0.01};
}

struct FirstPressCase {
    const char *legend;
    GroupRowReads reads;
    MasteringMode mode;
    RowFault fault;
    bool writesZero;
};

TEST(GroupMasteringPress, FirstPressZeroesOnePressRowsAndSkipsWhatCannotBeWritten) {
    const GroupRowReads noFormula{false, false, 5.0, 0.0, std::nullopt, 5.0, std::nullopt};
    const GroupRowReads zeroUnread{true, false, 5.0, std::nullopt, std::nullopt, 5.0, std::nullopt};
    const FirstPressCase cases[] = {
        {"a one-master row is zeroed", oneMaster(5.010, 0.0, 5.0), MasteringMode::master(),
         RowFault::None, true},
        {"a two-master row waits for master 2", twoMasters(10.0), MasteringMode::master(),
         RowFault::None, false},
        {"in zero mode a two-master row is zeroed", twoMasters(10.0), MasteringMode::zero(),
         RowFault::None, true},
        {"a row without formula is skipped", noFormula, MasteringMode::zero(), RowFault::NoFormula,
         false},
        {"a failed value read is not written", twoMasters(std::nullopt), MasteringMode::zero(),
         RowFault::ReadFailed, false},
        {"a failed constant read is not written", zeroUnread, MasteringMode::zero(),
         RowFault::ReadFailed, false},
        {"a zero beyond a single is refused", oneMaster(-1e39, 0.0, 5.0), MasteringMode::zero(),
         RowFault::Refused, false},
    };
    for (const auto &c : cases) {
        const GroupRowOutcome outcome = firstPressRow(c.reads, c.mode);
        EXPECT_EQ(outcome.fault, c.fault) << c.legend;
        EXPECT_EQ(outcome.newZero.has_value(), c.writesZero) << c.legend;
        EXPECT_FALSE(outcome.newScaling) << c.legend;
        EXPECT_EQ(outcome.fault == RowFault::None, outcome.reason(3).isEmpty()) << c.legend;
    }
    EXPECT_NEAR(*firstPressRow(oneMaster(5.010, 0.0, 5.0), MasteringMode::master()).newZero, -0.010,
                1e-6);
    EXPECT_FALSE(firstPressRow(noFormula, MasteringMode::zero()).failed())
        << "a channel without formula does not fail the group";
}

TEST(GroupMasteringPress, RowsNoPressCanMasterAreSkippedNotFailed) {
    const struct {
        const char *legend;
        bool exists, hasFormula;
        std::optional<RowFault> fault;
        const char *cell;
    } cases[] = {
        {"a channel with a formula is mastered", true, true, std::nullopt, ""},
        {"one without a formula is skipped", true, false, RowFault::NoFormula, "No formula"},
        {"an entry naming no channel is skipped", false, false, RowFault::NoSuchChannel,
         "No channel"},
    };
    for (const auto &c : cases) {
        const auto skipped = skippedRow(c.exists, c.hasFormula);
        ASSERT_EQ(skipped.has_value(), c.fault.has_value()) << c.legend;
        if (!skipped)
            continue;
        EXPECT_EQ(skipped->fault, *c.fault) << c.legend;
        EXPECT_FALSE(skipped->failed()) << c.legend << ": the group still completes";
        EXPECT_EQ(skipped->cellText(), QLatin1String(c.cell)) << c.legend;
    }
}

TEST(GroupMasteringPress, SecondPressMastersTwoMasterRowsOnly) {
    const GroupRowOutcome mastered = secondPressRow(twoMasters(0.0), 10.0, MasteringMode::master());
    ASSERT_EQ(mastered.fault, RowFault::None);
    EXPECT_NEAR(*mastered.newScaling, 1.001, 1e-6);
    EXPECT_NEAR(*mastered.newZero, 0.01, 1e-6);

    EXPECT_FALSE(secondPressRow(oneMaster(5.0, 0.0, 5.0), 5.0, MasteringMode::master()).concerned);
    EXPECT_FALSE(secondPressRow(twoMasters(0.0), 10.0, MasteringMode::zero()).concerned);
    const struct {
        const char *legend;
        GroupRowReads reads;
        std::optional<double> measurement1;
        RowFault fault;
        MasteringRefusal refusal;
    } failures[] = {
        {"master 1 not measured", twoMasters(0.0), std::nullopt, RowFault::NoFirstMeasurement,
         MasteringRefusal::None},
        {"master 2 not read", twoMasters(std::nullopt), 10.0, RowFault::ReadFailed,
         MasteringRefusal::None},
        {"readings too close", twoMasters(10.00001), 10.0, RowFault::Refused,
         MasteringRefusal::SpreadTooSmall},
        {"scaling 0",
         {true, true, 0.0, 0.0, 0.0, 10.02, 0.01},
         10.0,
         RowFault::Refused,
         MasteringRefusal::ZeroScaling},
    };
    for (const auto &f : failures) {
        const GroupRowOutcome outcome =
            secondPressRow(f.reads, f.measurement1, MasteringMode::master());
        EXPECT_EQ(outcome.fault, f.fault) << f.legend;
        EXPECT_EQ(outcome.refusal, f.refusal) << f.legend;
        EXPECT_TRUE(outcome.failed()) << f.legend;
        EXPECT_FALSE(outcome.newZero || outcome.newScaling) << f.legend << ": nothing is written";
    }
}

TEST(GroupMasteringPress, TheEndOfEachPressSaysWhatComesNext) {
    const struct {
        const char *legend;
        int step;
        bool secondPress, roundFailed, failureBefore;
        QString instruction;
        bool enabled;
        int next;
    } cases[] = {
        {"first press, master 2 follows", 1, true, false, false, texts::InsertMaster2AndPress, true,
         2},
        {"first press after a failed round", 1, true, false, true,
         texts::InsertMaster2AndPressAgain, true, 2},
        {"one-press group done", 1, false, false, false, texts::ZeroMasterCompleted, false, 1},
        {"one-press group with a failed row", 1, false, true, false,
         texts::InsertMaster1AndPressAgain, true, 1},
        {"second press done", 2, true, false, false, texts::GroupMasteringCompleted, false, 1},
        {"second press with a failed row", 2, true, true, false, texts::InsertMaster1AndPressAgain,
         true, 1},
    };
    for (const auto &c : cases) {
        const GroupPressEnd end = endOfPress(c.step, c.secondPress, c.roundFailed, c.failureBefore);
        EXPECT_EQ(end.instruction, c.instruction) << c.legend;
        EXPECT_EQ(end.buttonEnabled, c.enabled) << c.legend;
        EXPECT_EQ(end.nextStep, c.next) << c.legend;
        EXPECT_EQ(end.masteringError.isEmpty(), !(c.roundFailed && c.next == 1)) << c.legend;
    }
}

} // namespace
