#include "MasteringFixture.h"

#include <gtest/gtest.h>

namespace {

// Demo channels: 1 "Bore diameter" (masters 24.990, 25.010), 2 "Shaft diameter" (11.990),
// 3 "Mean height" (39.990, 40.010), 5 "Highest point" (-0.010).
constexpr double Noise = 2e-4;

class GroupMasteringTest : public ::testing::Test, public MasteringStation {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(startWithMastersOff(&why)) << why.toStdString();
    }

    // Selects group `chosen` as the group selection dialog does.
    void chooseGroup(int chosen) {
        window->dialogs().setGroupSelection([this, chosen] {
            state.view.SelectedGroup = static_cast<int16_t>(chosen);
            state.view.GroupSelectCancelled = chosen == 0;
            // A chosen group leaves the dialog's hold up for the caller to lower.
            if (chosen != 0)
                state.view.PollHold.holdUntilRefresh();
        });
    }
    // Presses with the poll stopped, so the log holds the press's requests alone.
    QStringList pressAlone() {
        window->linkScheduler().stopPolling();
        const qsizetype before = requests().size();
        EXPECT_TRUE(pressGroupMaster());
        const QStringList sent = requests().mid(before);
        window->linkScheduler().startPolling();
        return sent;
    }
};

TEST_F(GroupMasteringTest, TwoMasterGroupReadsEveryChannelThenWritesAndGivesTheSizes) {
    addGroup(QStringLiteral("Turned part"), {1, 2, 3, 5});
    ASSERT_TRUE(groupCommand(&FormMain::MasterGroup_Click));
    EXPECT_EQ(groupDialog().windowTitle(), QStringLiteral("Master Channels by Group"));
    EXPECT_EQ(groupInstruction(), QStringLiteral("Insert Master 1 and Press Master"));
    EXPECT_EQ(cell(1, 0), QStringLiteral(" 1 Bore diameter"));
    EXPECT_EQ(cell(2, 3), QStringLiteral("NA"));
    EXPECT_EQ(cell(3, 2), QStringLiteral(" 39.99000"));

    ASSERT_TRUE(control("part master1"));
    QStringList sent = pressAlone();
    ASSERT_EQ(sent.size(), 10) << joined(sent).toStdString();
    EXPECT_EQ(sent.mid(0, 8),
              (QStringList{"~C1 1", "~C1 2", "~C1 3", "~C1 5", "~CD 2", "~CJ 2", "~CD 5", "~CJ 5"}))
        << "every value first, then the constants of the one-master channels";
    EXPECT_TRUE(sent[8].startsWith(QStringLiteral("~CB 2 ")));
    EXPECT_TRUE(sent[9].startsWith(QStringLiteral("~CB 5 ")));
    EXPECT_EQ(groupInstruction(), QStringLiteral("Insert Master 2 and Press Master"));
    EXPECT_EQ(groupDialog().step(), 2);
    EXPECT_NEAR(read(2), 11.990, Noise);
    EXPECT_NEAR(read(5), -0.010, Noise);

    ASSERT_TRUE(control("part master2"));
    sent = pressAlone();
    ASSERT_EQ(sent.size(), 14) << joined(sent).toStdString();
    EXPECT_EQ(sent.mid(0, 10), (QStringList{"~C1 1", "~C1 3", "~CD 1", "~CJ 1", "~CE 1", "~CK 1",
                                            "~CD 3", "~CJ 3", "~CE 3", "~CK 3"}));
    EXPECT_TRUE(sent[10].startsWith(QStringLiteral("~CB 1 ")));
    EXPECT_TRUE(sent[11].startsWith(QStringLiteral("~CC 1 "))) << "zero, then scaling";
    EXPECT_TRUE(sent[12].startsWith(QStringLiteral("~CB 3 ")));
    EXPECT_TRUE(sent[13].startsWith(QStringLiteral("~CC 3 ")));
    EXPECT_EQ(groupInstruction(), QStringLiteral("Mastering Completed Successfully."));
    EXPECT_FALSE(control<QPushButton>(groupDialog(), "cmdGroupMaster")->isEnabled());
    EXPECT_TRUE(state.setup.SetupChanged);

    EXPECT_NEAR(read(1), 25.010, Noise);
    EXPECT_NEAR(read(3), 40.010, Noise);
    ASSERT_TRUE(control("part master1"));
    EXPECT_NEAR(read(1), 24.990, Noise);
    EXPECT_NEAR(read(3), 39.990, Noise);
    EXPECT_NEAR(read(2), 11.990, Noise) << "one-master channels keep their zero";
}

TEST_F(GroupMasteringTest, ZeroModeTakesOnePressForEveryChannel) {
    addGroup(QStringLiteral("Turned part"), {1, 2});
    ASSERT_TRUE(groupCommand(&FormMain::ZeroGroup_Click));
    EXPECT_EQ(groupDialog().windowTitle(), QStringLiteral("Zero Channels by Group"));
    ASSERT_TRUE(control("part master1"));
    ASSERT_TRUE(pressGroupMaster());
    EXPECT_EQ(groupInstruction(), QStringLiteral("Zero Master Completed Successfully."));
    EXPECT_FALSE(control<QPushButton>(groupDialog(), "cmdGroupMaster")->isEnabled());
    EXPECT_NEAR(read(1), 24.990, Noise);
    EXPECT_NEAR(read(2), 11.990, Noise);
}

