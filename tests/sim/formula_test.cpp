// The formula language: every error number, values, and the extremes functions.
#include "formula.h"

#include <gtest/gtest.h>

#include <string>

namespace qorsim {
namespace {

const FormulaLimits kLimits{8, 4, 16};

// Pn reads n/100, An reads 10n, Cn reads 1000n.
class FixedInputs : public InputSource {
public:
    double input(char kind, int index) const override {
        return kind == 'P' ? index / 100.0 : kind == 'A' ? 10.0 * index : 1000.0 * index;
    }
};

struct ErrorCase {
    const char *legend;
    std::string formula;
    int error;
};

std::string nested(int depth) {
    return std::string(static_cast<std::size_t>(depth), '(') + "P1" +
           std::string(static_cast<std::size_t>(depth), ')');
}

TEST(FormulaErrors, EachRuleReportsItsNumber) {
    const ErrorCase cases[] = {
        {"two operands side by side", "P1 P2", kSyntax},
        {"stray punctuation", "P1,P2", kSyntax},
        {"unknown character", "2#3", kSyntax},
        {"function name without parenthesis", "ABS", kSyntax},
        {"missing close", "(P1+P2", kUnbalanced},
        {"extra close", "P1+P2)", kUnbalanced},
        {"function left open", "ABS(P1", kUnbalanced},
        {"probe above the installed ones", "P9", kBadProbe},
        {"probe zero", "P0", kBadProbe},
        {"analog above the installed ones", "A5", kBadProbe},
        {"range beyond the probes", "GOR(P1:P9)", kBadProbe},
        {"channel outside the count", "C17", kBadChannel},
        {"operator at the end", "P1+", kMissingOperand},
        {"operator at the start", "*P1", kMissingOperand},
        {"two operators", "P1*/P2", kMissingOperand},
        {"empty parentheses", "()", kMissingOperand},
        {"lone minus", "-", kMissingOperand},
        {"two decimal points", "1.2.3", kBadNumber},
        {"exponent without digits", "1E", kBadNumber},
        {"exponent sign without digits", "1E+", kBadNumber},
        {"point alone", ".", kBadNumber},
        {"point after exponent", "2.5E3.1", kBadNumber},
        {"unknown function", "FOO(P1)", kUnknownSymbol},
        {"unknown name", "X", kUnknownSymbol},
        {"input letter without number", "P", kUnknownSymbol},
        {"blanks are ignored, so ABS P1 is one name", "ABS P1", kUnknownSymbol},
        {"seventeen levels", nested(17), kTooDeep},
        {"seventeen function levels", "ABS(" + nested(16) + ")", kTooDeep},
        {"function without argument", "ABS()", kArgumentCount},
        {"function with two arguments", "ABS(P1,P2)", kArgumentCount},
        {"range function with one input", "GOR(P1)", kArgumentCount},
        {"range function empty", "LOR()", kArgumentCount},
        {"range given to a plain function", "MAX(P1:P2)", kArgumentCount},
        {"mixed kinds", "GOR(P1:A2)", kBadRange},
        {"running backwards", "GOR(P4:P1)", kBadRange},
        {"channel range backwards", "AVG(C3:C1)", kBadRange},
    };
    for (const ErrorCase &c : cases) {
        Formula f;
        EXPECT_EQ(Formula::parse(c.formula, kLimits, f), c.error) << c.legend << ": " << c.formula;
        EXPECT_TRUE(f.empty()) << c.legend;
    }
}

TEST(FormulaErrors, SixteenLevelsAreAllowed) {
    Formula f;
    EXPECT_EQ(Formula::parse(nested(16), kLimits, f), kFormulaOk);
}

TEST(FormulaErrors, NodeTableIsBounded) {
    std::string big = "1";
    for (int i = 0; i < 600; ++i)
        big += "+1";
    Formula f;
    EXPECT_EQ(Formula::parse(big, kLimits, f), kTooManyNodes);
}

struct ValueCase {
    const char *formula;
    double value;
};

TEST(FormulaValues, Arithmetic) {
    const ValueCase cases[] = {
        {"0.5", 0.5},         {"-2", -2},           {"1E-3", 0.001},      {"2.5e2", 250},
        {"P1+P2*3", 0.07},    {"(P1+P2)*3", 0.09},  {"--P1", 0.01},       {"P4/P2", 2},
        {"P1/0", 0},          {"P1/(P2-P2)", 0},    {"ABS(-P3)", 0.03},   {"SQRT(4)", 2},
        {"SQRT(-4)", 0},      {"GOR(P1:P4)", 0.04}, {"LOR(P2:P4)", 0.02}, {"AVG(P1:P3)", 0.02},
        {"GOR(A1:A3)", 30},   {"AVG(C1:C2)", 1500}, {" a2 - c1 ", -980},  {"p1 + 0.5", 0.51},
        {"GOR(P2:P2)", 0.02},
    };
    FixedInputs inputs;
    for (const ValueCase &c : cases) {
        Formula f;
        ASSERT_EQ(Formula::parse(c.formula, kLimits, f), kFormulaOk) << c.formula;
        EXPECT_NEAR(f.evaluate(inputs), c.value, 1e-12) << c.formula;
    }
}

class SteppingInput : public InputSource {
public:
    double value = 0;
    double input(char, int) const override { return value; }
};

TEST(FormulaValues, ExtremesFollowTheArgumentUntilReset) {
    Formula max, min, tir;
    ASSERT_EQ(Formula::parse("MAX(P1)", kLimits, max), kFormulaOk);
    ASSERT_EQ(Formula::parse("MIN(P1)", kLimits, min), kFormulaOk);
    ASSERT_EQ(Formula::parse("TIR(P1)", kLimits, tir), kFormulaOk);
    SteppingInput in;
    for (double v : {3.0, 1.0, 5.0, 2.0}) {
        in.value = v;
        max.evaluate(in);
        min.evaluate(in);
        tir.evaluate(in);
    }
    EXPECT_EQ(max.evaluate(in), 5.0);
    EXPECT_EQ(min.evaluate(in), 1.0);
    EXPECT_EQ(tir.evaluate(in), 4.0);
    for (Formula *f : {&max, &min, &tir})
        f->resetExtremes();
    in.value = 2.5;
    EXPECT_EQ(max.evaluate(in), 2.5);
    EXPECT_EQ(min.evaluate(in), 2.5);
    EXPECT_EQ(tir.evaluate(in), 0.0);
}

TEST(FormulaValues, ChannelsUsedListsReferencesAndRanges) {
    Formula f;
    ASSERT_EQ(Formula::parse("C2+AVG(C4:C6)+P1", kLimits, f), kFormulaOk);
    EXPECT_EQ(f.channelsUsed(), (std::vector<int>{2, 4, 5, 6}));
}

} // namespace
} // namespace qorsim
