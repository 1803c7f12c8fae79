// The system settings dialog in the running main window against the stand-in unit: the controls'
// texts, the order in which OK applies the settings, nothing sent for a refused field, a channel
// count below 1, the group repair question, a count the unit does not take, and the list's hold
// on every way through the dialog.
#include "Existing.h"
#include "FormSetupLvdt.h"
#include "FormSetupSystem.h"
#include "SetupDialogFixture.h"

#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

using namespace setupforms;

namespace {

const QString GroupQuestion = QStringLiteral(
    "Some groups use channels that you are removing\rThese channels will be removed from group");

class SystemSetupDialogTest : public SetupDialogFixture {
protected:
    FormSetupSystem *open() {
        window->dialogs().showSystemSetup();
        FormSetupSystem *dialog = window->dialogs().systemSetupDialog();
        EXPECT_TRUE(waitFor([dialog] { return !dialog->isBusy(); }));
        return dialog;
    }
    QLineEdit *box(const char *name) const {
        return control<QLineEdit>(window->dialogs().systemSetupDialog(), name);
    }
    // Presses OK and waits for the apply to end; true when it applied everything.
    bool pressOK() {
        FormSetupSystem *dialog = window->dialogs().systemSetupDialog();
        QSignalSpy ended(dialog, &FormSetupSystem::applyEnded);
        control<QPushButton>(dialog, "CommandOK")->click();
        EXPECT_TRUE(waitFor([&] { return ended.size() == 1; }));
        EXPECT_TRUE(idle());
        return !ended.isEmpty() && ended.front().front().toBool();
    }
    std::vector<int> entriesOf(int g) const {
        std::vector<int> entries;
        for (int p = 1; p <= existing(state.unit.groupAt(g)).Count; ++p)
            entries.push_back(existing(state.unit.groupAt(g)).GetChannel(p));
        return entries;
    }
};

TEST_F(SystemSetupDialogTest, OpeningShowsTheStationAndTheUnitAndHoldsTheList) {
    const qsizetype before = requests().size();
    FormSetupSystem *dialog = open();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("System Setup"));
    EXPECT_EQ(requestsSince(before), (QStringList{"~Y6", "~Y4", "~Y8", "~YA"}));
    EXPECT_EQ(state.view.PollHold, 1);
    EXPECT_EQ(box("txtChannels")->text(), QStringLiteral("8"));
    EXPECT_EQ(box("txtLVDT")->text(), QStringLiteral("8"));
    EXPECT_EQ(box("txtAnalog")->text(), QStringLiteral("1"));
    EXPECT_EQ(box("txtScanPeriod")->text(), QStringLiteral("5")) << "50 tenths";
    EXPECT_EQ(box("TextLvdtFSV")->text(), QStringLiteral("0.05"));
    EXPECT_FALSE(box("TextQorFirmware")->text().isEmpty());
    auto *tabs = control<QTabWidget>(dialog, "SSTab1");
    ASSERT_EQ(tabs->count(), 5);
    EXPECT_EQ(tabs->tabText(4), QStringLiteral("Startup Options"));
}

TEST_F(SystemSetupDialogTest, OKAppliesInOrderResendingTheChannelCountAfterTheProbeCount) {
    open();
    box("txtChannels")->setText(QStringLiteral("12"));
    box("txtLVDT")->setText(QStringLiteral("6"));
    box("txtAnalog")->setText(QStringLiteral("3"));
    box("txtBurstAvg")->setText(QStringLiteral("10"));
    box("txtRunningAvg")->setText(QStringLiteral("4"));
    box("txtScanPeriod")->setText(QStringLiteral("0.25"));
    box("txtDecimals")->setText(QStringLiteral("3"));
    box("TextLvdtFSV")->setText(QStringLiteral("0.1"));
    const qsizetype before = requests().size();
    ASSERT_TRUE(pressOK());

    EXPECT_EQ(requestsSince(before), (QStringList{"~YE 12", "~YE 6", "~YE 12", "~C7", "~C7", "~C7",
                                                  "~C7", "~Y7 10", "~Y9 4", "~Y3 2"}));
    EXPECT_EQ(state.unit.Channels.size(), 12u);
    EXPECT_EQ(state.unit.Lvdts.size(), 6u);
    EXPECT_EQ(state.unit.Analogs.size(), 3u);
    EXPECT_EQ(state.unit.MaxAnalog, 3);
    EXPECT_EQ(state.unit.SystemDecimals, 3);
    EXPECT_EQ(state.unit.LvdtFullScale, 0.1f);
    EXPECT_EQ(window->labelChanCount(), 13);
    EXPECT_FALSE(window->dialogs().systemSetupDialog()->isVisible());
    EXPECT_EQ(state.view.PollHold, 0);
    EXPECT_TRUE(state.setup.SetupChanged);
    EXPECT_EQ(settings.text(SettingKeys::TypeOfView), QStringLiteral("2"));
}