TEST_F(GroupMasteringTest, RowsThatCannotBeMasteredAreSkippedAndSayWhy) {
    addGroup(QStringLiteral("Turned part"), {1, 4, 3});
    link.QorClearChannel(state.session.LinkHandle, 4);
    setScaling(3, 0.0f); // channel 3 then reads its zero whatever the part
    ASSERT_TRUE(groupCommand(&FormMain::MasterGroup_Click));
    EXPECT_EQ(cell(2, 0), QStringLiteral(" 4 No Formula Found"));

    ASSERT_TRUE(control("part master1"));
    ASSERT_TRUE(pressGroupMaster());
    ASSERT_TRUE(control("part master2"));
    const qsizetype before = requests().size();
    ASSERT_TRUE(pressGroupMaster());
    const QStringList sent = sentSince(before);
    EXPECT_TRUE(sent.filter(QStringLiteral(" 3 ")).filter(QRegularExpression("^~C[BC]")).isEmpty())
        << "the failed channel is not written: " << joined(sent).toStdString();
    EXPECT_TRUE(sent.filter(QRegularExpression("^~C[BCDEJK] 4")).isEmpty())
        << "the channel without formula is not touched";
    EXPECT_NEAR(read(1), 25.010, Noise) << "the sound channel is mastered";

    EXPECT_EQ(cell(2, 4), QStringLiteral("No formula"));
    const auto *grid = control<QTableWidget>(groupDialog(), "flexGroupMastering");
    EXPECT_EQ(grid->item(2, 0)->background().color(), QColor(255, 0, 0)) << "channel 3 is red";
    EXPECT_EQ(grid->item(0, 0)->background().style(), Qt::NoBrush);
    EXPECT_EQ(groupInstruction(), QStringLiteral("Insert Master 1 and Press Master Again."));
    const QString error = control<QLabel>(groupDialog(), "lblMasteringError")->text();
    EXPECT_TRUE(error.startsWith(QStringLiteral("Mastering Unsuccessful. Remaster Group.")))
        << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("no formula: channel 4"))) << error.toStdString();
    EXPECT_EQ(control<QPushButton>(groupDialog(), "cmdGroupMaster")->text(),
              QStringLiteral("Master Again"));

    // The next first press clears the red and asks for master 2 "again".
    ASSERT_TRUE(control("part master1"));
    ASSERT_TRUE(pressGroupMaster());
    EXPECT_EQ(grid->item(2, 0)->background().style(), Qt::NoBrush);
    EXPECT_EQ(groupInstruction(), QStringLiteral("Insert Master 2 and Press Master Again"));
}

TEST_F(GroupMasteringTest, AGroupThatWentWithTheSetupIsNotWritten) {
    addGroup(QStringLiteral("Shaft"), {2});
    ASSERT_TRUE(groupCommand(&FormMain::ZeroGroup_Click));
    state.unit.Groups.clear();
    const qsizetype before = requests().size();
    ASSERT_TRUE(pressGroupMaster());
    EXPECT_EQ(groupInstruction(), QStringLiteral("Invalid group selected. Please try selecting a "
                                                 "group again."));
    EXPECT_TRUE(sentSince(before).isEmpty());
    EXPECT_FALSE(control<QPushButton>(groupDialog(), "cmdGroupMaster")->isEnabled());
}

TEST_F(GroupMasteringTest, EmptyAndOversizedGroupsAreRefused) {
    addGroup(QStringLiteral("Full"), {1});
    addGroup(QStringLiteral("Empty"), {});
    group &big = addGroup(QStringLiteral("Too big"), {});
    for (int i = 0; i < 130; ++i)
        big.AddChannel(1 + i % 8);
    chooseGroup(1);
    ASSERT_TRUE(groupCommand(&FormMain::ZeroGroup_Click)) << "group 1 is fine";
    for (const int chosen : {2, 3}) {
        chooseGroup(chosen);
        prompts.shown.clear();
        window->MasterGroup_Click();
        ASSERT_EQ(prompts.shown.size(), 1u) << "group " << chosen;
        EXPECT_TRUE(prompts.shown[0].text.contains(chosen == 2 ? QStringLiteral("no channels")
                                                               : QStringLiteral("130")))
            << prompts.shown[0].text.toStdString();
        EXPECT_FALSE(groupDialog().isVisible()) << "the open procedure ended";
        EXPECT_EQ(state.live.MasteringGroup, 0);
        EXPECT_EQ(state.view.PollHold, 0);
    }
}

