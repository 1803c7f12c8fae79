// The channel setup dialog in the running main window against the stand-in unit and its exchange
// log: what showing a channel reads and programming it sends, in order and as one sequence;
// nothing sent for a refused field or for a field the unit did not give; the leave question on
// every way out of a channel; the live value following the channel shown; how the dialog is opened
// from the menu and from the views; a channel set that shrinks or is empty.
#include "ChannelSetupRules.h"
#include "CommandLine.h"
#include "Existing.h"
#include "FormMain.h"
#include "FormSetupChan.h"
#include "QuietMainWindow.h"
#include "Settings.h"
#include "SetupFileCommands.h"
#include "SetupFileWriter.h"
#include "SimulatedUnit.h"
#include "StationHelp.h"
#include "UnitTexts.h"
#include "UnreadValues.h"
#include "UpDownButtons.h"
#include "WaitFor.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

QString joined(const QStringList &requests) {
    return requests.join(QLatin1Char('|'));
}

// What showing channel n reads, in order: formula, description, the two-masters flag, then the
// values as the form shows them.
QStringList showRequests(int n) {
    QStringList requests;
    for (const char *command :
         {"CF", "CN", "CL", "CJ", "CK", "CE", "CD", "CV", "CU", "CX", "CW", "CT", "CZ"})
        requests << QStringLiteral("~%1 %2").arg(QLatin1String(command)).arg(n);
    return requests;
}

// The main window over the stand-in unit (the demo's 8 channels) with setups enabled, its
// displays closed and its poll stopped unless a test starts it.
class ChannelSetupDialogTest : public ::testing::Test, public QuietMainWindow {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(openQuietly(QStringLiteral("--preset demo"), &why)) << why.toStdString();
    }

    FormSetupChan *dialog() const { return window->dialogs().channelSetupDialog(); }
    template <typename T> T *control(const char *name) const {
        return dialog()->findChild<T *>(QLatin1String(name));
    }
    QLineEdit *edit(const char *name) const { return control<QLineEdit>(name); }
    QPushButton *button(const char *name) const { return control<QPushButton>(name); }
    QCheckBox *check(const char *name) const { return control<QCheckBox>(name); }
    bool idle() {
        return waitFor([this] {
            return !window->linkScheduler().sequenceUnderWay() && dialog() && !dialog()->isBusy();
        });
    }
    // Opens the dialog at `channel` and waits until the channel is shown.
    void open(int channel, bool modal = false) {
        window->dialogs().showChannelSetup(channel, modal);
        ASSERT_TRUE(idle());
    }
    // Shows `channel` afresh, any edits dropped.
    void reshow(int channel) {
        dialog()->SetCurrentChannel(channel);
        ASSERT_TRUE(idle());
    }
    // Types `text` into a box as the operator would.
    void type(const char *box, const QString &text) {
        QLineEdit *e = edit(box);
        e->setText(text);
        Q_EMIT e->textEdited(text);
    }
    int current() const { return dialog()->GetCurrentChannel(); }
};

TEST_F(ChannelSetupDialogTest, ShowingAChannelReadsItInTheFormsOrderAndFormatsItsValues) {
    const qsizetype before = requests().size();
    open(2);
    EXPECT_EQ(requests().mid(before), showRequests(2))
        << joined(requests().mid(before)).toStdString();
    EXPECT_EQ(dialog()->windowTitle(), QStringLiteral("Channel Setup"));
    EXPECT_EQ(edit("TextCurrentChannel")->text(), QStringLiteral("2"));
    EXPECT_EQ(edit("TextDescription")->text(), QStringLiteral("Shaft diameter"));
    EXPECT_EQ(edit("TextFormula")->text(), QStringLiteral("P2"));
    EXPECT_EQ(edit("TextDecimals")->text(), QStringLiteral("5"));
    EXPECT_EQ(edit("TextMaster1Value")->text(), QStringLiteral(" 11.99000"));
    EXPECT_EQ(edit("TextZeroValue")->text(), QStringLiteral(" 12.00000"));
    EXPECT_EQ(edit("TextLoTolValue")->text(), QStringLiteral(" 11.99700"));
    // Channel 2 has one master: the second box is off.
    EXPECT_FALSE(check("CheckUse2Masters")->isChecked());
    EXPECT_FALSE(edit("TextMaster2Value")->isEnabled());
    EXPECT_TRUE(edit("TextChannelValue")->text().isEmpty());
    EXPECT_FALSE(dialog()->isEdited());
    EXPECT_TRUE(prompts.shown.empty());

    button("CommandResetMM")->click();
    ASSERT_TRUE(idle());
    EXPECT_EQ(requests().constLast(), QStringLiteral("~C9"));
}

