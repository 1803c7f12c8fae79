#include "ChannelSetupFields.h"
#include "UnitTexts.h"
#include "UnreadValues.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace setupforms;

// Channel 3 as the unit might hold it, shown with 3 decimals.
ChannelDefinition boreChannel() {
    ChannelDefinition d;
    d.description = QStringLiteral("Bore");
    d.formula = QStringLiteral("P1+P2");
    d.decimals = 3;
    d.useTwoMasters = true;
    d.numbers = {1.5f, 2.5f, 2.0f, 0.125f, 0.5f, 0.25f, -0.25f, -0.5f, 1.0f, -1.0f};
    return d;
}

TEST(ChannelSetupFields, TheFormShowsEachValueInTheValueFormatWithTheChannelsDecimals) {
    const ChannelForm form = formOf(boreChannel());
    EXPECT_EQ(form.decimals, QStringLiteral("3"));
    EXPECT_EQ(form.number(ChannelNumber::Master1), QStringLiteral(" 1.500"));
    EXPECT_EQ(form.number(ChannelNumber::LoTol), QStringLiteral("-0.500"));
    ChannelDefinition none = boreChannel();
    none.decimals = 0;
    none.number(ChannelNumber::Scaling) = 2.0f;
    EXPECT_EQ(formOf(none).number(ChannelNumber::Scaling), QStringLiteral(" 2."));
}

TEST(ChannelSetupFields, AFormAsShownGivesBackExactlyWhatWasRead) {
    ChannelDefinition read = boreChannel();
    // Values the boxes show rounded: with 0 decimals every limit shows as " 0." or "-0.".
    read.decimals = 0;
    read.number(ChannelNumber::HiTol) = 0.002f;
    read.number(ChannelNumber::LoTol) = -0.0015f;
    const CheckedChannelForm checked = checkChannelForm(formOf(read), read);
    ASSERT_TRUE(checked.definition);
    EXPECT_EQ(checked.definition->numbers, read.numbers);
    EXPECT_EQ(checked.definition->decimals, 0);
    EXPECT_EQ(checked.definition->description, read.description);
}

struct FormCase {
    const char *legend;
    std::function<void(ChannelForm &)> type;
    QChar separator;
    // The value expected in the record, or the field refused (with words its message holds).
    std::function<void(const ChannelDefinition &)> expect;
    std::optional<ChannelField> refused;
    const char *says;
};

