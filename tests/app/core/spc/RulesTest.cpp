#include "Rules.h"
#include "SpcTexts.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace spc;

namespace {

// Centre 0 and σ 1 on the location chart, so a reading is its distance from the centre in σ;
// the spread chart from 0 to 2.
LimitValues unitLimits() {
    LimitValues limits;
    limits.location = {-3.0, 0.0, 3.0};
    limits.spread = {0.0, 1.0, 2.0};
    return limits;
}

RuleSet everyRule() {
    return RuleSet::standard().set(Rule::Nelson7, true).set(Rule::Nelson8, true);
}

std::vector<Violation> violations(const std::vector<double> &location,
                                  const std::vector<double> &spread = {},
                                  const RuleSet &rules = everyRule()) {
    return checkRules(location, spread, unitLimits(), rules).violations;
}

struct RuleCase {
    const char *proves;
    std::vector<double> location;
    std::vector<double> spread;
    std::vector<Violation> expected;
};

// Every rule on, each sequence built so that exactly one rule fires, at the point completing it.
TEST(Rules, EachPatternTriggersItsRuleAndNoOther) {
    const std::vector<RuleCase> cases{
        {"WE 1: above 3σ", {0.5, -0.5, 3.5}, {}, {{Rule::BeyondLimits, 2}}},
        {"WE 1: below 3σ", {0.5, -3.2, 0.5}, {}, {{Rule::BeyondLimits, 1}}},
        {"WE 2: two of three beyond 2σ, one between",
         {0.5, 2.5, -0.5, 2.5},
         {},
         {{Rule::TwoOfThreeBeyondTwoSigma, 3}}},
        {"WE 3: four of five beyond 1σ below",
         {0.5, -1.5, -1.5, -0.5, -1.5, -1.5},
         {},
         {{Rule::FourOfFiveBeyondOneSigma, 5}}},
        {"WE 4: eight in a row above the centre",
         {-0.5, 0.3, 0.4, 0.3, 0.4, 0.3, 0.4, 0.3, 0.4},
         {},
         {{Rule::EightOnOneSide, 8}}},
        {"Nelson 7: fifteen in a row within 1σ",
         std::vector<double>{0.5, -0.5, 0.5, -0.5, 0.5, -0.5, 0.5, -0.5, 0.5, -0.5, 0.5, -0.5, 0.5,
                             -0.5, 0.5},
         {},
         {{Rule::Nelson7, 14}}},
        {"Nelson 8: eight beyond 1σ on both sides",
         {1.5, -1.5, 1.5, -1.5, 1.5, -1.5, 1.5, -1.5},
         {},
         {{Rule::Nelson8, 7}}},
        {"spread: a range above its limit",
         {0.5, -0.5, 0.5},
         {1.0, 1.0, 2.5},
         {{Rule::SpreadBeyondLimits, 2}}},
    };
    for (const RuleCase &c : cases)
        EXPECT_EQ(violations(c.location, c.spread), c.expected) << c.proves;
}

// A point is flagged only where it completes a pattern and lies in the pattern's zone itself,
// and on a line it is on neither side.
TEST(Rules, FlaggedPointsAndLinesFollowTheDefinitions) {
    const std::vector<RuleCase> cases{
        {"WE 2: the point after the pair is not flagged",
         {0.5, 2.5, 2.5, 0.5},
         {},
         {{Rule::TwoOfThreeBeyondTwoSigma, 2}}},
        {"WE 2: two at the start complete it",
         {2.5, 2.5},
         {},
         {{Rule::TwoOfThreeBeyondTwoSigma, 1}}},
        {"WE 2: two on opposite sides are no pattern", {2.5, -2.5, 0.0}, {}, {}},
        {"WE 4: nine in a row flag the eighth and the ninth",
         {0.3, 0.3, 0.3, 0.3, 0.3, 0.3, 0.3, 0.3, 0.3},
         {},
         {{Rule::EightOnOneSide, 7}, {Rule::EightOnOneSide, 8}}},
        {"on the 3σ line: not beyond", {3.0, -3.0}, {}, {}},
        {"on the 2σ line: not beyond", {2.0, 2.0, 2.0}, {}, {}},
        {"on the 1σ line: not beyond", {1.0, 1.0, 1.0, 1.0, 1.0, 0.0}, {}, {}},
        {"on the centre: breaks a run", {0.3, 0.3, 0.3, 0.3, 0.0, 0.3, 0.3, 0.3, 0.3}, {}, {}},
        {"on the 1σ line: not within, so no run of fifteen",
         {0.5, -0.5, 0.5, -0.5, 0.5, -0.5, 0.5, 1.0, 0.5, -0.5, 0.5, -0.5, 0.5, -0.5, 0.5},
         {},
         {}},
        {"on the spread's upper limit: not beyond", {0.5}, {2.0}, {}},
        {"a range of 0 on a lower limit of 0: not beyond", {0.5}, {0.0}, {}},
    };
    for (const RuleCase &c : cases)
        EXPECT_EQ(violations(c.location, c.spread), c.expected) << c.proves;
}

TEST(Rules, EachRuleIsSwitchedOnItsOwn) {
    const std::vector<double> points{0.5, 2.5, 2.5, 3.5};
    EXPECT_EQ(violations(points), (std::vector<Violation>{{Rule::TwoOfThreeBeyondTwoSigma, 2},
                                                          {Rule::BeyondLimits, 3},
                                                          {Rule::TwoOfThreeBeyondTwoSigma, 3}}));
    const RuleSet without2 = RuleSet::standard().set(Rule::TwoOfThreeBeyondTwoSigma, false);
    EXPECT_EQ(violations(points, {}, without2), (std::vector<Violation>{{Rule::BeyondLimits, 3}}));
    const RuleSet nelsonOnly = RuleSet().set(Rule::Nelson5, true);
    EXPECT_EQ(violations(points, {}, nelsonOnly),
              (std::vector<Violation>{{Rule::Nelson5, 2}, {Rule::Nelson5, 3}}))
        << "Nelson 5 is the pattern of WE 2";
    EXPECT_TRUE(violations(points, {3.0, 3.0, 3.0, 3.0}, RuleSet()).empty());
}

TEST(Rules, ZeroSigmaOrUnusableLimitsAreNotChecked) {
    LimitValues flat;
    flat.location = {5.0, 5.0, 5.0};
    const RuleCheck zero = checkRules(std::vector<double>{5.0, 6.0}, {}, flat, everyRule());
    EXPECT_EQ(zero.state, RuleCheckState::NotChecked);
    EXPECT_EQ(zero.reason, texts::zeroSigmaRules());
    EXPECT_TRUE(zero.violations.empty());

    LimitValues broken = unitLimits();
    broken.location.upper = std::numeric_limits<double>::quiet_NaN();
    const RuleCheck nan = checkRules(std::vector<double>{9.0}, {}, broken, everyRule());
    EXPECT_EQ(nan.state, RuleCheckState::NotChecked);
    EXPECT_EQ(nan.reason, texts::unusableLimits());
}

// A new subgroup is checked alone; the patterns reaching back into earlier points must come out
// as a check of the whole series would give them.
TEST(Rules, CheckingFromAPointGivesTheWholeChecksTail) {
    std::mt19937 random(2105);
    std::normal_distribution<double> reading(0.4, 1.3);
    std::vector<double> location(400);
    std::vector<double> spread(400);
    for (std::size_t i = 0; i < location.size(); ++i) {
        location[i] = reading(random);
        spread[i] = std::fabs(reading(random));
    }
    const RuleSet rules = everyRule().set(Rule::Nelson5, true).set(Rule::Nelson6, true);
    const std::vector<Violation> whole =
        checkRules(location, spread, unitLimits(), rules).violations;
    ASSERT_GT(whole.size(), 20u) << "the series should break rules now and then";
    for (const std::size_t from : {1u, 7u, 14u, 200u, 399u}) {
        std::vector<Violation> tail;
        for (const Violation &v : whole) {
            if (v.subgroup >= from)
                tail.push_back(v);
        }
        EXPECT_EQ(checkRules(location, spread, unitLimits(), rules, from).violations, tail)
            << "from " << from;
    }
}

} // namespace
