// The setup and mastering dialogs across File > New and File > Open, against the demo unit and its
// exchange log: unprogrammed edits are asked about first; once the new setup is in place every
// open dialog shows it, and what a dialog sends from then on is the new setup's, never what it
// had read of the old one; a mastering procedure begun on the old setup starts afresh and says why.
#include "FormGroupMastering.h"
#include "FormMastering.h"
#include "FormSetupChan.h"
#include "FormSetupLvdt.h"
#include "FormSetupSystem.h"
#include "SetupDialogFixture.h"
#include "SetupFileCommands.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>

namespace {

QString joined(const QStringList &requests) {
    return requests.join(QLatin1Char('|'));
}

class SetupReplacedTest : public SetupDialogFixture {
protected:
    QString unitOptions() const override { return QStringLiteral("--preset demo"); }

    // A copy of the example of 32 channels and four groups, so that no save can reach the original.
    QString example() {
        const QString copy = tempPath(QStringLiteral("32-channels.qor"));
        if (!QFile::exists(copy)) {
            EXPECT_TRUE(QFile::copy(QStringLiteral(QORVIEW_EXAMPLES_DIR "/32-channels.qor"), copy));
        }
        return copy;
    }

    // Runs a command of the File menu, its file dialog answered with `fileName`, and waits until
    // the work and every read the dialogs queued after it have ended.
    bool fileCommand(const char *command, const QString &fileName = {}) {
        if (!fileName.isEmpty())
            prompts.fileNames.push_back(fileName);
        action(command)->trigger();
        return waitFor([this] {
            return !window->setupFiles().busy() && !window->linkScheduler().sequenceUnderWay();
        });
    }
    // Runs action and waits until dialog has settled (a mastering dialog's outcome shown).
    template <typename Dialog, typename Action> bool settleAfter(Dialog *dialog, Action action) {
        QSignalSpy settled(dialog, &Dialog::settled);
        action();
        return waitFor([&] { return !settled.isEmpty(); }) && idle();
    }
    static QString text(QWidget *dialog, const char *name) {
        if (auto *box = control<QLineEdit>(dialog, name))
            return box->text();
        auto *label = control<QLabel>(dialog, name);
        return label ? label->text() : QStringLiteral("(no control %1)").arg(QLatin1String(name));
    }
    static void click(QWidget *dialog, const char *name) {
        control<QPushButton>(dialog, name)->click();
    }
};

TEST_F(SetupReplacedTest, OpenSetupDialogsShowTheOpenedSetupAndProgramItsValues) {
    window->dialogs().showChannelSetup(1, false);
    window->dialogs().showProbeSetup(1, false);
    window->dialogs().showSystemSetup();
    ASSERT_TRUE(idle());
    FormSetupChan *channel = window->dialogs().channelSetupDialog();
    FormSetupLvdt *probe = window->dialogs().probeSetupDialog();
    FormSetupSystem *system = window->dialogs().systemSetupDialog();
    ASSERT_EQ(text(channel, "TextFormula"), QStringLiteral("P1"));
    // The probe gets a name and full scale of this station's own, which the file replaces.
    type(control<QLineEdit>(probe, "TextDescription"), QStringLiteral("Left probe"));
    type(control<QLineEdit>(probe, "TextFullScale"), QStringLiteral("0.07"));
    click(probe, "CommandProgram");
    ASSERT_TRUE(idle());

    prompts.answers = {PromptAnswer::No}; // the setup changed: it is not saved
    ASSERT_TRUE(fileCommand("OpenFile", example()));
    const struct {
        QWidget *dialog;
        const char *box;
        QString shows;
    } shown[] = {
        {channel, "TextDescription", QStringLiteral("\u00d8 section A")},
        {channel, "TextFormula", QStringLiteral("P1+P2")},
        {channel, "TextDecimals", QStringLiteral("4")},
        {channel, "TextMaster1Value", QStringLiteral(" 19.9900")},
        {probe, "TextDescription", QStringLiteral("Lvdt 1")},
        {probe, "TextFullScale", QStringLiteral(" 0.0500")},
        {system, "txtChannels", QStringLiteral("32")},
        {system, "txtAnalog", QStringLiteral("2")},
        {system, "txtDecimals", QStringLiteral("4")},
    };
    for (const auto &s : shown) {
        EXPECT_EQ(text(s.dialog, s.box), s.shows) << s.box;
        EXPECT_TRUE(s.dialog->isEnabled()) << s.box;
    }

    // Program Channel without an edit sends the channel as loaded.
    qsizetype before = requests().size();
    click(channel, "CommandProgram");
    ASSERT_TRUE(idle());
    const QStringList sent = requestsSince(before);
    EXPECT_TRUE(sent.contains(QStringLiteral("~C4 1 P1+P2"))) << joined(sent).toStdString();
    EXPECT_FALSE(sent.contains(QStringLiteral("~C4 1 P1")));
    EXPECT_FALSE(sent.contains(QStringLiteral("~CM 1 Bore diameter")));
    // OK in the system setup keeps the loaded counts and the groups whole.
    click(system, "CommandOK");
    ASSERT_TRUE(idle());
    EXPECT_EQ(state.unit.Channels.size(), 32u);
    EXPECT_EQ(state.unit.MaxAnalog, 2);
    ASSERT_EQ(state.unit.groupCount(), 4);
    EXPECT_EQ(state.unit.groupAt(4)->GetChannel(1), 21);
}

TEST_F(SetupReplacedTest, NewAndOpenAskBeforeDroppingEditsNeverProgrammed) {
    const struct {
        const char *command;
        QString fileName;
        const char *question;
        const char *channel2Afterwards; // the description the unit holds then
    } commands[] = {
        {"NewFile", {}, "Start a new setup and drop them?", "Shaft diameter"},
        {"OpenFile", example(), "Open another setup and drop them?", "\u00d8 section B"},
    };
    window->dialogs().showChannelSetup(2, false);
    ASSERT_TRUE(idle());
    FormSetupChan *channel = window->dialogs().channelSetupDialog();
    QLineEdit *description = control<QLineEdit>(channel, "TextDescription");
    for (const auto &c : commands) {
        ASSERT_FALSE(state.setup.SetupChanged) << "no question about the setup comes between";
        type(description, QStringLiteral("Shaft, left end"));
        prompts.shown.clear();
        prompts.answers = {PromptAnswer::No};
        const size_t fileDialogs = prompts.fileDialogs.size();
        const qsizetype before = requests().size();
        ASSERT_TRUE(fileCommand(c.command, c.fileName));
        ASSERT_EQ(prompts.shown.size(), 1u) << c.command;
        EXPECT_EQ(prompts.shown[0].text,
                  QStringLiteral("Channel Setup holds changes that were not programmed into the "
                                 "unit.\r") +
                      QLatin1String(c.question));
        EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::YesNo);
        // No: the edit stays, no file dialog, nothing sent.
        EXPECT_EQ(description->text(), QStringLiteral("Shaft, left end")) << c.command;
        EXPECT_TRUE(channel->isEdited());
        EXPECT_EQ(prompts.fileDialogs.size(), fileDialogs);
        EXPECT_TRUE(requestsSince(before).isEmpty()) << joined(requestsSince(before)).toStdString();

        // Yes: the edit goes and the channel is shown as the new setup has it.
        prompts.answers = {PromptAnswer::Yes};
        ASSERT_TRUE(fileCommand(c.command));
        EXPECT_FALSE(channel->isEdited()) << c.command;
        EXPECT_EQ(description->text(), QString::fromUtf8(c.channel2Afterwards));
        prompts.fileNames.clear();
    }
}