TEST_F(SystemSetupDialogTest, ARefusedFieldSendsNothingAndNamesItsRange) {
    const struct {
        const char *legend;
        const char *box;
        const char *typed;
        int tab;
        const char *problem;
    } cases[] = {
        {"channels that are no number", "txtChannels", "none", 0,
         "Channels must be a number from 1 to 128."},
        {"too many probes", "txtLVDT", "200", 0, "Probes must be a number from 1 to 128."},
        {"a scan period that is no number", "txtScanPeriod", "fast", 1,
         "Scan Period must be a number of milliseconds from 0.1 to 3276.7."},
        {"too many decimals", "txtDecimals", "9", 2,
         "Default decimal places must be a number from 0 to 5."},
    };
    for (const auto &c : cases) {
        FormSetupSystem *dialog = open();
        box(c.box)->setText(QLatin1String(c.typed));
        prompts.shown.clear();
        const qsizetype before = requests().size();
        EXPECT_FALSE(pressOK()) << c.legend;
        EXPECT_TRUE(requestsSince(before).isEmpty()) << c.legend;
        ASSERT_EQ(prompts.shown.size(), 1u) << c.legend;
        EXPECT_EQ(prompts.shown.front().text, QLatin1String(c.problem)) << c.legend;
        EXPECT_TRUE(dialog->isVisible()) << c.legend;
        EXPECT_EQ(control<QTabWidget>(dialog, "SSTab1")->currentIndex(), c.tab) << c.legend;
        EXPECT_EQ(box(c.box)->selectedText(), QLatin1String(c.typed)) << c.legend;
        EXPECT_EQ(state.unit.Channels.size(), 8u) << c.legend;
        dialog->close();
    }
    EXPECT_EQ(state.view.PollHold, 0);
}

TEST_F(SystemSetupDialogTest, ControlsCarryTheirDocumentedCaptionsOnTheirTabs) {
    FormSetupSystem *dialog = open();
    auto *tabs = control<QTabWidget>(dialog, "SSTab1");
    const QStringList tabCaptions{"Max Settings", "Averaging", "Defaults", "Device",
                                  "Startup Options"};
    ASSERT_EQ(tabs->count(), tabCaptions.size());
    for (int tab = 0; tab < tabs->count(); ++tab)
        EXPECT_EQ(tabs->tabText(tab), tabCaptions[tab]);
    const struct {
        int tab;
        const char *name;
        const char *caption; // a label's for a box
    } controls[] = {
        {0, "txtChannels", "Channels"},
        {0, "txtLVDT", "Probes"},
        {0, "txtAnalog", "Analogs"},
        {1, "txtRunningAvg", "Running Average"},
        {1, "txtBurstAvg", "Burst Average"},
        {1, "txtScanPeriod", "Scan Period (milliseconds)"},
        {2, "txtDecimals", "Default decimal places"},
        {2, "TextLvdtFSV", "Default LVDT Full Scale"},
        {3, "TextQorFirmware", "Firmware version"},
        {4, "ChkBars", "Bars displayed on startup"},
        {4, "ChkNums", "Numeric displays on startup"},
        {4, "GroupButton", "Group View"},
        {4, "ChanButton", "Channel View"},
        {4, "LVDTButton", "LVDT View"},
        {4, "ChkCommSetup", "Run communications setup wizard every time program starts."},
        {4, "ChkDisableSetup",
         "Disable Setup menus - Can only be reset through the command line once set."},
        {-1, "CommandOK", "OK"},
    };
    for (const auto &c : controls) {
        auto *widget = control<QWidget>(dialog, c.name);
        ASSERT_NE(widget, nullptr) << c.name;
        EXPECT_EQ(captionOf(dialog, widget), QLatin1String(c.caption)) << c.name;
        EXPECT_TRUE(widget->toolTip().isEmpty()) << c.name << ": the dialog has no tips";
        if (c.tab >= 0) {
            EXPECT_TRUE(tabs->widget(c.tab)->isAncestorOf(widget)) << c.name;
        }
    }
    auto *frame = control<QGroupBox>(dialog, "FrameTypeOfView");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), QStringLiteral("Type of View for numeric displays and bar graphs"));
    for (const char *option : {"GroupButton", "ChanButton", "LVDTButton"})
        EXPECT_TRUE(frame->isAncestorOf(control<QWidget>(dialog, option))) << option;
    dialog->close();
}

