// The probe and analog setup dialogs in the running main window against the stand-in unit: what
// they read and send, the leave question on every way out of an input, wrap-around and ends,
// auto increment, refused fields, values the unit did not give, the live value, the empty set and
// the controls' texts.
#include "Existing.h"
#include "FormSetupAnalog.h"
#include "FormSetupLvdt.h"
#include "InputMoves.h"
#include "SetupDialogFixture.h"
#include "UnitTexts.h"
#include "UnreadValues.h"
#include "UpDownArrows.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

using namespace setupforms;

namespace {

class InputSetupDialogTest : public SetupDialogFixture {
protected:
    void SetUp() override {
        SetupDialogFixture::SetUp();
        // Four analog inputs; the unit answers every analog request the same way.
        for (int k = 2; k <= 4; ++k) {
            state.unit.Analogs.push_back(std::make_unique<analog>(state.session));
            state.unit.Analogs.back()->SetDefaultName(k);
        }
        state.unit.MaxAnalog = 4;
    }

    InputSetupDialog *open(InputKind kind, int input) {
        if (kind == InputKind::Probe)
            window->dialogs().showProbeSetup(input, false);
        else
            window->dialogs().showAnalogSetup(input, false);
        EXPECT_TRUE(idle());
        return kind == InputKind::Probe
                   ? static_cast<InputSetupDialog *>(window->dialogs().probeSetupDialog())
                   : window->dialogs().analogSetupDialog();
    }
    static QLineEdit *currentBox(InputSetupDialog *dialog) {
        return dialog->findChild<QLineEdit *>(dialog->objectName() == "FormSetupLvdt"
                                                  ? QStringLiteral("TextCurrentLvdt")
                                                  : QStringLiteral("TextCurrentAnalog"));
    }
    void moveOn(InputSetupDialog *dialog, InputMove move, int typed) {
        auto *arrows = dialog->findChild<UpDownArrows *>();
        switch (move) {
        case InputMove::Up:
            arrows->upButton()->click();
            break;
        case InputMove::Down:
            arrows->downButton()->click();
            break;
        case InputMove::Typed:
            currentBox(dialog)->setText(QString::number(typed));
            Q_EMIT currentBox(dialog)->returnPressed();
            break;
        }
        ASSERT_TRUE(idle());
    }
    QString &descriptionOf(InputKind kind, int input) const {
        return kind == InputKind::Probe ? state.unit.lvdt(input)->Description
                                        : state.unit.analogInput(input)->Description;
    }
    // The leave question about `input` was asked, titled with its description.
    bool asked(InputKind kind, int input, const QString &description) const {
        for (const auto &box : prompts.shown)
            if (box.text == leaveQuestion(kind, input))
                return box.buttons == PromptButtons::YesNoCancel &&
                       box.icon == PromptIcon::Question && box.title == description;
        return false;
    }
};

TEST_F(InputSetupDialogTest, ShowingReadsZeroThenFullScaleWithTheDefaultDecimals) {
    state.unit.SystemDecimals = 0;
    const qsizetype before = requests().size();
    action("SetupLVDTs")->trigger();
    ASSERT_TRUE(idle());
    FormSetupLvdt *dialog = window->dialogs().probeSetupDialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Probe Setup"));
    EXPECT_EQ(requestsSince(before), (QStringList{"~PD 1", "~PE 1"}));
    const QString fullScale = control<QLineEdit>(dialog, "TextFullScale")->text();
    EXPECT_TRUE(fullScale.endsWith(u'.'))
        << "0 decimals keep the point: " << fullScale.toStdString();

    const qsizetype analogBefore = requests().size();
    action("SetupAnalog")->trigger();
    ASSERT_TRUE(idle());
    FormSetupAnalog *analogDialog = window->dialogs().analogSetupDialog();
    ASSERT_TRUE(analogDialog && analogDialog->isVisible());
    EXPECT_EQ(requestsSince(analogBefore), (QStringList{"~C7", "~C7"}));
    EXPECT_EQ(control<QLineEdit>(analogDialog, "TextFullScale")->text(), QStringLiteral(" 1.00000"))
        << "analog values always with 5 decimals";
}

TEST_F(InputSetupDialogTest, LeavingAnInputAsksOnlyAboutEditsAndMovesByTheDialogsRule) {
    const struct {
        const char *legend;
        InputKind kind;
        int start;
        InputMove move;
        int typed;
        const char *edit; // the box typed into; nullptr: nothing edited
        PromptAnswer answer;
        int shownAfter;
        bool asked;
        bool programmed;
    } cases[] = {
        {"probe: up on the last wraps to the first", InputKind::Probe, 8, InputMove::Up, 0, nullptr,
         PromptAnswer::Ok, 1, false, false},
        {"probe: down on the first wraps to the last", InputKind::Probe, 1, InputMove::Down, 0,
         nullptr, PromptAnswer::Ok, 8, false, false},
        {"probe: a typed number is shown", InputKind::Probe, 3, InputMove::Typed, 5, nullptr,
         PromptAnswer::Ok, 5, false, false},
        {"probe: edited, up, Yes programs then moves", InputKind::Probe, 8, InputMove::Up, 0,
         "TextDescription", PromptAnswer::Yes, 1, true, true},
        {"probe: edited, down, No drops the edits", InputKind::Probe, 1, InputMove::Down, 0,
         "TextDescription", PromptAnswer::No, 8, true, false},
        {"probe: edited, typed, Cancel stays", InputKind::Probe, 3, InputMove::Typed, 6,
         "TextDescription", PromptAnswer::Cancel, 3, true, false},
        {"probe: the zero alone counts as an edit", InputKind::Probe, 2, InputMove::Up, 0,
         "TextZeroOffset", PromptAnswer::Yes, 3, true, true},
        {"analog: up on the last stays", InputKind::Analog, 4, InputMove::Up, 0, nullptr,
         PromptAnswer::Ok, 4, false, false},
        {"analog: down on the first stays, edits or not", InputKind::Analog, 1, InputMove::Down, 0,
         "TextDescription", PromptAnswer::Cancel, 1, false, false},
        {"analog: edited, up, Yes programs then moves", InputKind::Analog, 2, InputMove::Up, 0,
         "TextDescription", PromptAnswer::Yes, 3, true, true},
        {"analog: edited, down, No drops the edits", InputKind::Analog, 2, InputMove::Down, 0,
         "TextFullScale", PromptAnswer::No, 1, true, false},
        {"analog: edited, typed, Cancel stays", InputKind::Analog, 2, InputMove::Typed, 4,
         "TextDescription", PromptAnswer::Cancel, 2, true, false},
        {"analog: a typed number past the set is refused", InputKind::Analog, 2, InputMove::Typed,
         5, nullptr, PromptAnswer::Ok, 2, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        const QString description = QString::fromLatin1(c.legend);
        descriptionOf(c.kind, c.start) = description;
        InputSetupDialog *dialog = open(c.kind, c.start);
        ASSERT_EQ(dialog->currentInput(), c.start);
        if (c.edit)
            type(control<QLineEdit>(dialog, c.edit), QLatin1String(c.edit) == "TextDescription"
                                                         ? QStringLiteral("Edited")
                                                         : QStringLiteral("0.5"));
        prompts.shown.clear();
        prompts.answers = {c.answer};
        state.setup.SetupChanged = false;
        const qsizetype before = requests().size();
        moveOn(dialog, c.move, c.typed);

        EXPECT_EQ(dialog->currentInput(), c.shownAfter);
        EXPECT_EQ(currentBox(dialog)->text(), QString::number(c.shownAfter));
        EXPECT_EQ(asked(c.kind, c.start, description), c.asked);
        EXPECT_EQ(state.setup.SetupChanged, c.programmed);
        const bool describedAnew = descriptionOf(c.kind, c.start) == QStringLiteral("Edited");
        EXPECT_EQ(describedAnew, c.programmed && QLatin1String(c.edit) == "TextDescription");
        if (c.programmed && c.kind == InputKind::Probe &&
            QLatin1String(c.edit) == "TextZeroOffset") {
            EXPECT_TRUE(
                requestsSince(before).contains(QStringLiteral("~PB %1 0.500000").arg(c.start)));
        }
        if (!c.programmed) {
            EXPECT_EQ(descriptionOf(c.kind, c.start), description);
        }
        // Edits stay only where the dialog stayed.
        EXPECT_EQ(dialog->isEdited(), c.edit != nullptr && c.shownAfter == c.start);
        dialog->closeForShutdown();
    }
}

TEST_F(InputSetupDialogTest, ClosingAsksLikeAMoveAndEndsTheLiveValue) {
    const struct {
        const char *legend;
        InputKind kind;
        bool closeBox; // else Done
        bool edited;
        PromptAnswer answer;
        bool stillOpen;
        bool programmed;
    } cases[] = {
        {"probe, Done, no edits", InputKind::Probe, false, false, PromptAnswer::Ok, false, false},
        {"probe, close box, Yes", InputKind::Probe, true, true, PromptAnswer::Yes, false, true},
        {"probe, Done, No", InputKind::Probe, false, true, PromptAnswer::No, false, false},
        {"probe, close box, Cancel", InputKind::Probe, true, true, PromptAnswer::Cancel, true,
         false},
        {"analog, Done, Yes", InputKind::Analog, false, true, PromptAnswer::Yes, false, true},
        {"analog, close box, No", InputKind::Analog, true, true, PromptAnswer::No, false, false},
        {"analog, Done, Cancel", InputKind::Analog, false, true, PromptAnswer::Cancel, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        descriptionOf(c.kind, 2) = QString::fromLatin1(c.legend);
        InputSetupDialog *dialog = open(c.kind, 2);
        auto *show = control<QCheckBox>(dialog, "CheckShowCurrentValue");
        if (!show->isChecked())
            show->click();
        const int16_t &live = c.kind == InputKind::Probe ? state.live.LvdtSetupLiveInput
                                                         : state.live.AnalogSetupLiveInput;
        ASSERT_EQ(live, 2);
        if (c.edited)
            type(control<QLineEdit>(dialog, "TextDescription"), QStringLiteral("Closing"));
        prompts.answers = {c.answer};
        if (c.closeBox)
            dialog->close();
        else
            control<QPushButton>(dialog, "CommandDone")->click();
        ASSERT_TRUE(idle());
        EXPECT_EQ(dialog->isVisible(), c.stillOpen);
        EXPECT_EQ(descriptionOf(c.kind, 2) == QStringLiteral("Closing"), c.programmed);
        EXPECT_EQ(live, c.stillOpen ? 2 : 0);
        dialog->closeForShutdown();
    }
}

TEST_F(InputSetupDialogTest, ProgramSendsFullScaleThenZeroAndAutoIncrementWraps) {
    InputSetupDialog *dialog = open(InputKind::Probe, 8);
    control<QCheckBox>(dialog, "CheckAutoIncLvdt")->setChecked(true);
    auto *description = control<QLineEdit>(dialog, "TextDescription");
    type(description, QStringLiteral("Left\r\nbore"));
    EXPECT_EQ(description->text(), QStringLiteral("Left  bore")) << "a pasted line break";
    type(control<QLineEdit>(dialog, "TextFullScale"), QStringLiteral("0.5"));
    type(control<QLineEdit>(dialog, "TextZeroOffset"), QStringLiteral("-0.25"));
    state.setup.SetupChanged = false;
    const qsizetype before = requests().size();
    control<QPushButton>(dialog, "CommandProgram")->click();
    ASSERT_TRUE(idle());
    EXPECT_EQ(requestsSince(before),
              (QStringList{"~PC 8 0.500000", "~PB 8 -0.250000", "~PD 1", "~PE 1"}))
        << "programmed, then probe 1 shown";
    EXPECT_EQ(dialog->currentInput(), 1);
    EXPECT_TRUE(state.setup.SetupChanged);
    EXPECT_EQ(state.unit.lvdt(8)->Description, QStringLiteral("Left  bore"));

    InputSetupDialog *analogDialog = open(InputKind::Analog, 4);
    control<QCheckBox>(analogDialog, "CheckAutoIncAnalog")->setChecked(true);
    control<QPushButton>(analogDialog, "CommandProgram")->click();
    ASSERT_TRUE(idle());
    EXPECT_EQ(analogDialog->currentInput(), 1) << "auto increment wraps in the analog dialog too";
}

TEST_F(InputSetupDialogTest, UntouchedValuesGoBackAsReadNotAsShown) {
    const float exact = 0.0123f;
    link.QorSetTfsv(state.session.LinkHandle, 2, &exact);
    state.unit.SystemDecimals = 2;
    InputSetupDialog *dialog = open(InputKind::Probe, 2);
    ASSERT_EQ(control<QLineEdit>(dialog, "TextFullScale")->text(), QStringLiteral(" 0.01"));
    type(control<QLineEdit>(dialog, "TextDescription"), QStringLiteral("Only the name"));
    const qsizetype before = requests().size();
    control<QPushButton>(dialog, "CommandProgram")->click();
    ASSERT_TRUE(idle());
    EXPECT_EQ(requestsSince(before).value(0), QStringLiteral("~PC 2 0.012300"));
}

TEST_F(InputSetupDialogTest, ARefusedFieldSendsNothing) {
    InputSetupDialog *dialog = open(InputKind::Probe, 3);
    type(control<QLineEdit>(dialog, "TextDescription"), QStringLiteral("New name"));
    type(control<QLineEdit>(dialog, "TextZeroOffset"), QStringLiteral("zero"));
    const qsizetype before = requests().size();
    control<QPushButton>(dialog, "CommandProgram")->click();
    ASSERT_TRUE(idle());
    EXPECT_TRUE(requestsSince(before).isEmpty());
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_TRUE(prompts.shown.back().text.startsWith(QStringLiteral("Zero must be a number")));
    EXPECT_NE(existing(state.unit.lvdt(3)).Description, QStringLiteral("New name"));
    EXPECT_TRUE(dialog->isEdited());
}

TEST_F(InputSetupDialogTest, TheLiveValueFollowsTheBoxAndNeverReadsOutsideTheSet) {
    InputSetupDialog *dialog = open(InputKind::Probe, 4);
    control<QCheckBox>(dialog, "CheckShowCurrentValue")->setChecked(false);
    control<QCheckBox>(dialog, "CheckShowCurrentValue")->click();
    qsizetype before = requests().size();
    window->Timer1_Timer();
    EXPECT_TRUE(requestsSince(before).contains(QStringLiteral("~P1 4")));
    EXPECT_FALSE(control<QLineEdit>(dialog, "TextCLvdtValue")->text().isEmpty());

    for (const char *typed : {"0", "9", "-1", "x"}) {
        currentBox(dialog)->setText(QLatin1String(typed));
        before = requests().size();
        window->Timer1_Timer();
        for (const QString &request : requestsSince(before))
            EXPECT_FALSE(request.startsWith(QStringLiteral("~P1"))) << typed;
    }
    control<QCheckBox>(dialog, "CheckShowCurrentValue")->click();
    EXPECT_EQ(state.live.LvdtSetupLiveInput, 0);
    EXPECT_TRUE(control<QLineEdit>(dialog, "TextCLvdtValue")->text().isEmpty());
}

TEST_F(InputSetupDialogTest, AnEmptySetOpensDisabledWithItsReason) {
    state.unit.Analogs.clear();
    state.unit.MaxAnalog = 0;
    InputSetupDialog *dialog = open(InputKind::Analog, 1);
    ASSERT_TRUE(dialog->isVisible());
    auto *reason = control<QLabel>(dialog, "LabelEmptySet");
    EXPECT_TRUE(reason->isVisible());
    EXPECT_EQ(reason->text(), emptySetReason(InputKind::Analog));
    EXPECT_FALSE(control<QPushButton>(dialog, "CommandProgram")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(dialog, "CommandDone")->isEnabled());
}

TEST_F(InputSetupDialogTest, AViewPickMovesTheOpenDialogInsteadOfOpeningAnother) {
    ASSERT_TRUE(window->dialogs().showSetupDialog(View::Probes, 3));
    ASSERT_TRUE(idle());
    FormSetupLvdt *dialog = window->dialogs().probeSetupDialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    EXPECT_TRUE(dialog->isModal());
    ASSERT_TRUE(window->dialogs().showSetupDialog(View::Probes, 5));
    ASSERT_TRUE(idle());
    EXPECT_EQ(window->findChildren<FormSetupLvdt *>().size(), 1);
    EXPECT_EQ(dialog->GetCurrentLvdt(), 5);
    ASSERT_TRUE(window->dialogs().showSetupDialog(View::Analogs, 2));
    ASSERT_TRUE(idle());
    EXPECT_EQ(window->dialogs().analogSetupDialog()->GetCurrentAnalog(), 2);
}

TEST_F(InputSetupDialogTest, ControlsCarryTheirDocumentedCaptionsAndTips) {
    const struct {
        const char *probe;
        const char *probeCaption;
        const char *probeTip;
        const char *analog;
        const char *analogCaption; // the analog dialog has no tips
    } controls[] = {
        {"TextCurrentLvdt", "P&robe", "", "TextCurrentAnalog", "&Analog"},
        {"UpDownLvdt", "", "", "UpDownAnalog", ""},
        {"TextDescription", "&Description", "Enter your own description here", "TextDescription",
         "&Description"},
        {"TextFullScale", "&Full Scale", "Reading at plus or minus full scale", "TextFullScale",
         "&Full Scale"},
        {"TextZeroOffset", "&Zero", "Zero offset", "TextZeroOffset", "&Zero"},
        {"TextCLvdtValue", "Value", "Live probe value", "TextCAnalogValue", "Value"},
        {"CheckShowCurrentValue", "Show Current Value", "", "CheckShowCurrentValue",
         "Show Current Value"},
        {"CheckAutoIncLvdt", "Auto Increment", "Increment after program", "CheckAutoIncAnalog",
         "Auto Increment"},
        {"CommandProgram", "&Program Probe", "Send to QOR", "CommandProgram", "&Program Analog"},
        {"CommandDone", "Do&ne", "Close", "CommandDone", "Do&ne"},
    };
    for (const InputKind kind : {InputKind::Probe, InputKind::Analog}) {
        const bool probe = kind == InputKind::Probe;
        InputSetupDialog *dialog = open(kind, 1);
        EXPECT_EQ(dialog->windowTitle(),
                  probe ? QStringLiteral("Probe Setup") : QStringLiteral("Analog Setup"));
        for (const auto &c : controls) {
            const char *name = probe ? c.probe : c.analog;
            auto *widget = control<QWidget>(dialog, name);
            ASSERT_NE(widget, nullptr) << name;
            EXPECT_EQ(captionOf(dialog, widget),
                      QLatin1String(probe ? c.probeCaption : c.analogCaption))
                << name;
            EXPECT_EQ(widget->toolTip(), QLatin1String(probe ? c.probeTip : "")) << name;
        }
        dialog->closeForShutdown();
    }
}

// A value the unit did not give is unknown. Program, and Yes at the leave question, refuse it and
// offer to read the input again; nothing is written until it has been read (or typed).
TEST_F(InputSetupDialogTest, AValueThatCouldNotBeReadIsNeverWrittenBack) {
    const struct {
        const char *legend;
        InputKind kind;
        const char *fail; // makes exactly these reads of the input fail
        const char *unreadBox;
        const char *field; // as the dialog names it; the full scale first when both are unread
        bool leaving;      // Yes at the leave question instead of Program
        QStringList reads;
        QStringList writes;
    } cases[] = {
        {"probe zero, Program",
         InputKind::Probe,
         "fail PD 1",
         "TextZeroOffset",
         "Zero",
         false,
         {"~PD 3", "~PE 3"},
         {"~PC 3 0.050000", "~PB 3 0.000000"}},
        {"probe full scale, Program",
         InputKind::Probe,
         "fail PE 1",
         "TextFullScale",
         "Full Scale",
         false,
         {"~PD 3", "~PE 3"},
         {"~PC 3 0.050000", "~PB 3 0.000000"}},
        {"probe zero, Yes on leaving",
         InputKind::Probe,
         "fail PD 1",
         "TextZeroOffset",
         "Zero",
         true,
         {"~PD 3", "~PE 3"},
         {"~PC 3 0.050000", "~PB 3 0.000000"}},
        // Analog requests all travel as the same line; the zero is read first.
        {"analog zero, Program",
         InputKind::Analog,
         "fail C7 1",
         "TextZeroOffset",
         "Zero",
         false,
         {"~C7", "~C7"},
         {"~C7", "~C7"}},
        {"analog zero and full scale, Yes on leaving",
         InputKind::Analog,
         "fail C7 2",
         "TextFullScale",
         "Full Scale",
         true,
         {"~C7", "~C7"},
         {"~C7", "~C7"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        prompts.answers.clear();
        ASSERT_TRUE(unitControl(c.fail));
        InputSetupDialog *dialog = open(c.kind, 3);
        ASSERT_EQ(dialog->currentInput(), 3);
        ASSERT_TRUE(control<QLineEdit>(dialog, c.unreadBox)->text().isEmpty());
        const QString description = descriptionOf(c.kind, 3);
        type(control<QLineEdit>(dialog, "TextDescription"), QStringLiteral("Renamed"));

        prompts.shown.clear();
        const qsizetype before = requests().size();
        if (c.leaving) {
            prompts.answers = {PromptAnswer::Yes, PromptAnswer::No};
            moveOn(dialog, InputMove::Up, 0);
        } else {
            prompts.answers = {PromptAnswer::No};
            control<QPushButton>(dialog, "CommandProgram")->click();
            ASSERT_TRUE(idle());
        }
        EXPECT_TRUE(requestsSince(before).isEmpty())
            << requestsSince(before).join(u'|').toStdString();
        EXPECT_EQ(dialog->currentInput(), 3);
        EXPECT_EQ(descriptionOf(c.kind, 3), description);
        EXPECT_TRUE(dialog->isEdited());
        ASSERT_FALSE(prompts.shown.empty());
        EXPECT_EQ(prompts.shown.back().text,
                  readAgainQuestion(QLatin1String(c.field), inputName(c.kind, 3)));
        EXPECT_EQ(prompts.shown.back().buttons, PromptButtons::YesNo);

        // Yes reads the input again and keeps the edit; then Program writes what was read.
        prompts.answers = {PromptAnswer::Yes};
        qsizetype at = requests().size();
        control<QPushButton>(dialog, "CommandProgram")->click();
        ASSERT_TRUE(idle());
        EXPECT_EQ(requestsSince(at), c.reads);
        EXPECT_FALSE(control<QLineEdit>(dialog, c.unreadBox)->text().isEmpty());
        EXPECT_EQ(control<QLineEdit>(dialog, "TextDescription")->text(), QStringLiteral("Renamed"));
        at = requests().size();
        control<QPushButton>(dialog, "CommandProgram")->click();
        ASSERT_TRUE(idle());
        EXPECT_EQ(requestsSince(at), c.writes);
        EXPECT_EQ(descriptionOf(c.kind, 3), QStringLiteral("Renamed"));
        dialog->closeForShutdown();
    }
}

// A description goes into setup files, which hold Latin-1: a character beyond it is refused when
// the input is programmed, with the words Channel Setup uses, and nothing changes.
TEST_F(InputSetupDialogTest, ADescriptionAFileCannotHoldIsRefused) {
    const QString typed = QStringLiteral("Bore \u2300 12");
    for (const InputKind kind : {InputKind::Probe, InputKind::Analog}) {
        InputSetupDialog *dialog = open(kind, 2);
        const QString description = descriptionOf(kind, 2);
        auto *box = control<QLineEdit>(dialog, "TextDescription");
        type(box, typed);
        prompts.shown.clear();
        const qsizetype before = requests().size();
        control<QPushButton>(dialog, "CommandProgram")->click();
        ASSERT_TRUE(idle());
        EXPECT_TRUE(requestsSince(before).isEmpty());
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].text, *whyUnitTextRefused(QStringLiteral("Description"), typed));
        EXPECT_EQ(descriptionOf(kind, 2), description);
        EXPECT_EQ(box->selectedText(), typed);
        dialog->closeForShutdown();
    }
}

} // namespace