TEST_F(ChannelSetupDialogTest, ControlsCarryTheirCaptionsTipsAndTabOrder) {
    open(1);
    const struct {
        const char *name;
        const char *caption; // a label's for a box
        const char *tip;
    } controls[] = {
        {"TextCurrentChannel", "&Channel", ""},
        {"UpDownChannel", "", ""},
        {"TextDescription", "&Description", "Description of channel"},
        {"TextFormula", "&Formula", "Enter Channel Formula"},
        {"TextDecimals", "D&ecimals", ""},
        {"UpDownDecimals", "", ""},
        {"TextMaster1Value", "Master &1", ""},
        {"TextMaster2Value", "Master &2", ""},
        {"CheckUse2Masters", "Use &Two Masters", ""},
        {"TextScalingValue", "&Scaling", ""},
        {"TextZeroValue", "&Zero", ""},
        {"TextHiTolValue", "&Hi Tol", ""},
        {"TextHiAppValue", "H&i approach", ""},
        {"TextLoAppValue", "L&o approach", ""},
        {"TextLoTolValue", "&LoTol", ""},
        {"TextBarTopValue", "Bar &Top", ""},
        {"TextBarBotValue", "Bar &Bot", ""},
        {"TextChannelValue", "", "Current value of channel"},
        {"CheckShowCurrentValue", "Show Current &Value", ""},
        {"CommandResetMM", "&Reset MAX/MIN", ""},
        {"CommandPrev", "P&rev", "Go to next lower channel"},
        {"CommandNext", "Ne&xt", "Go to next higher channel"},
        {"CommandProgram", "&Program Channel", "Transfer settings to QOR-128"},
        {"CheckAutoIncChannel", "Increment after Program Channel", ""},
        {"CommandDone", "Do&ne", "Close this dialog box"},
    };
    QWidget *previous = nullptr;
    for (const auto &c : controls) {
        auto *control = dialog()->findChild<QWidget *>(QLatin1String(c.name));
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(control->toolTip(), QString::fromLatin1(c.tip)) << c.name;
        EXPECT_EQ(captionOf(dialog(), control), QString::fromLatin1(c.caption)) << c.name;
        if (previous) {
            // The next control in the tab order that takes the focus.
            QWidget *next = previous->nextInFocusChain();
            while (next != control && next->focusPolicy() == Qt::NoFocus)
                next = next->nextInFocusChain();
            EXPECT_EQ(next, control)
                << c.name << " follows " << previous->objectName().toStdString();
        }
        previous = control;
    }
}

