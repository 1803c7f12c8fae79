#include "ViewCycle.h"
#include "CommandLine.h"
#include "FormGridDisplay.h"
#include "FormLinGage.h"
#include "FormMain.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "WaitFor.h"
#include "dlgCalibrate.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using Target = ViewStep::Target;

TEST(ViewStep, ButtonCycleDecisions) {
    const struct {
        const char *legend;
        int view, selected, groups;
        bool any;
        ViewStep expected;
    } cases[] = {
        {"channels go to probes", 2, 0, 3, true, {Target::Probes, 0}},
        {"probes go to the group after the selected one", 3, 0, 3, true, {Target::Group, 1}},
        {"probes after group 2", 3, 2, 3, true, {Target::Group, 3}},
        {"probes wrap past the last group", 3, 3, 3, true, {Target::Group, 1}},
        {"probes without groups go to channels", 3, 0, 0, false, {Target::Channels, 0}},
        {"probes with only empty groups go to channels", 3, 0, 2, false, {Target::Channels, 0}},
        {"group to the next group", 1, 1, 3, true, {Target::Group, 2}},
        {"last group to channels", 1, 3, 3, true, {Target::Channels, 0}},
        {"analog view stays", 4, 0, 3, true, {Target::Stay, 0}},
        {"no view stays", 0, 0, 3, true, {Target::Stay, 0}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(nextViewStep(viewFromNumber(c.view), c.selected, c.groups, c.any), c.expected)
            << c.legend;
}

class FormMainTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        connectStandIn(QStringLiteral("--preset demo --log ") +
                       tempPath(QStringLiteral("unit.log")));
        window = std::make_unique<FormMain>(state, line, help);
        window->Form_Load();
        window->linkScheduler().stopPolling();
    }

    void addGroup(std::initializer_list<int> channels) {
        auto g = std::make_unique<group>();
        g->SetDefaults(static_cast<int>(state.unit.Groups.size()) + 1);
        for (int n : channels)
            g->AddChannel(n);
        state.unit.Groups.push_back(std::move(g));
    }

    QString describeView() const {
        return state.view.ViewMode == View::Group
                   ? QStringLiteral("group %1").arg(state.view.SelectedGroup)
               : state.view.ViewMode == View::Channels ? QStringLiteral("channels")
               : state.view.ViewMode == View::Probes
                   ? QStringLiteral("probes")
                   : QStringLiteral("view %1").arg(viewNumber(state.view.ViewMode));
    }

    QStringList pressViewButton(int times) {
        QStringList views;
        for (int i = 0; i < times; ++i) {
            window->findChild<QPushButton *>(QStringLiteral("CommandViewToggle"))->click();
            EXPECT_EQ(state.view.PollHold, 0) << "every step's hold is lowered by its refresh";
            views << describeView();
        }
        return views;
    }

    QAction *action(const char *name) const {
        return window->findChild<QAction *>(QLatin1String(name));
    }

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    std::unique_ptr<FormMain> window;
};

TEST_F(FormMainTest, ViewButtonCyclesChannelsProbesAndEveryGroup) {
    addGroup({1, 2});
    addGroup({});
    addGroup({3});
    EXPECT_EQ(pressViewButton(6),
              (QStringList{"probes", "group 1", "group 2", "group 3", "channels", "probes"}));
    EXPECT_TRUE(action("ViewLVDTs")->isChecked());
    EXPECT_FALSE(action("ViewChannels")->isChecked());
    pressViewButton(1);
    EXPECT_TRUE(action("ViewGroups")->isChecked());
}

TEST_F(FormMainTest, ViewButtonWithoutGroupsAlternatesChannelsAndProbes) {
    EXPECT_EQ(pressViewButton(4), (QStringList{"probes", "channels", "probes", "channels"}));
    EXPECT_EQ(state.view.SelectedGroup, 0);
}

TEST_F(FormMainTest, GroupCommandWithoutGroupsSaysSo) {
    addGroup({});
    action("ViewGroups")->trigger();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("No groups exist"));
    EXPECT_FALSE(action("ViewGroups")->isChecked()) << "the check mark stays the station's";
    EXPECT_EQ(state.view.ViewMode, View::Channels);
}

TEST_F(FormMainTest, LabelsAreHiddenStackedAndFollowTheChannelsInEveryView) {
    ASSERT_EQ(window->labelChanCount(), 9);
    for (int n = 1; n <= 8; ++n) {
        const QLabel *label = window->labelChan(n);
        EXPECT_FALSE(label->isVisible());
        EXPECT_FALSE(label->isEnabled());
        EXPECT_EQ(label->objectName(), QStringLiteral("LabelChan_%1").arg(n));
        EXPECT_EQ(label->y(), window->labelChan(n - 1)->y() + window->labelChan(n - 1)->height());
    }
    addGroup({5});
    for (int view : {2, 3, 1, 0}) {
        state.view.ViewMode = viewFromNumber(view);
        state.view.SelectedGroup = 1;
        window->UpdateMainDisplay();
        for (int n = 1; n <= 8; ++n)
            window->labelChan(n)->clear();
        window->Timer1_Timer();
        EXPECT_TRUE(window->labelChanCaption(8).startsWith(QStringLiteral(" 2")))
            << "view " << view << ": " << window->labelChanCaption(8).toStdString();
    }
}