// Fewer than one channel is no setup: OK says so, shows 1 and applies 1, after the group question
// when a group holds a channel above 1.
TEST_F(SystemSetupDialogTest, AChannelCountBelowOneBecomesOneAfterSayingSo) {
    addGroup(QStringLiteral("Wide"), {1, 3});
    for (const char *typed : {"0", "-5"}) {
        SCOPED_TRACE(typed);
        const bool groupQuestion = state.unit.Channels.size() > 1;
        open();
        box("txtChannels")->setText(QLatin1String(typed));
        prompts.shown.clear();
        const qsizetype before = requests().size();
        ASSERT_TRUE(pressOK());
        ASSERT_EQ(prompts.shown.size(), groupQuestion ? 2u : 1u);
        EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Channels must be at least 1"));
        EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::Ok);
        if (groupQuestion) {
            EXPECT_EQ(prompts.shown[1].text, GroupQuestion);
        }
        EXPECT_EQ(box("txtChannels")->text(), QStringLiteral("1"));
        EXPECT_EQ(requestsSince(before).value(0), QStringLiteral("~YE 1"));
        EXPECT_EQ(state.unit.Channels.size(), 1u);
        EXPECT_EQ(entriesOf(1), std::vector<int>{1});
    }
}

TEST_F(SystemSetupDialogTest, RemovingChannelsThatGroupsUseAsksFirst) {
    addGroup(QStringLiteral("Mixed"), {4, 7, 6});
    for (PromptAnswer answer : {PromptAnswer::Cancel, PromptAnswer::Ok}) {
        SCOPED_TRACE(answer == PromptAnswer::Ok ? "OK" : "Cancel");
        FormSetupSystem *dialog = open();
        box("txtChannels")->setText(QStringLiteral("6"));
        prompts.shown.clear();
        prompts.answers = {answer};
        const qsizetype before = requests().size();
        EXPECT_EQ(pressOK(), answer == PromptAnswer::Ok);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown.front().text, GroupQuestion);
        EXPECT_EQ(prompts.shown.front().buttons, PromptButtons::OkCancel);
        EXPECT_EQ(prompts.shown.front().icon, PromptIcon::Question);
        if (answer == PromptAnswer::Cancel) {
            EXPECT_TRUE(requestsSince(before).isEmpty());
            EXPECT_EQ(entriesOf(1), (std::vector<int>{4, 7, 6}));
            EXPECT_TRUE(dialog->isVisible());
            dialog->close();
        } else {
            EXPECT_EQ(requestsSince(before).value(0), QStringLiteral("~YE 6"));
            EXPECT_EQ(entriesOf(1), (std::vector<int>{4, 6}));
            EXPECT_EQ(state.unit.Channels.size(), 6u);
        }
    }
    EXPECT_EQ(state.view.PollHold, 0);
}

TEST_F(SystemSetupDialogTest, ShrinkingTheProbesMovesTheProbeDialogDown) {
    window->dialogs().showProbeSetup(7, false);
    ASSERT_TRUE(idle());
    open();
    box("txtLVDT")->setText(QStringLiteral("5"));
    ASSERT_TRUE(pressOK());
    EXPECT_EQ(window->dialogs().probeSetupDialog()->GetCurrentLvdt(), 5);
}

// A unit with 16 channels: the counts the station allows but this unit does not take.
class SmallUnitTest : public SystemSetupDialogTest {
protected:
    QString unitOptions() const override {
        return QStringLiteral("--preset empty --channels-max 16");
    }
};