TEST_F(ChannelSetupDialogTest, ProgramSendsEveryFieldInItsOrderWithNoOtherRequestBetween) {
    const struct {
        const char *legend;
        int channel;
        QString formula;
        QStringList expected; // after the description
    } cases[] = {
        {"a formula and a second master switched on",
         2,
         QStringLiteral("P1+P2"),
         {"~C4 2 P1+P2", "~CG 2 1.500000", "~CH 2 2.500000", "~CI 2 1"}},
        {"an empty formula clears the channel; the second master is sent although it is off",
         1,
         QString(),
         {"~C6 1", "~CG 1 1.500000", "~CH 1 2.500000", "~CI 1 0"}},
    };
    window->linkScheduler().startPolling();
    for (const auto &c : cases) {
        open(c.channel);
        type("TextDescription", QStringLiteral("Bore"));
        type("TextFormula", c.formula);
        type("TextDecimals", QStringLiteral("3"));
        // Demo channel 2 has one master, channel 1 two: the click switches each the other way.
        check("CheckUse2Masters")->click();
        const std::pair<const char *, const char *> typed[] = {
            {"TextMaster1Value", "1.5"}, {"TextMaster2Value", "2.5"}, {"TextHiTolValue", "0.5"},
            {"TextHiAppValue", "0.25"},  {"TextLoAppValue", "-0.25"}, {"TextLoTolValue", "-0.5"},
            {"TextBarTopValue", "1"},    {"TextBarBotValue", "-1"},   {"TextScalingValue", "2"},
            {"TextZeroValue", "0.125"}};
        for (const auto &[box, text] : typed)
            type(box, QString::fromLatin1(text));
        state.setup.SetupChanged = false;

        const qsizetype before = requests().size();
        button("CommandProgram")->click();
        EXPECT_FALSE(button("CommandProgram")->isEnabled()) << c.legend << ": busy while it runs";
        EXPECT_FALSE(button("CommandDone")->isEnabled()) << c.legend;
        ASSERT_TRUE(idle()) << c.legend;

        const QString n = QString::number(c.channel);
        QStringList expected{QStringLiteral("~CM %1 Bore").arg(n)};
        expected << c.expected;
        for (const char *rest :
             {"~CQ %1 0.500000", "~CP %1 0.250000", "~CS %1 -0.250000", "~CR %1 -0.500000",
              "~CO %1 1.000000", "~CY %1 -1.000000", "~CC %1 2.000000", "~CB %1 0.125000"})
            expected << QString::fromLatin1(rest).arg(n);
        const QStringList sent = requests().mid(before);
        const qsizetype at = sent.indexOf(expected.front());
        ASSERT_GE(at, 0) << c.legend << ": " << joined(sent).toStdString();
        EXPECT_EQ(sent.mid(at, expected.size()), expected)
            << c.legend << ": " << joined(sent).toStdString();
        EXPECT_TRUE(state.setup.SetupChanged) << c.legend;
        EXPECT_TRUE(existing(state.unit.channel(c.channel)).InUse) << c.legend;
        EXPECT_EQ(existing(state.unit.channel(c.channel)).Decimals, 3) << c.legend;
        EXPECT_FALSE(dialog()->isEdited()) << c.legend;
        EXPECT_TRUE(prompts.shown.empty()) << c.legend;
    }
    window->linkScheduler().stopPolling();
}

TEST_F(ChannelSetupDialogTest, ARefusedFieldIsSelectedAndNamedAndNothingIsSent) {
    const struct {
        const char *box;
        QString typed;
        const char *says;
    } cases[] = {
        {"TextDescription", QString(MaxUnitTextLength + 1, QLatin1Char('d')), "at most 246"},
        {"TextFormula", QStringLiteral("P1~C5"), "\"~\""},
        {"TextDecimals", QStringLiteral("6"), "Decimals must be a whole number from 0 to 5"},
        {"TextMaster1Value", QStringLiteral("abc"), "Master 1 must be a number"},
        {"TextBarBotValue", QString(), "Bar Bot must be a number"},
        {"TextLoTolValue", QStringLiteral("1E39"), "LoTol must be a number"},
    };
    open(3);
    for (const auto &c : cases) {
        reshow(3);
        prompts.shown.clear();
        // An earlier field is fine; the refused one is named, whatever follows it.
        type("TextHiTolValue", QStringLiteral("0.5"));
        type(c.box, c.typed);
        const qsizetype before = requests().size();
        button("CommandProgram")->click();
        ASSERT_TRUE(idle()) << c.box;
        EXPECT_EQ(requests().size(), before) << c.box << ": nothing may be sent";
        ASSERT_EQ(prompts.shown.size(), 1u) << c.box;
        EXPECT_TRUE(prompts.shown[0].text.contains(QLatin1String(c.says)))
            << c.box << ": " << prompts.shown[0].text.toStdString();
        EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::Ok) << c.box;
        EXPECT_EQ(edit(c.box)->selectedText(), edit(c.box)->text()) << c.box;
        EXPECT_TRUE(dialog()->isEdited()) << c.box << ": the edits stay";
        EXPECT_FALSE(existing(state.unit.channel(3)).InUse) << c.box;
    }
}

