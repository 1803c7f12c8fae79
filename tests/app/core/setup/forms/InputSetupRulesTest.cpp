// The probe and analog setup dialogs' rules: where a move ends, what the leave question's answer
// does, and which typed fields are refused before anything is sent.
#include "InputMoves.h"
#include "InputSetupFields.h"
#include "ScriptedPrompts.h"
#include "StationTexts.h"
#include "UnitTexts.h"
#include "UnreadValues.h"

#include <gtest/gtest.h>

#include <optional>

using namespace setupforms;

namespace {

TEST(InputMoves, ProbesWrapAroundAndAnalogInputsStopAtTheEnds) {
    const struct {
        const char *legend;
        InputKind kind;
        InputMove move;
        int current;
        int count;
        int typed;
        std::optional<int> expected;
    } cases[] = {
        {"probe up on the last shows the first", InputKind::Probe, InputMove::Up, 8, 8, 0, 1},
        {"probe down on the first shows the last", InputKind::Probe, InputMove::Down, 1, 8, 0, 8},
        {"probe up in the middle", InputKind::Probe, InputMove::Up, 3, 8, 0, 4},
        {"probe down in the middle", InputKind::Probe, InputMove::Down, 3, 8, 0, 2},
        {"probe down below 1 shows the last", InputKind::Probe, InputMove::Down, 0, 8, 0, 8},
        {"analog up on the last stays", InputKind::Analog, InputMove::Up, 4, 4, 0, 4},
        {"analog down on the first stays", InputKind::Analog, InputMove::Down, 1, 4, 0, 1},
        {"analog up in the middle", InputKind::Analog, InputMove::Up, 2, 4, 0, 3},
        {"one probe: up stays on it", InputKind::Probe, InputMove::Up, 1, 1, 0, 1},
        {"typed number in the set", InputKind::Probe, InputMove::Typed, 1, 8, 5, 5},
        {"typed 0 is refused", InputKind::Probe, InputMove::Typed, 1, 8, 0, std::nullopt},
        {"typed past the set is refused", InputKind::Analog, InputMove::Typed, 1, 4, 5,
         std::nullopt},
        {"typed negative is refused", InputKind::Analog, InputMove::Typed, 1, 4, -1, std::nullopt},
        {"empty set: no move", InputKind::Probe, InputMove::Up, 0, 0, 0, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(inputAfterMove(c.kind, c.move, c.current, c.count, c.typed), c.expected)
            << c.legend;
}

TEST(InputMoves, AutoIncrementWrapsInBothDialogs) {
    EXPECT_EQ(inputAfterProgram(4, 4), 1);
    EXPECT_EQ(inputAfterProgram(2, 4), 3);
    EXPECT_EQ(inputAfterProgram(1, 1), 1);
}

TEST(InputMoves, TheLeaveAnswerDecides) {
    const struct {
        const char *legend;
        bool edited;
        PromptAnswer answer;
        InputLeaveStep expected;
    } cases[] = {
        {"no edits: go whatever", false, PromptAnswer::Cancel, InputLeaveStep::Go},
        {"Yes programs, then goes", true, PromptAnswer::Yes, InputLeaveStep::ProgramThenGo},
        {"No drops the edits", true, PromptAnswer::No, InputLeaveStep::Go},
        {"Cancel stays", true, PromptAnswer::Cancel, InputLeaveStep::Stay},
    };
    for (const auto &c : cases)
        EXPECT_EQ(leaveStep(c.edited, c.answer), c.expected) << c.legend;
}

TEST(InputMoves, TextsNameTheInput) {
    EXPECT_EQ(leaveQuestion(InputKind::Probe, 3),
              QStringLiteral("Lvdt 3 has been modified\rSave changes"));
    EXPECT_EQ(leaveQuestion(InputKind::Analog, 12),
              QStringLiteral("Analog 12 has been modified\rSave changes"));
    EXPECT_EQ(inputNumberProblem(InputKind::Probe, 8),
              QStringLiteral("Probe must be a number from 1 to 8."));
    EXPECT_FALSE(emptySetReason(InputKind::Analog).contains(u'\r'));
}

TEST(InputSetupFields, EveryFieldIsCheckedBeforeAnythingIsSent) {
    const ShownValue scale{QStringLiteral(" 0.01"), 0.0123f};
    const ShownValue zero{QStringLiteral(" 0.00"), 0.001f};
    const struct {
        const char *legend;
        InputSetupTexts texts;
        QChar separator;
        std::optional<InputField> refused;
        float fullScale;
        float zeroOffset;
    } cases[] = {
        {"untouched boxes send the values read, not the rounded text",
         {QStringLiteral("Left"), QStringLiteral(" 0.01"), QStringLiteral(" 0.00")},
         u'.',
         std::nullopt,
         0.0123f,
         0.001f},
        {"typed values are sent as typed",
         {QStringLiteral("Left"), QStringLiteral("0.5"), QStringLiteral("-0.25")},
         u'.',
         std::nullopt,
         0.5f,
         -0.25f},
        {"the regional comma reads as the point",
         {QStringLiteral("Left"), QStringLiteral("0,5"), QStringLiteral(" 0.00")},
         u',',
         std::nullopt,
         0.5f,
         0.001f},
        {"a full scale that is no number is refused",
         {QStringLiteral("Left"), QStringLiteral("abc"), QStringLiteral("1")},
         u'.',
         InputField::FullScale,
         0,
         0},
        {"an empty zero is refused",
         {QStringLiteral("Left"), QStringLiteral("1"), QString()},
         u'.',
         InputField::ZeroOffset,
         0,
         0},
        {"a number beyond a single is refused",
         {QStringLiteral("Left"), QStringLiteral("1e39"), QStringLiteral("0")},
         u'.',
         InputField::FullScale,
         0,
         0},
    };
    for (const auto &c : cases) {
        const InputFieldsCheck check = checkInputFields(c.texts, scale, zero, c.separator);
        if (c.refused) {
            EXPECT_FALSE(check.record) << c.legend;
            EXPECT_EQ(check.field, *c.refused) << c.legend;
            EXPECT_TRUE(check.problem.contains(QStringLiteral("3.402823E+38"))) << c.legend;
            continue;
        }
        ASSERT_TRUE(check.record) << c.legend << ": " << check.problem.toStdString();
        EXPECT_EQ(check.record->fullScale, c.fullScale) << c.legend;
        EXPECT_EQ(check.record->zeroOffset, c.zeroOffset) << c.legend;
    }
}

TEST(InputSetupFields, LineBreaksInADescriptionBecomeBlanks) {
    EXPECT_EQ(withoutLineBreaks(QStringLiteral("Left\r\nbore\nend\r")),
              QStringLiteral("Left  bore end "));
    const InputFieldsCheck check = checkInputFields(
        {QStringLiteral("a\nb"), QStringLiteral("1"), QStringLiteral("0")}, {}, {});
    ASSERT_TRUE(check.record);
    EXPECT_EQ(check.record->description, QStringLiteral("a b"));
}

// A value whose read failed has no value behind its empty box: left so, Program refuses it (and
// would otherwise send 0); typed, it is the operator's.
TEST(InputSetupFields, AValueThatCouldNotBeReadIsRefusedUntilItIsTyped) {
    const ShownValue read{QStringLiteral(" 0.05000"), 0.05f};
    const ShownValue unread{};
    const struct {
        const char *legend;
        ShownValue fullScale;
        ShownValue zero;
        InputSetupTexts texts;
        std::optional<InputField> refused;
    } cases[] = {
        {"the zero unread and left empty",
         read,
         unread,
         {QStringLiteral("Left"), QStringLiteral(" 0.05000"), QString()},
         InputField::ZeroOffset},
        {"the full scale unread, the zero edited",
         unread,
         read,
         {QStringLiteral("Left"), QString(), QStringLiteral("0.1")},
         InputField::FullScale},
        {"both unread: the full scale is named first",
         unread,
         unread,
         {QStringLiteral("Left"), QString(), QString()},
         InputField::FullScale},
        {"the zero unread but typed",
         read,
         unread,
         {QStringLiteral("Left"), QStringLiteral(" 0.05000"), QStringLiteral("0")},
         std::nullopt},
    };
    for (const auto &c : cases) {
        const InputFieldsCheck check = checkInputFields(c.texts, c.fullScale, c.zero);
        if (!c.refused) {
            EXPECT_TRUE(check.record) << c.legend << ": " << check.problem.toStdString();
            continue;
        }
        EXPECT_FALSE(check.record) << c.legend;
        EXPECT_TRUE(check.unread) << c.legend;
        EXPECT_EQ(check.field, *c.refused) << c.legend;
        EXPECT_EQ(check.problem, unreadFieldProblem(inputFieldName(*c.refused))) << c.legend;
    }
    EXPECT_EQ(
        readAgainQuestion(inputFieldName(InputField::ZeroOffset), inputName(InputKind::Analog, 2)),
        QStringLiteral("Could not read Zero from the unit; read it again before "
                       "programming.\rRead analog input 2 again now?"));
}

TEST(InputSetupFields, AReadAgainFillsOnlyTheBoxesTheOperatorLeftAlone) {
    const ShownValue before{QStringLiteral(" 0.05000"), 0.05f};
    const ShownValue now{QStringLiteral(" 0.06000"), 0.06f};
    EXPECT_EQ(textAfterReadingAgain(QStringLiteral(" 0.05000"), before, now), now.text);
    EXPECT_EQ(textAfterReadingAgain(QStringLiteral("0.5"), before, now), QStringLiteral("0.5"));
    EXPECT_EQ(textAfterReadingAgain(QString(), ShownValue{}, now), now.text) << "was unread";
    EXPECT_EQ(textAfterReadingAgain(QString(), ShownValue{}, ShownValue{}), QString())
        << "unread again";
}

// A description is kept in setup files, which hold Latin-1 alone: anything else would come back
// from the file as "?".
TEST(InputSetupFields, ADescriptionBeyondLatin1IsRefusedWithChannelSetupsWords) {
    const ShownValue value{QStringLiteral(" 1.00000"), 1.0f};
    const struct {
        const char *legend;
        QString description;
        bool accepted;
    } cases[] = {
        {"Latin-1 letters and signs", QStringLiteral("\u00D8 bore \u00B1 0,5 \u00B5m"), true},
        {"a tilde: the station keeps it, it never reaches a request", QStringLiteral("a~b"), true},
        {"a diameter sign beyond Latin-1", QStringLiteral("\u2300 bore"), false},
        {"an emoji", QStringLiteral("bore \U0001F600"), false},
    };
    for (const auto &c : cases) {
        const InputFieldsCheck check =
            checkInputFields({c.description, value.text, value.text}, value, value);
        EXPECT_EQ(check.record.has_value(), c.accepted) << c.legend;
        EXPECT_EQ(whyStationTextRefused(QStringLiteral("Description"), c.description).has_value(),
                  !c.accepted)
            << c.legend;
        if (c.accepted)
            continue;
        EXPECT_EQ(check.field, InputField::Description) << c.legend;
        EXPECT_FALSE(check.unread) << c.legend;
        EXPECT_EQ(check.problem, *whyUnitTextRefused(QStringLiteral("Description"), c.description))
            << c.legend;
    }
}

} // namespace
