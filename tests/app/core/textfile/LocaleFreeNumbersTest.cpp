#include "LocaleFreeNumbers.h"

#include <gtest/gtest.h>

#include <cfloat>

using namespace textfile;

namespace {

template <typename Real> struct NumberCase {
    const char *legend;
    const char *text;
    std::optional<Real> value;
};

TEST(LocaleFreeNumbers, ASingleMustBeTheWholeText) {
    const NumberCase<float> cases[] = {
        {"as written", " 0.5 ", 0.5f},
        {"no leading zero", ".5", 0.5f},
        {"trailing point", "5.", 5.0f},
        {"exponent form as written", "-1E-05 ", -1e-5f},
        {"plus sign", "+2", 2.0f},
        {"comma where there is no point", "1,5", 1.5f},
        {"comma and point: the comma is not a separator", "1,5.0", std::nullopt},
        {"largest single", "3.4028235E+38", FLT_MAX},
        {"beyond the largest single fails", "1E39", std::nullopt},
        {"below the smallest single is 0", "1E-50", 0.0f},
        {"empty line fails", "", std::nullopt},
        {"trailing text fails", "1.5x", std::nullopt},
        {"two numbers fail", "1 2", std::nullopt},
        {"infinity is not a number here", "inf", std::nullopt},
        {"NaN is not a number here", "nan", std::nullopt},
        {"hexadecimal is not read", "0x10", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseNumber<float>(c.text), c.value) << c.legend;
}

TEST(LocaleFreeNumbers, ADoubleReadsTheSameWayWithTheDoubleRange) {
    const NumberCase<double> cases[] = {
        {"tabs around it", "\t-2,5\t", -2.5},
        {"beyond a single is still a double", "1E39", 1e39},
        {"beyond the largest double fails", "1E309", std::nullopt},
        {"below the smallest double is 0", "-1E-400", 0.0},
        {"an E without exponent digits fails", "12E", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseNumber<double>(c.text), c.value) << c.legend;
}

} // namespace