TEST(ChannelSetupFields, EveryFieldIsCheckedBeforeAnythingIsSent) {
    const QString longest(MaxUnitTextLength, QLatin1Char('d'));
    const FormCase cases[] = {
        {"a typed number is read as a single",
         [](ChannelForm &f) { f.number(ChannelNumber::HiTol) = QStringLiteral("0.75"); }, u'.',
         [](const ChannelDefinition &d) { EXPECT_EQ(d.number(ChannelNumber::HiTol), 0.75f); },
         std::nullopt, ""},
        {"the regional comma is read as the point",
         [](ChannelForm &f) { f.number(ChannelNumber::Zero) = QStringLiteral("-1,25"); }, u',',
         [](const ChannelDefinition &d) { EXPECT_EQ(d.number(ChannelNumber::Zero), -1.25f); },
         std::nullopt, ""},
        {"a point is read as the point where the comma is regional",
         [](ChannelForm &f) { f.number(ChannelNumber::Zero) = QStringLiteral(" 2.5 "); }, u',',
         [](const ChannelDefinition &d) { EXPECT_EQ(d.number(ChannelNumber::Zero), 2.5f); },
         std::nullopt, ""},
        {"decimals with blanks around", [](ChannelForm &f) { f.decimals = QStringLiteral(" 5 "); },
         u'.', [](const ChannelDefinition &d) { EXPECT_EQ(d.decimals, 5); }, std::nullopt, ""},
        {"line breaks in a pasted description become blanks",
         [](ChannelForm &f) { f.description = QStringLiteral("Left\r\nbore"); }, u'.',
         [](const ChannelDefinition &d) { EXPECT_EQ(d.description, QStringLiteral("Left  bore")); },
         std::nullopt, ""},
        {"a pasted tab becomes a blank too",
         [](ChannelForm &f) { f.formula = QStringLiteral("P1\t+P2"); }, u'.',
         [](const ChannelDefinition &d) { EXPECT_EQ(d.formula, QStringLiteral("P1 +P2")); },
         std::nullopt, ""},
        {"the longest text the unit takes", [longest](ChannelForm &f) { f.formula = longest; },
         u'.', [longest](const ChannelDefinition &d) { EXPECT_EQ(d.formula, longest); },
         std::nullopt, ""},
        {"an empty formula clears the channel", [](ChannelForm &f) { f.formula.clear(); }, u'.',
         [](const ChannelDefinition &d) { EXPECT_TRUE(d.formula.isEmpty()); }, std::nullopt, ""},
        {"two masters as the check box says", [](ChannelForm &f) { f.useTwoMasters = false; }, u'.',
         [](const ChannelDefinition &d) { EXPECT_FALSE(d.useTwoMasters); }, std::nullopt, ""},

        {"a description one character too long",
         [longest](ChannelForm &f) { f.description = longest + QLatin1Char('x'); },
         u'.',
         {},
         ChannelField::Description,
         "at most 246"},
        {"a formula with the unit's command start",
         [](ChannelForm &f) { f.formula = QStringLiteral("P1~C6 1"); },
         u'.',
         {},
         ChannelField::Formula,
         "\"~\""},
        {"a description beyond Latin-1",
         [](ChannelForm &f) { f.description = QStringLiteral("Bore \u20ac"); },
         u'.',
         {},
         ChannelField::Description,
         "Latin-1"},
        {"decimals above 5",
         [](ChannelForm &f) { f.decimals = QStringLiteral("6"); },
         u'.',
         {},
         ChannelField::Decimals,
         "from 0 to 5"},
        {"decimals not whole",
         [](ChannelForm &f) { f.decimals = QStringLiteral("2.5"); },
         u'.',
         {},
         ChannelField::Decimals,
         "whole number"},
        {"decimals empty",
         [](ChannelForm &f) { f.decimals.clear(); },
         u'.',
         {},
         ChannelField::Decimals,
         "Decimals"},
        {"a value that is no number",
         [](ChannelForm &f) { f.number(ChannelNumber::HiAppr) = QStringLiteral("abc"); },
         u'.',
         {},
         ChannelField::HiAppr,
         "Hi approach must be a number"},
        {"an empty value",
         [](ChannelForm &f) { f.number(ChannelNumber::BarBot).clear(); },
         u'.',
         {},
         ChannelField::BarBot,
         "Bar Bot"},
        {"a value beyond single precision",
         [](ChannelForm &f) { f.number(ChannelNumber::Master2) = QStringLiteral("1E39"); },
         u'.',
         {},
         ChannelField::Master2,
         "3.402823E+38"},
        {"text after a number",
         [](ChannelForm &f) { f.number(ChannelNumber::Scaling) = QStringLiteral("2 mm"); },
         u'.',
         {},
         ChannelField::Scaling,
         "Scaling"},
        {"the example names the regional separator",
         [](ChannelForm &f) { f.number(ChannelNumber::LoTol) = QStringLiteral("?"); },
         u',',
         {},
         ChannelField::LoTol,
         "12,345"},
        {"the first refused field in tab order is named",
         [](ChannelForm &f) {
             f.number(ChannelNumber::BarTop) = QStringLiteral("x");
             f.decimals = QStringLiteral("9");
         },
         u'.',
         {},
         ChannelField::Decimals,
         "Decimals"},
    };
    const ChannelDefinition shown = boreChannel();
    for (const FormCase &c : cases) {
        ChannelForm form = formOf(shown);
        c.type(form);
        const CheckedChannelForm checked = checkChannelForm(form, shown, c.separator);
        if (c.refused) {
            ASSERT_FALSE(checked.definition) << c.legend;
            EXPECT_EQ(checked.refusal.field, *c.refused) << c.legend;
            EXPECT_TRUE(checked.refusal.message.contains(QString::fromUtf8(c.says)))
                << c.legend << ": " << checked.refusal.message.toStdString();
        } else {
            ASSERT_TRUE(checked.definition)
                << c.legend << ": " << checked.refusal.message.toStdString();
            c.expect(*checked.definition);
        }
    }
}

TEST(ChannelSetupFields, OnlyTheBoxesTheOperatorChangedAreReadFromTheirText) {
    ChannelDefinition read = boreChannel();
    read.decimals = 1;
    read.number(ChannelNumber::Master1) = 1.234f; // shows " 1.2"
    read.number(ChannelNumber::Master2) = 5.678f; // shows " 5.7"
    ChannelForm form = formOf(read);
    form.number(ChannelNumber::Master2) = QStringLiteral(" 5.7"); // typed, same text: unchanged
    form.number(ChannelNumber::Master1) = QStringLiteral("1.2");  // typed anew
    form.decimals = QStringLiteral("4");
    const CheckedChannelForm checked = checkChannelForm(form, read);
    ASSERT_TRUE(checked.definition);
    EXPECT_EQ(checked.definition->number(ChannelNumber::Master1), 1.2f);
    EXPECT_EQ(checked.definition->number(ChannelNumber::Master2), 5.678f);
    EXPECT_EQ(checked.definition->decimals, 4);
}