TEST_F(SetupReplacedTest, GroupMasteringStartsAfreshOnTheNewSetupsGroupAndSaysWhy) {
    // A setup file whose group 1 holds channels 3 and 5.
    addGroup(QStringLiteral("Height"), {3, 5});
    const QString heights = tempPath(QStringLiteral("heights.qor"));
    ASSERT_TRUE(fileCommand("SaveAsFile", heights));
    state.unit.Groups.clear();
    addGroup(QStringLiteral("Pair"), {1, 2});

    window->MasterGroup_Click();
    FormGroupMastering *dialog = window->dialogs().groupMasteringDialog();
    ASSERT_TRUE(waitFor([&] { return dialog->isIdle(); }) && idle());
    // Master 1 is taken of channels 1 and 2; channel 1 waits for master 2.
    ASSERT_TRUE(settleAfter(dialog, [&] { click(dialog, "cmdGroupMaster"); }));
    ASSERT_EQ(dialog->step(), 2);

    prompts.answers = {PromptAnswer::No}; // the setup changed: it is not saved
    ASSERT_TRUE(fileCommand("OpenFile", heights));
    ASSERT_TRUE(waitFor([&] { return dialog->isIdle(); }) && idle());
    EXPECT_EQ(text(dialog, "LblInstruction"),
              QStringLiteral("A new setup is in place: starting again on group 1.\nInsert Master "
                             "1 and Press Master"));
    EXPECT_EQ(dialog->step(), 1);
    auto *grid = control<QTableWidget>(dialog, "flexGroupMastering");
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_TRUE(grid->item(0, 0)->text().startsWith(QStringLiteral(" 3 ")));

    // The next press is a first press on channels 3 and 5: nothing of the old rows is written.
    const qsizetype before = requests().size();
    ASSERT_TRUE(settleAfter(dialog, [&] { click(dialog, "cmdGroupMaster"); }));
    const QStringList sent = requestsSince(before);
    EXPECT_EQ(sent.mid(0, 2), (QStringList{QStringLiteral("~C1 3"), QStringLiteral("~C1 5")}))
        << joined(sent).toStdString();
    static const QRegularExpression oldRow(QStringLiteral("^~C\\w [12]( |$)"));
    EXPECT_TRUE(sent.filter(oldRow).isEmpty()) << joined(sent).toStdString();

    // A new setup has no groups: the procedure ends and says why.
    prompts.answers = {PromptAnswer::No};
    ASSERT_TRUE(fileCommand("NewFile"));
    EXPECT_EQ(text(dialog, "LblInstruction"),
              QStringLiteral("A new setup is in place. There is no group 1 to master now."));
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_FALSE(control<QPushButton>(dialog, "cmdGroupMaster")->isEnabled());
}

