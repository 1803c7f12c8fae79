#include "SetupNumbers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

using namespace setupfile;

namespace {

struct SingleTextCase {
    const char *legend;
    float value;
    const char *text;
};

TEST(SetupNumbers, SinglesAreWrittenInTheClassicFormAndLongerOnlyWhereNeeded) {
    const float inf = std::numeric_limits<float>::infinity();
    const SingleTextCase cases[] = {
        {"a half keeps its leading zero", 0.5f, "0.5"},
        {"whole numbers have no point", 100.0f, "100"},
        {"zero", 0.0f, "0"},
        {"negative zero is written as zero", -0.0f, "0"},
        {"the binary error of 0.1 stays hidden", 0.1f, "0.1"},
        {"a typical limit", 25.0021f, "25.0021"},
        {"seven digits fixed", 1234567.0f, "1234567"},
        {"largest fixed magnitude", 9999999.0f, "9999999"},
        {"1E+07 starts exponent form", 1e7f, "1E+07"},
        {"1E-04 is still fixed", 1e-4f, "0.0001"},
        {"small fixed value keeps all its digits", 0.00012345f, "0.00012345"},
        {"1E-05 starts exponent form", 1e-5f, "1E-05"},
        {"mantissa digits in exponent form", 9.9999e-5f, "9.9999E-05"},
        {"eight digits where seven read back wrong", 12345678.0f, "1.2345678E+07"},
        {"2^24 needs eight digits", 16777216.0f, "1.6777216E+07"},
        {"nine digits where eight read back wrong", 12.3498535f, "12.3498535"},
        {"largest single", FLT_MAX, "3.4028235E+38"},
        {"smallest subnormal single", std::numeric_limits<float>::denorm_min(), "1.401298E-45"},
        {"NaN is written as zero", std::numeric_limits<float>::quiet_NaN(), "0"},
        {"infinity is written as the largest single", inf, "3.4028235E+38"},
        {"minus infinity is written as the lowest single", -inf, "-3.4028235E+38"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(singleText(c.value), c.text) << c.legend;
}

int significantDigits(const std::string &text) {
    int digits = 0;
    bool leading = true;
    for (char c : text.substr(0, text.find('E'))) {
        if (c < '0' || c > '9' || (leading && c == '0'))
            continue;
        leading = false;
        ++digits;
    }
    return digits;
}

// Over a spread of singles from every binade: the text reads back exactly, has at most 9
// significant digits, and is exactly the C library's "%.7G" form whenever that form reads back.
TEST(SetupNumbers, EverySingleReadsBackAndKeepsTheClassicFormWhereItCan) {
    std::mt19937 random(20240611);
    int classic = 0;
    for (int i = 0; i < 300000; ++i) {
        // mt19937 draws 32 bits, held in a wider type.
        const auto bits = static_cast<uint32_t>(random());
        float value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value) || value == 0.0f)
            continue;
        const std::string text = singleText(value);
        ASSERT_EQ(parseSingle(text), value) << text;
        ASSERT_LE(significantDigits(text), 9) << text;
        char printed[32];
        std::snprintf(printed, sizeof printed, "%.7G", static_cast<double>(value));
        if (parseSingle(printed) == value) {
            ASSERT_EQ(text, printed);
            ++classic;
        } else {
            ASSERT_GT(significantDigits(text), 7) << text;
        }
    }
    EXPECT_GT(classic, 1000);
}

struct WholeNumberCase {
    const char *legend;
    const char *text;
    std::optional<int16_t> value;
};

TEST(SetupNumbers, WholeNumbersTakeTheLeadingNumberRoundedHalfToEven) {
    const WholeNumberCase cases[] = {
        {"plain", "5", 5},
        {"blanks around, as written", " 5 ", 5},
        {"plus sign", "+7", 7},
        {"4.5 gives 4", "4.5", 4},
        {"5.5 gives 6", " 5.5 ", 6},
        {"-4.5 gives -4", "-4.5", -4},
        {"0.5 gives 0", ".5", 0},
        {"4,5 with a comma gives 4", "4,5", 4},
        {"exponent form", "1E3", 1000},
        {"an E without digits ends the number", "12E", 12},
        {"trailing text is ignored", "12abc", 12},
        {"empty text is 0", "", 0},
        {"text without a number is 0", "abc", 0},
        {"just below the largest rounds down", "32767.4", 32767},
        {"rounding past the largest fails", "32767.5", std::nullopt},
        {"above the largest fails", "32768", std::nullopt},
        {"below the lowest fails", "-32769", std::nullopt},
        {"tiny exponent is 0", "1E-400", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseWholeNumber(c.text), c.value) << c.legend;
}

struct FlagCase {
    const char *legend;
    const char *text;
    std::optional<bool> value;
};

TEST(SetupNumbers, FlagsAreWordsInAnyCaseOrNumbers) {
    const FlagCase cases[] = {
        {"as written", "True", true},
        {"false", "False", false},
        {"lower case", "false", false},
        {"minus one is true", "-1", true},
        {"any non-zero number is true", "2.5", true},
        {"zero is false", " 0 ", false},
        {"other words fail", "yes", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseFlag(c.text), c.value) << c.legend;
}

} // namespace
