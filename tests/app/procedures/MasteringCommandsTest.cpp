#include "MasteringFixture.h"

#include <QAction>

#include <gtest/gtest.h>

#include <functional>

namespace {

class MasteringCommandsTest : public ::testing::Test, public MasteringStation {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(start(&why)) << why.toStdString();
        ASSERT_TRUE(idle());
    }

    void click(const char *button) {
        window->findChild<QPushButton *>(QString::fromLatin1(button))->click();
    }
    void trigger(const char *item) {
        window->findChild<QAction *>(QString::fromLatin1(item))->trigger();
    }
};

// Every way in and out of the procedures leaves the poll's hold as it found it, and a closed
// dialog asks the poll for nothing more.
TEST_F(MasteringCommandsTest, EveryCommandAndEveryCloseLeavesTheHoldBalanced) {
    addGroup(QStringLiteral("Bore"), {1, 2});
    int selections = 0;
    const struct {
        const char *legend;
        int groups; // groups in the setup
        std::function<void()> command;
        bool channelDialog;
        int selectionsAsked;
    } cases[] = {
        {"Zero > Channel", 1, [this] { trigger("ZeroChannel"); }, true, 0},
        {"Master > Channel", 1, [this] { trigger("MasterChannel"); }, true, 0},
        {"Zero button in the channel view", 1, [this] { click("CommandZero"); }, true, 0},
        {"Zero > Group with one group", 1, [this] { trigger("ZeroGroup"); }, false, 0},
        {"Master > Group with one group", 1, [this] { trigger("MasterGroup"); }, false, 0},
        {"Master > Group with several groups", 2, [this] { trigger("MasterGroup"); }, false, 1},
        {"Master button in the group view", 2, [this] { click("CommandMaster"); }, false, 1},
    };
    window->dialogs().setGroupSelection([this, &selections] {
        ++selections;
        // As the selection dialog does: a chosen group leaves its hold up for the caller.
        state.view.PollHold.holdUntilRefresh();
        state.view.SelectedGroup = 2;
        state.view.GroupSelectCancelled = false;
    });
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        if (state.unit.groupCount() < c.groups)
            addGroup(QStringLiteral("Height"), {3});
        selections = 0;
        c.command();
        ASSERT_TRUE(waitFor([&] {
            return c.channelDialog
                       ? window->dialogs().masteringDialog() && dialog().isIdle()
                       : window->dialogs().groupMasteringDialog() && groupDialog().isIdle();
        }));
        EXPECT_EQ(state.view.PollHold, 0) << "after the command";
        EXPECT_EQ(selections, c.selectionsAsked);
        EXPECT_EQ(state.view.ViewMode, c.channelDialog ? View::Channels : View::Group);
        QDialog &shown = c.channelDialog ? static_cast<QDialog &>(dialog()) : groupDialog();
        ASSERT_TRUE(shown.isVisible());
        // Another window holds the list while the procedure closes with the window's close box.
        {
            const PollHoldGuard otherWindow(state.view.PollHold);
            shown.close();
            EXPECT_FALSE(shown.isVisible());
            EXPECT_EQ(state.view.PollHold, 1) << "the other window's hold stays";
        }
        EXPECT_EQ(state.live.MasteringChannel, 0);
        EXPECT_EQ(state.live.MasteringGroup, 0);
    }
}

TEST_F(MasteringCommandsTest, GroupCommandsThatCannotGoOnChangeNothing) {
    const auto before = [this] {
        return std::pair(state.view.ViewMode, static_cast<int>(state.view.PollHold));
    };
    trigger("ZeroGroup");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("No groups exist. You must define at least "
                                                    "one group or Open an existing Setup."));
    EXPECT_EQ(before(), std::pair(View::Channels, 0));

    addGroup(QStringLiteral("Bore"), {1});
    addGroup(QStringLiteral("Height"), {3});
    window->dialogs().setGroupSelection([this] {
        state.view.SelectedGroup = 0;
        state.view.GroupSelectCancelled = true;
    });
    trigger("MasterGroup");
    EXPECT_EQ(before(), std::pair(View::Channels, 0)) << "selection cancelled";
    EXPECT_EQ(window->dialogs().groupMasteringDialog(), nullptr);

    // With one group left the command goes straight on, also after a cancelled selection.
    state.unit.Groups.pop_back();
    ASSERT_TRUE(groupCommand(&FormMain::ZeroGroup_Click));
    EXPECT_EQ(state.view.SelectedGroup, 1);
    EXPECT_EQ(groupDialog().groupNumber(), 1);
}

TEST_F(MasteringCommandsTest, AChannelCommandLeavesAGroupOrProbeViewForTheChannels) {
    addGroup(QStringLiteral("Bore"), {1});
    for (const View from : {View::Group, View::Probes}) {
        state.view.ViewMode = from;
        state.view.SelectedGroup = from == View::Group ? 1 : 0;
        window->UpdateMainDisplay();
        ASSERT_TRUE(channelCommand(&FormMain::MasterChannel_Click));
        EXPECT_EQ(state.view.ViewMode, View::Channels);
        EXPECT_EQ(state.view.SelectedGroup, 0);
        EXPECT_EQ(dialog().windowTitle(), QStringLiteral("Master Channels"));
        dialog().close();
    }
}

TEST_F(MasteringCommandsTest, EachDialogIsOpenedOnceAndRaisedAgain) {
    addGroup(QStringLiteral("Bore"), {1, 2});
    ASSERT_TRUE(channelCommand(&FormMain::ZeroChannel_Click));
    FormMastering *first = window->dialogs().masteringDialog();
    ASSERT_TRUE(channelCommand(&FormMain::MasterChannel_Click));
    EXPECT_EQ(window->dialogs().masteringDialog(), first);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Master Channels"));
    ASSERT_TRUE(groupCommand(&FormMain::ZeroGroup_Click));
    FormGroupMastering *group = window->dialogs().groupMasteringDialog();
    ASSERT_TRUE(groupCommand(&FormMain::MasterGroup_Click));
    EXPECT_EQ(window->dialogs().groupMasteringDialog(), group);
    EXPECT_EQ(group->windowTitle(), QStringLiteral("Master Channels by Group"));
    EXPECT_EQ(state.view.PollHold, 0);
}

} // namespace