TEST_F(SmallUnitTest, ACountTheUnitRefusesLeavesTheSetupAsItWas) {
    addGroup(QStringLiteral("Wide"), {2, 6});
    existing(state.unit.lvdt(8)).Description = QStringLiteral("Kept probe");
    existing(state.unit.channel(6)).Units = QStringLiteral("mm");
    const Channel *sixth = state.unit.channel(6);
    FormSetupSystem *dialog = open();
    box("txtChannels")->setText(QStringLiteral("4"));
    box("txtLVDT")->setText(QStringLiteral("20"));
    box("txtDecimals")->setText(QStringLiteral("2"));
    prompts.shown.clear();
    prompts.answers = {PromptAnswer::Ok}; // to the group question
    const qsizetype before = requests().size();
    EXPECT_FALSE(pressOK());

    EXPECT_EQ(requestsSince(before), (QStringList{"~YE 4", "~YE 20", "~YE 4", "~YE 8", "~YE 8"}))
        << "the refused count, then the counts the unit had";
    EXPECT_EQ(state.unit.Channels.size(), 8u);
    EXPECT_EQ(state.unit.channel(6), sixth) << "the channel removed comes back as it was";
    EXPECT_EQ(state.unit.channel(6)->Units, QStringLiteral("mm"));
    EXPECT_EQ(state.unit.Lvdts.size(), 8u);
    EXPECT_EQ(state.unit.lvdt(8)->Description, QStringLiteral("Kept probe"));
    EXPECT_EQ(state.unit.UnitSystem->MaxChannel(), 8);
    EXPECT_EQ(state.unit.UnitSystem->MaxLvdt(), 8);
    EXPECT_EQ(entriesOf(1), (std::vector<int>{2, 6}));
    EXPECT_EQ(state.unit.SystemDecimals, 5);
    EXPECT_EQ(window->labelChanCount(), 9);
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().text, systemApplyFailureText(SystemApplyResult::CountsRestored));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(box("txtChannels")->text(), QStringLiteral("8"));
    dialog->close();
    EXPECT_EQ(state.view.PollHold, 0);
}

TEST_F(SystemSetupDialogTest, TheHoldIsReleasedOnEveryWayOut) {
    const struct {
        const char *legend;
        std::function<void(FormSetupSystem *)> path;
    } cases[] = {
        {"close box",
         [](FormSetupSystem *d) {
             d->close();
         }},
        {"Escape",
         [](FormSetupSystem *d) {
             d->reject();
         }},
        {"OK",
         [this](FormSetupSystem *) {
             EXPECT_TRUE(pressOK());
         }},
        {"refused field, then close box",
         [this](FormSetupSystem *d) {
             box("txtAnalog")->setText(QStringLiteral("-1"));
             EXPECT_FALSE(pressOK());
             d->close();
         }},
        {"opened twice, then OK",
         [this](FormSetupSystem *) {
             window->dialogs().showSystemSetup();
             EXPECT_TRUE(pressOK());
         }},
    };
    for (const auto &c : cases) {
        FormSetupSystem *dialog = open();
        ASSERT_EQ(state.view.PollHold, 1) << c.legend;
        c.path(dialog);
        ASSERT_TRUE(idle());
        EXPECT_FALSE(dialog->isVisible()) << c.legend;
        EXPECT_EQ(state.view.PollHold, 0) << c.legend;
    }
}

} // namespace

namespace {

// A refresh of the main display ends only a hold a command handed over to it: the dialog's own
// hold stays until the dialog goes, whatever the operator does in the main window meanwhile.
TEST_F(SystemSetupDialogTest, RefreshesWhileTheDialogIsOpenLeaveItsHoldOnTheList) {
    const struct {
        const char *legend;
        std::function<void()> command;
    } commands[] = {
        {"View > Channels",
         [this] {
             window->ViewChannels_Click();
         }},
        {"View > Probes",
         [this] {
             window->ViewLVDTs_Click();
         }},
        {"a refresh of the main display",
         [this] {
             window->UpdateMainDisplay();
         }},
    };
    FormSetupSystem *dialog = open();
    for (const auto &c : commands) {
        c.command();
        EXPECT_EQ(state.view.PollHold, 1) << c.legend;
    }
    dialog->close();
    ASSERT_TRUE(idle());
    EXPECT_EQ(state.view.PollHold, 0);
}

} // namespace
