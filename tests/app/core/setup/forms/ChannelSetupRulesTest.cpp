#include "ChannelSetupRules.h"

#include <gtest/gtest.h>

namespace {

using namespace setupforms;

TEST(ChannelSetupRules, NextAndPreviousWrapAtTheEndsOfTheSet) {
    const struct {
        const char *legend;
        int current, count, next, previous;
    } cases[] = {
        {"middle of the set", 4, 8, 5, 3},
        {"last channel wraps forward to 1", 8, 8, 1, 7},
        {"first channel wraps back to the last", 1, 8, 2, 8},
        {"a single channel stays", 1, 1, 1, 1},
        {"beyond a shrunk set goes to 1 forward", 9, 8, 1, 8},
        {"below 1 goes to the last backward", 0, 8, 1, 8},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(nextChannel(c.current, c.count), c.next) << c.legend;
        EXPECT_EQ(previousChannel(c.current, c.count), c.previous) << c.legend;
    }
}

TEST(ChannelSetupRules, TheLeaveQuestionIsAskedOnlyForEditsAndItsAnswerDecides) {
    const struct {
        const char *legend;
        bool edited;
        std::optional<PromptAnswer> answer;
        LeaveStep step;
    } cases[] = {
        {"no edits: go on without a question", false, std::nullopt, LeaveStep::GoOn},
        {"Yes: program, then go on", true, PromptAnswer::Yes, LeaveStep::ProgramThenGoOn},
        {"No: drop the edits and go on", true, PromptAnswer::No, LeaveStep::GoOn},
        {"Cancel: stay", true, PromptAnswer::Cancel, LeaveStep::Stay},
        {"a box closed without an answer: stay", true, std::nullopt, LeaveStep::Stay},
    };
    for (const auto &c : cases)
        EXPECT_EQ(leaveStep(c.edited, c.answer), c.step) << c.legend;
    EXPECT_EQ(leavePromptText(12), QStringLiteral("Channel 12 has been modified\rSave changes"));
}

TEST(ChannelSetupRules, ATypedChannelIsAWholeNumberWithinTheSet) {
    const struct {
        const char *typed;
        std::optional<int> channel;
    } cases[] = {
        {"5", 5},
        {" 8 ", 8},
        {"1", 1},
        {"0", std::nullopt},
        {"9", std::nullopt},
        {"-1", std::nullopt},
        {"2.5", std::nullopt},
        {"", std::nullopt},
        {"x3", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(typedChannel(QString::fromLatin1(c.typed), 8), c.channel) << c.typed;
    EXPECT_EQ(typedChannelRefusal(8),
              QStringLiteral("Channel must be a whole number from 1 to 8."));
}

TEST(ChannelSetupRules, TheDecimalsSpinnerStepsWithinZeroToFive) {
    const struct {
        const char *box;
        int step;
        std::optional<int> after;
    } cases[] = {
        {"3", 1, 4},
        {"3", -1, 2},
        {"5", 1, std::nullopt},
        {"0", -1, std::nullopt},
        {"4", 1, 5},
        {"1", -1, 0},
        {"7", -1, 6},
        {"", 1, 1},
        {"x", -1, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(decimalsAfterStep(QString::fromLatin1(c.box), c.step), c.after)
            << '"' << c.box << "\" step " << c.step;
}

} // namespace