// A field the unit did not give is unknown: Program, and Yes at the leave question, refuse it
// and offer to read the channel again; nothing is written until it has been read.
TEST_F(ChannelSetupDialogTest, AFieldThatCouldNotBeReadIsNeverWrittenBack) {
    const struct {
        const char *legend;
        const char *fail; // makes exactly that read of the channel fail
        const char *field;
        bool leaving; // Yes at the leave question instead of Program
    } cases[] = {
        {"the formula (empty, it would clear the channel)", "fail CF 1", "Formula", false},
        {"the description", "fail CN 1", "Description", false},
        {"the two-masters flag", "fail CL 1", "Use Two Masters", false},
        {"the zero", "fail CD 1", "Zero", false},
        {"the bar bottom, Yes on leaving", "fail CZ 1", "Bar Bot", true},
    };
    open(1);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        prompts.answers.clear();
        ASSERT_TRUE(unitControl(c.fail));
        reshow(3);
        // Another field is edited: the edit stays through the refusal and the read again.
        type("TextHiTolValue", QStringLiteral("0.5"));

        prompts.shown.clear();
        const qsizetype before = requests().size();
        if (c.leaving) {
            prompts.answers = {PromptAnswer::Yes, PromptAnswer::No};
            button("CommandNext")->click();
        } else {
            prompts.answers = {PromptAnswer::No};
            button("CommandProgram")->click();
        }
        ASSERT_TRUE(idle());
        EXPECT_TRUE(requests().mid(before).isEmpty())
            << joined(requests().mid(before)).toStdString();
        EXPECT_EQ(current(), 3);
        EXPECT_TRUE(dialog()->isEdited());
        ASSERT_FALSE(prompts.shown.empty());
        EXPECT_EQ(
            prompts.shown.back().text,
            setupforms::readAgainQuestion(QLatin1String(c.field), QStringLiteral("channel 3")));
        EXPECT_EQ(prompts.shown.back().buttons, PromptButtons::YesNo);
        EXPECT_FALSE(existing(state.unit.channel(3)).InUse);

        // Yes reads the channel again; then Program sends what the unit holds, and the edit.
        prompts.answers = {PromptAnswer::Yes};
        qsizetype at = requests().size();
        button("CommandProgram")->click();
        ASSERT_TRUE(idle());
        EXPECT_EQ(requests().mid(at), showRequests(3));
        EXPECT_EQ(edit("TextHiTolValue")->text(), QStringLiteral("0.5"));
        EXPECT_EQ(edit("TextDescription")->text(), QStringLiteral("Mean height"));
        at = requests().size();
        button("CommandProgram")->click();
        ASSERT_TRUE(idle());
        const QStringList sent = requests().mid(at);
        EXPECT_EQ(sent.value(0), QStringLiteral("~CM 3 Mean height")) << joined(sent).toStdString();
        EXPECT_TRUE(sent.value(1).startsWith(QStringLiteral("~C4 3 ")))
            << joined(sent).toStdString();
        EXPECT_TRUE(sent.contains(QStringLiteral("~CQ 3 0.500000"))) << joined(sent).toStdString();
        EXPECT_TRUE(existing(state.unit.channel(3)).InUse);
        existing(state.unit.channel(3)).InUse = false;
    }
}