// The group editor changes a group at once; a press after that reads the group as it is now and
// writes nothing.
TEST_F(SetupReplacedTest, GroupMasteringStartsAfreshWhenItsGroupWasChanged) {
    group &pair = addGroup(QStringLiteral("Pair"), {1, 2});
    window->ZeroGroup_Click();
    FormGroupMastering *dialog = window->dialogs().groupMasteringDialog();
    ASSERT_TRUE(waitFor([&] { return dialog->isIdle(); }) && idle());
    pair.AddChannel(3);

    const qsizetype before = requests().size();
    ASSERT_TRUE(settleAfter(dialog, [&] { click(dialog, "cmdGroupMaster"); }));
    EXPECT_EQ(text(dialog, "LblInstruction"),
              QStringLiteral("Group 1 was changed: starting again on group 1.\nInsert Master 1 "
                             "and Press Master"));
    EXPECT_EQ(control<QTableWidget>(dialog, "flexGroupMastering")->rowCount(), 3);
    static const QRegularExpression write(QStringLiteral("^~C[BC] "));
    const QStringList sent = requestsSince(before);
    EXPECT_TRUE(sent.filter(write).isEmpty()) << joined(sent).toStdString();
    EXPECT_TRUE(sent.contains(QStringLiteral("~CF 3"))) << "the new row is read";
}

TEST_F(SetupReplacedTest, ChannelMasteringPreparesTheChannelAgainFromTheNewSetup) {
    window->linkScheduler().startPolling();
    window->MasterChannel_Click();
    FormMastering *dialog = window->dialogs().masteringDialog();
    ASSERT_TRUE(waitFor([&] { return dialog->step() == FormMastering::Step::WaitMaster1; }));
    // Channel 1 has two masters: after a reading of master 1 the dialog waits for master 2.
    const uint64_t prepared = state.live.MasteringReading.sequence;
    ASSERT_TRUE(waitFor([&] { return state.live.MasteringReading.sequence > prepared; }));
    ASSERT_TRUE(settleAfter(dialog, [&] { click(dialog, "CommandMaster"); }));
    ASSERT_EQ(dialog->step(), FormMastering::Step::WaitMaster2);

    ASSERT_FALSE(state.setup.SetupChanged) << "nothing was written yet";
    ASSERT_TRUE(fileCommand("OpenFile", example()));
    ASSERT_TRUE(waitFor([&] { return dialog->isIdle() && dialog->isEnabled(); }));
    EXPECT_EQ(dialog->step(), FormMastering::Step::WaitMaster1)
        << "the reading of master 1 is gone";
    EXPECT_EQ(dialog->channel(), 1);
    EXPECT_EQ(text(dialog, "LblInstruction"),
              QStringLiteral("A new setup is in place: starting again on channel 1. Insert "
                             "Master 1:  19.9900"));
    EXPECT_EQ(text(dialog, "TextDescription"), QStringLiteral("\u00d8 section A"));
}

} // namespace