TEST_F(FormMainTest, UpdateToggleFreezesTheLabels) {
    action("UpdateToggle")->trigger();
    EXPECT_FALSE(state.view.UpdatesOn);
    EXPECT_FALSE(action("UpdateToggle")->isChecked());
    window->Timer1_Timer();
    EXPECT_TRUE(window->labelChanCaption(1).isEmpty());
    action("UpdateToggle")->trigger();
    EXPECT_TRUE(state.view.UpdatesOn);
    window->Timer1_Timer();
    EXPECT_FALSE(window->labelChanCaption(1).isEmpty());
}

TEST_F(FormMainTest, DisplaysFollowTheirMenuItemsAndCloseBoxes) {
    ASSERT_NE(window->gridDisplay(), nullptr);
    ASSERT_NE(window->barDisplay(), nullptr);
    EXPECT_TRUE(window->gridDisplay()->isVisible());
    window->gridDisplay()->close(); // the close box
    EXPECT_FALSE(window->gridChecked());
    EXPECT_FALSE(window->gridDisplay()->isVisible());
    window->findChild<QPushButton *>(QStringLiteral("CommandNumbers"))->click();
    EXPECT_TRUE(window->gridChecked());
    EXPECT_TRUE(window->gridDisplay()->isVisible());

    action("EnableBarGraphs")->trigger();
    EXPECT_FALSE(window->barsChecked());
    EXPECT_FALSE(window->barDisplay()->isVisible());
    window->findChild<QPushButton *>(QStringLiteral("CommandBarGraphs"))->click();
    EXPECT_TRUE(window->barDisplay()->isVisible());
    window->barDisplay()->close();
    EXPECT_FALSE(window->barsChecked());
}

TEST_F(FormMainTest, SetupMenuFollowsSetupsEnabledAndPicksAreHarmless) {
    state.config.SetupsEnabled = false;
    window->UpdateMainDisplay();
    EXPECT_FALSE(window->findChild<QMenu *>(QStringLiteral("setup"))->menuAction()->isEnabled());
    state.config.SetupsEnabled = true;
    window->UpdateMainDisplay();
    EXPECT_TRUE(window->findChild<QMenu *>(QStringLiteral("setup"))->menuAction()->isEnabled());
    window->GotoSetupFromView(1);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(state.view.ViewMode, View::Channels);
}

TEST_F(FormMainTest, LoadTestIsATestCommandAndStartsDisabled) {
    QAction *loadTest = action("LoadTest");
    ASSERT_NE(loadTest, nullptr);
    EXPECT_EQ(loadTest->text(), QStringLiteral("LoadTest"));
    EXPECT_FALSE(loadTest->isEnabled());
}

TEST_F(FormMainTest, ResetClearsTheUnitsMaximumAndMinimum) {
    window->findChild<QPushButton *>(QStringLiteral("CommandResetMM"))->click();
    ASSERT_TRUE(waitFor([this] { return !window->linkScheduler().sequenceUnderWay(); }));
    EXPECT_EQ(requestsOfLog(tempPath(QStringLiteral("unit.log"))).constLast(),
              QStringLiteral("~C9"));
}

} // namespace

namespace {

TEST_F(FormMainTest, ARightClickOnAProbeGaugeOpensItsCalibrationWhenSetupsAreEnabled) {
    if (!window->barsChecked())
        window->EnableBarGraphs_Click();
    const struct {
        const char *legend;
        View view;
        bool setups;
        bool opens;
    } cases[] = {
        {"channel view: the gauge is a channel's", View::Channels, true, false},
        {"probe view without setups", View::Probes, false, false},
        {"probe view with setups", View::Probes, true, true},
    };
    for (const auto &c : cases) {
        state.config.SetupsEnabled = c.setups;
        if (state.view.ViewMode != c.view)
            c.view == View::Probes ? window->ViewLVDTs_Click() : window->ViewChannels_Click();
        Q_EMIT window->barDisplay()->gaugeRightClicked(3, QPoint(40, 40));
        const dlgCalibrate *dialog = window->dialogs().calibrationDialog();
        EXPECT_EQ(dialog && dialog->isVisible(), c.opens) << c.legend;
        if (c.opens) {
            EXPECT_EQ(dialog->probe(), 3) << c.legend;
        }
    }
}

} // namespace