TEST_F(ChannelSetupDialogTest, EveryWayOutOfAChannelAsksAboutEditsAndFollowsTheAnswer) {
    enum class Move { Next, Previous, SpinnerUp, Typed };
    const struct {
        Move move;
        const char *legend;
        int from;
        int target;
    } moves[] = {
        {Move::Next, "Next", 1, 2},
        {Move::Previous, "Prev from 1 wraps to the last channel", 1, 8},
        {Move::SpinnerUp, "spinner up", 1, 2},
        {Move::Typed, "channel 5 typed", 1, 5},
        {Move::Next, "Next from the last channel wraps to the first", 8, 1},
        {Move::SpinnerUp, "spinner up from the last channel wraps to the first", 8, 1},
        {Move::Previous, "Prev", 8, 7},
    };
    const struct {
        const char *legend;
        bool edited;
        PromptAnswer answer;
        bool moves;
        bool programs;
    } answers[] = {
        {"no edits: no question", false, PromptAnswer::Cancel, true, false},
        {"Yes: programmed, then moved", true, PromptAnswer::Yes, true, true},
        {"No: edits dropped, moved", true, PromptAnswer::No, true, false},
        {"Cancel: stays with its edits", true, PromptAnswer::Cancel, false, false},
    };
    open(1);
    for (const auto &m : moves) {
        for (const auto &a : answers) {
            const std::string legend = std::string(m.legend) + ", " + a.legend;
            reshow(m.from);
            const QString title = edit("TextDescription")->text();
            prompts.shown.clear();
            prompts.answers = {a.answer};
            if (a.edited)
                type("TextDescription", QStringLiteral("Edited"));
            const qsizetype before = requests().size();
            switch (m.move) {
            case Move::Next:
                button("CommandNext")->click();
                break;
            case Move::Previous:
                button("CommandPrev")->click();
                break;
            case Move::SpinnerUp:
                Q_EMIT control<UpDownButtons>("UpDownChannel")->up();
                break;
            case Move::Typed:
                edit("TextCurrentChannel")->setText(QStringLiteral("5"));
                Q_EMIT edit("TextCurrentChannel")->editingFinished();
                break;
            }
            ASSERT_TRUE(idle()) << legend;
            EXPECT_EQ(current(), a.moves ? m.target : m.from) << legend;
            EXPECT_EQ(edit("TextCurrentChannel")->text(), QString::number(current())) << legend;
            ASSERT_EQ(prompts.shown.size(), a.edited ? 1u : 0u) << legend;
            if (a.edited) {
                const auto &box = prompts.shown[0];
                EXPECT_EQ(box.text, setupforms::leavePromptText(m.from)) << legend;
                EXPECT_EQ(box.title, title) << legend;
                EXPECT_EQ(box.buttons, PromptButtons::YesNoCancel) << legend;
                EXPECT_EQ(box.icon, PromptIcon::Question) << legend;
            }
            EXPECT_EQ(requests().mid(before).contains(QStringLiteral("~CM %1 Edited").arg(m.from)),
                      a.programs)
                << legend;
            if (!a.moves) {
                EXPECT_EQ(edit("TextDescription")->text(), QStringLiteral("Edited")) << legend;
                EXPECT_TRUE(dialog()->isEdited()) << legend;
            } else {
                EXPECT_FALSE(dialog()->isEdited()) << legend;
            }
        }
    }
}