// A field whose read failed stands in the form as 0, an empty text or one master; left so, it is
// refused (naming it) before anything else, and typed or clicked, it is the operator's value.
TEST(ChannelSetupFields, AFieldThatCouldNotBeReadIsNeverSentBackAsItStandsIn) {
    const struct {
        const char *legend;
        ChannelField unread;
        std::function<void(ChannelForm &)> operatorSets; // nullptr: left as shown
    } cases[] = {
        {"an unread formula would clear the channel", ChannelField::Formula, nullptr},
        {"an unread description", ChannelField::Description, nullptr},
        {"an unread zero would be sent as 0", ChannelField::Zero, nullptr},
        {"an unread bar bottom", ChannelField::BarBot, nullptr},
        {"an unread two-masters flag", ChannelField::UseTwoMasters, nullptr},
        {"a formula typed over the unread one", ChannelField::Formula,
         [](ChannelForm &f) {
             f.formula = QStringLiteral("P4");
         }},
        {"a zero typed over the unread one", ChannelField::Zero,
         [](ChannelForm &f) {
             f.number(ChannelNumber::Zero) = QStringLiteral("0.5");
         }},
        {"the two-masters box clicked", ChannelField::UseTwoMasters,
         [](ChannelForm &f) {
             f.useTwoMasters = true;
         }},
    };
    for (const auto &c : cases) {
        ChannelDefinition shown = boreChannel();
        shown.useTwoMasters = false;
        shown.formula.clear();
        shown.description.clear();
        shown.numbers.fill(0.0f);
        shown.unread = {c.unread, ChannelField::Master2};
        ChannelForm typed = formOf(shown);
        typed.number(ChannelNumber::Master2) = QStringLiteral("2"); // the other unread, typed
        if (c.operatorSets)
            c.operatorSets(typed);
        const CheckedChannelForm checked = checkChannelForm(typed, shown);
        if (c.operatorSets) {
            EXPECT_TRUE(checked.definition)
                << c.legend << ": " << checked.refusal.message.toStdString();
            continue;
        }
        ASSERT_FALSE(checked.definition) << c.legend;
        EXPECT_TRUE(checked.refusal.unread) << c.legend;
        EXPECT_EQ(checked.refusal.field, c.unread) << c.legend;
        EXPECT_EQ(checked.refusal.message, unreadFieldProblem(fieldName(c.unread))) << c.legend;
    }
    EXPECT_EQ(unreadFieldProblem(fieldName(ChannelField::HiAppr)),
              QStringLiteral("Could not read Hi approach from the unit; read it again before "
                             "programming."));
}

TEST(ChannelSetupFields, AChannelReadAgainKeepsWhatTheOperatorChanged) {
    ChannelDefinition shown = boreChannel();
    shown.unread = {ChannelField::Zero, ChannelField::Formula};
    shown.number(ChannelNumber::Zero) = 0.0f;
    shown.formula.clear();
    ChannelForm typed = formOf(shown);
    typed.description = QStringLiteral("Bore, left");
    typed.number(ChannelNumber::HiTol) = QStringLiteral("0.75");
    typed.useTwoMasters = false;

    ChannelDefinition read = boreChannel();
    read.number(ChannelNumber::Zero) = 0.0625f;
    read.number(ChannelNumber::HiTol) = 0.375f;
    const ChannelForm after = formAfterReadingAgain(typed, shown, read);
    EXPECT_EQ(after.description, QStringLiteral("Bore, left")) << "typed: kept";
    EXPECT_EQ(after.number(ChannelNumber::HiTol), QStringLiteral("0.75")) << "typed: kept";
    EXPECT_FALSE(after.useTwoMasters) << "clicked: kept";
    EXPECT_EQ(after.formula, QStringLiteral("P1+P2")) << "was unread: now read";
    EXPECT_EQ(after.number(ChannelNumber::Zero), QStringLiteral(" 0.063")) << "now read";
    EXPECT_EQ(after.number(ChannelNumber::Master1), QStringLiteral(" 1.500")) << "untouched";
    const CheckedChannelForm checked = checkChannelForm(after, read);
    ASSERT_TRUE(checked.definition) << checked.refusal.message.toStdString();
    EXPECT_EQ(checked.definition->number(ChannelNumber::Zero), 0.0625f);
    EXPECT_EQ(checked.definition->number(ChannelNumber::HiTol), 0.75f);
}

} // namespace