TEST_F(GroupMasteringTest, TheDialogIsFedFromItsOwnGroupWhateverTheViewShows) {
    addGroup(QStringLiteral("Shaft"), {1, 2});
    addGroup(QStringLiteral("Height"), {3, 5});
    chooseGroup(2);
    ASSERT_TRUE(groupCommand(&FormMain::ZeroGroup_Click));
    ASSERT_EQ(state.live.MasteringGroup, 2);

    window->ViewChannels_Click();
    ASSERT_TRUE(freshGroupValues(1));
    EXPECT_NEAR(cell(1, 1).toDouble(), 40.0, 0.05) << "row 1 is channel 3 in the channel view";

    state.view.SelectedGroup = 1;
    state.view.ViewMode = View::Group;
    window->UpdateMainDisplay();
    ASSERT_TRUE(freshGroupValues(2));
    EXPECT_NEAR(cell(1, 1).toDouble(), 40.0, 0.05) << "and while group 1 is shown";
    EXPECT_NEAR(cell(2, 1).toDouble(), 0.0, 0.05);

    ASSERT_TRUE(control("part master1"));
    ASSERT_TRUE(pressGroupMaster());
    EXPECT_NEAR(read(3), 39.990, Noise) << "the press masters the dialog's group";
    EXPECT_NEAR(read(1), 24.987, Noise) << "not the group shown";
}

TEST_F(GroupMasteringTest, AnEntryNamingNoChannelIsSkippedAndTheGroupStillCompletes) {
    addGroup(QStringLiteral("Turned part"), {1, 9, 2});
    const qsizetype before = requests().size();
    ASSERT_TRUE(groupCommand(&FormMain::MasterGroup_Click));
    EXPECT_EQ(cell(2, 0), QStringLiteral(" 9 (no such channel)"));

    ASSERT_TRUE(control("part master1"));
    ASSERT_TRUE(pressGroupMaster());
    EXPECT_EQ(groupInstruction(), QStringLiteral("Insert Master 2 and Press Master"));
    EXPECT_EQ(cell(2, 4), QStringLiteral("No channel"));
    ASSERT_TRUE(control("part master2"));
    ASSERT_TRUE(pressGroupMaster());
    EXPECT_EQ(groupInstruction(), QStringLiteral("Mastering Completed Successfully."));
    EXPECT_FALSE(control<QPushButton>(groupDialog(), "cmdGroupMaster")->isEnabled());
    EXPECT_NEAR(read(1), 25.010, Noise) << "the other rows are mastered";
    ASSERT_TRUE(control("part master1"));
    EXPECT_NEAR(read(1), 24.990, Noise);
    EXPECT_NEAR(read(2), 11.990, Noise);
    const QString error = control<QLabel>(groupDialog(), "lblMasteringError")->text();
    EXPECT_EQ(error, QStringLiteral("Not mastered, no such channel: 9.")) << error.toStdString();
    const auto *grid = control<QTableWidget>(groupDialog(), "flexGroupMastering");
    EXPECT_EQ(grid->item(1, 0)->background().style(), Qt::NoBrush) << "skipped, not failed";

    const QStringList sent = requests().mid(before);
    EXPECT_TRUE(sent.filter(QRegularExpression(QStringLiteral("^~\\S+ 9( |$)"))).isEmpty())
        << "channel 9 is never asked for: " << joined(sent).toStdString();
    EXPECT_TRUE(prompts.shown.empty()) << "no link error box";
}

TEST_F(GroupMasteringTest, LoadingSaysOfEachChannelWithoutFormulaThatItHasNone) {
    addGroup(QStringLiteral("Turned part"), {4, 1, 6, 9});
    link.QorClearChannel(state.session.LinkHandle, 4);
    link.QorClearChannel(state.session.LinkHandle, 6);
    std::vector<bool> armedWhileShown;
    prompts.whileShown = [&] {
        armedWhileShown.push_back(
            state.live.MasteringGroup != 0 ||
            control<QPushButton>(groupDialog(), "cmdGroupMaster")->isEnabled());
    };
    ASSERT_TRUE(groupCommand(&FormMain::ZeroGroup_Click));
    ASSERT_EQ(prompts.shown.size(), 2u) << "one box a channel without formula, none for 9";
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(prompts.shown[i].text,
                  QStringLiteral("No formula defined for channel %1").arg(i == 0 ? 4 : 6));
        EXPECT_EQ(prompts.shown[i].buttons, PromptButtons::Ok);
        EXPECT_EQ(prompts.shown[i].title, QStringLiteral("QorView"));
    }
    EXPECT_EQ(armedWhileShown, (std::vector<bool>{false, false})) << "shown while loading";
    EXPECT_EQ(cell(1, 0), QStringLiteral(" 4 No Formula Found"));
    EXPECT_EQ(groupInstruction(), QStringLiteral("Insert Master 1 and Press Master"));
    ASSERT_TRUE(control("part master1"));
    ASSERT_TRUE(pressGroupMaster());
    EXPECT_EQ(groupInstruction(), QStringLiteral("Zero Master Completed Successfully."));

    // Done while the first box is up: the loading ends there, nothing more is said or armed.
    prompts.shown.clear();
    prompts.whileShown = [&] {
        groupDialog().reject();
    };
    window->ZeroGroup_Click();
    EXPECT_TRUE(waitFor([&] { return !prompts.shown.empty(); }) && idle());
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(state.live.MasteringGroup, 0);
    EXPECT_FALSE(groupDialog().isVisible());
}

} // namespace