TEST_F(ChannelSetupDialogTest, ClosingRunsTheLeaveCheckAndStopsTheLiveValue) {
    open(4);
    check("CheckShowCurrentValue")->click();
    ASSERT_EQ(state.live.ChannelSetupLiveChannel, 4);

    // Typing into the decimals box is an edit like any other.
    type("TextDecimals", QStringLiteral("2"));
    prompts.answers = {PromptAnswer::Cancel};
    button("CommandDone")->click();
    EXPECT_TRUE(dialog()->isVisible());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, setupforms::leavePromptText(4));
    EXPECT_EQ(state.live.ChannelSetupLiveChannel, 4);

    // The window's close box asks the same; Yes programs, then closes.
    prompts.answers = {PromptAnswer::Yes};
    const qsizetype before = requests().size();
    dialog()->close();
    ASSERT_TRUE(waitFor([this] { return !dialog()->isVisible(); }));
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_TRUE(requests().mid(before).contains(QStringLiteral("~CB 4 0.000000")))
        << joined(requests().mid(before)).toStdString();
    EXPECT_EQ(existing(state.unit.channel(4)).Decimals, 2);
    EXPECT_EQ(state.live.ChannelSetupLiveChannel, 0);

    // Without edits it closes at once; Escape is the close box.
    open(4);
    EXPECT_EQ(state.live.ChannelSetupLiveChannel, 4) << "the ticked box is kept for the run";
    dialog()->reject();
    EXPECT_FALSE(dialog()->isVisible());
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(state.live.ChannelSetupLiveChannel, 0);
}

// Exiting the station while the dialog holds edits asks first: No keeps the station and the
// edits, Yes drops them.
TEST_F(ChannelSetupDialogTest, ExitAsksBeforeDroppingEditsThatWereNotProgrammed) {
    open(2);
    type("TextDescription", QStringLiteral("Shaft, left end"));
    prompts.answers = {PromptAnswer::No};
    window->close();
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Channel Setup holds changes that were not programmed into the "
                             "unit.\rExit and drop them?"));
    EXPECT_EQ(edit("TextDescription")->text(), QStringLiteral("Shaft, left end"));

    prompts.answers = {PromptAnswer::Yes};
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompts.shown.size(), 2u);
}

TEST_F(ChannelSetupDialogTest, TheLiveValueFollowsTheChannelShownAlsoAfterIncrement) {
    window->linkScheduler().startPolling();
    open(2);
    check("CheckShowCurrentValue")->click();
    EXPECT_EQ(state.live.ChannelSetupLiveChannel, 2);
    ASSERT_TRUE(waitFor([this] { return !edit("TextChannelValue")->text().isEmpty(); }));

    check("CheckAutoIncChannel")->click();
    button("CommandProgram")->click();
    ASSERT_TRUE(waitFor([this] { return current() == 3 && !dialog()->isBusy(); }));
    EXPECT_EQ(state.live.ChannelSetupLiveChannel, 3);
    EXPECT_EQ(edit("TextDescription")->text(), QStringLiteral("Mean height"));
    ASSERT_TRUE(waitFor([this] { return !edit("TextChannelValue")->text().isEmpty(); }));

    button("CommandNext")->click();
    ASSERT_TRUE(idle());
    EXPECT_EQ(state.live.ChannelSetupLiveChannel, 4);
    check("CheckShowCurrentValue")->click();
    EXPECT_EQ(state.live.ChannelSetupLiveChannel, 0);
    EXPECT_TRUE(edit("TextChannelValue")->text().isEmpty());
    window->linkScheduler().stopPolling();
    EXPECT_TRUE(check("CheckAutoIncChannel")->isChecked());
}

