#include "WizardSteps.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Buttons = WizardSteps::Buttons;

struct StepCase {
    const char *legend;
    std::vector<std::function<void(WizardSteps &)>> actions;
    int page;
    Buttons buttons; // back, next, finish
};

const auto next = [](WizardSteps &s) {
    s.next();
};
const auto back = [](WizardSteps &s) {
    s.back();
};
const auto pass = [](WizardSteps &s) {
    s.setTestPassed(true);
};
const auto fail = [](WizardSteps &s) {
    s.setTestPassed(false);
};

TEST(WizardSteps, PagesAndButtons) {
    const std::vector<StepCase> cases = {
        {"introduction at load", {}, 0, {false, true, false}},
        {"port page before a test", {next}, 1, {true, false, false}},
        {"a passed test enables Next", {next, pass}, 1, {true, true, false}},
        {"a failed test after a pass disables Next", {next, pass, fail}, 1, {true, false, false}},
        {"confirmation page", {next, pass, next}, 2, {true, true, false}},
        {"finished page allows Finish only", {next, pass, next, next}, 3, {true, false, true}},
        {"back from the end takes Finish away",
         {next, pass, next, next, back},
         2,
         {true, true, false}},
        {"a passed test survives a trip back", {next, pass, back, next}, 1, {true, true, false}},
        {"Back stops at the introduction", {back, back}, 0, {false, true, false}},
        {"Next stops at the end", {next, pass, next, next, next}, 3, {true, false, true}},
    };
    for (const StepCase &c : cases) {
        WizardSteps steps;
        steps.setStep(WizardSteps::Introduction);
        for (const auto &action : c.actions)
            action(steps);
        EXPECT_EQ(steps.page(), c.page) << c.legend;
        const Buttons b = steps.buttons();
        EXPECT_EQ(b.back, c.buttons.back) << c.legend;
        EXPECT_EQ(b.next, c.buttons.next) << c.legend;
        EXPECT_EQ(b.finish, c.buttons.finish) << c.legend;
    }
}

} // namespace