TEST_F(ChannelSetupDialogTest, TheMenuOpensItModelessAViewPickModalAndAnOpenDialogIsReused) {
    QAction *menu = window->findChild<QAction *>(QStringLiteral("SetupChannels"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->text(), QStringLiteral("&Channels"));
    menu->trigger();
    ASSERT_TRUE(idle());
    FormSetupChan *first = dialog();
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowModality(), Qt::NonModal);
    EXPECT_EQ(current(), 1);

    // A pick in the channel view moves the open dialog; it stays as it was opened.
    state.view.ViewMode = View::Channels;
    window->GotoSetupFromView(6);
    ASSERT_TRUE(idle());
    EXPECT_EQ(dialog(), first);
    EXPECT_EQ(current(), 6);
    EXPECT_EQ(first->windowModality(), Qt::NonModal);
    // Edits of the open dialog are not lost to a pick: it asks first.
    type("TextDescription", QStringLiteral("Edited"));
    prompts.answers = {PromptAnswer::Cancel};
    window->GotoSetupFromView(2);
    ASSERT_TRUE(idle());
    EXPECT_EQ(current(), 6);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, setupforms::leavePromptText(6));
    prompts.answers = {PromptAnswer::No};
    first->close();
    ASSERT_FALSE(first->isVisible());

    // Closed, a pick opens it modal at the row's channel; in a group view the group's channel.
    state.unit.Groups.clear();
    auto group = std::make_unique<::group>();
    group->SetDefaults(1);
    group->AddChannel(7);
    group->AddChannel(3);
    group->AddChannel(12); // beyond the set: nothing to open
    state.unit.Groups.push_back(std::move(group));
    state.view.SelectedGroup = 1;
    state.view.ViewMode = View::Group;
    window->GotoSetupFromView(3);
    EXPECT_FALSE(first->isVisible());
    window->GotoSetupFromView(2);
    ASSERT_TRUE(idle());
    EXPECT_EQ(dialog(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(current(), 3);

    // The menu while it is open brings the same dialog forward on its channel.
    menu->trigger();
    ASSERT_TRUE(idle());
    EXPECT_EQ(dialog(), first);
    EXPECT_EQ(current(), 3);
    first->close();

    // Reopened from the menu: modeless again, back at the channel last shown.
    menu->trigger();
    ASSERT_TRUE(idle());
    EXPECT_EQ(first->windowModality(), Qt::NonModal);
    EXPECT_EQ(current(), 3);
}

TEST_F(ChannelSetupDialogTest, AShrinkingSetMovesTheDialogAndAnEmptySetDisablesIt) {
    open(7);
    type("TextDescription", QStringLiteral("dropped with the channel"));
    setupfile::SetupDocument fewer;
    fewer.station.channelCount = 5;
    const QString path = tempPath(QStringLiteral("five.qor"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(setupfile::writeSetup(fewer));
    }
    prompts.fileNames.push_back(path);
    window->findChild<QAction *>(QStringLiteral("OpenFile"))->trigger();
    ASSERT_TRUE(waitFor([this] { return !window->setupFiles().busy(); }));
    ASSERT_TRUE(idle());
    EXPECT_EQ(current(), 5);
    EXPECT_EQ(edit("TextCurrentChannel")->text(), QStringLiteral("5"));
    EXPECT_FALSE(dialog()->isEdited());
    // The edit was dropped by the operator's leave, not by the set.
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.endsWith(QStringLiteral("Open another setup and drop them?")))
        << prompts.shown[0].text.toStdString();
    dialog()->close();

    // No channels at all: the dialog opens with its reason, sends nothing and only closes.
    state.unit.Channels.clear();
    const qsizetype before = requests().size();
    window->dialogs().showChannelSetup(0, false);
    EXPECT_TRUE(dialog()->isVisible());
    EXPECT_EQ(current(), 0);
    EXPECT_FALSE(control<QLabel>("LabelStatus")->text().isEmpty());
    for (const char *name : {"CommandProgram", "CommandNext", "CommandPrev", "CommandResetMM"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    EXPECT_FALSE(edit("TextDescription")->isEnabled());
    EXPECT_TRUE(button("CommandDone")->isEnabled());
    Q_EMIT control<UpDownButtons>("UpDownChannel")->up();
    dialog()->SetCurrentChannel(3);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(requests().size(), before);
    button("CommandDone")->click();
    EXPECT_FALSE(dialog()->isVisible());
}

TEST_F(ChannelSetupDialogTest, LineBreaksPastedIntoATextBecomeBlanks) {
    open(1);
    QGuiApplication::clipboard()->setText(QStringLiteral("Left\r\nbore"));
    for (const char *box : {"TextDescription", "TextFormula"}) {
        reshow(1);
        edit(box)->selectAll();
        edit(box)->paste();
        EXPECT_EQ(edit(box)->text(), QStringLiteral("Left  bore")) << box;
        EXPECT_TRUE(dialog()->isEdited()) << box;
    }
}

} // namespace
