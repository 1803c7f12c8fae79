#include "ValueFormat.h"

#include <gtest/gtest.h>

namespace {

struct FormatCase {
    double value;
    int decimals;
    const char *shown;
};

TEST(ValueFormat, BlankOrMinusThenAtLeastOneDigitAndExactDecimals) {
    const FormatCase cases[] = {
        {0.125, 5, " 0.12500"},
        {-0.125, 5, "-0.12500"},
        {0.0, 5, " 0.00000"},
        {-0.0, 5, " 0.00000"},
        {3.0, 0, " 3."},
        {-3.0, 0, "-3."},
        {0.0, 0, " 0."},
        {2.5, 0, " 3."},
        {-2.5, 0, "-3."},
        {0.125, 2, " 0.13"},
        {1.005, 2, " 1.01"},
        {9.9996, 3, " 10.000"},
        {-0.000001, 5, "-0.00000"},
        {12345.678, 1, " 12345.7"},
        {1234567.0, 2, " 1234567.00"},
        {static_cast<double>(0.1f), 5, " 0.10000"},
        {static_cast<double>(25.000918f), 5, " 25.00092"},
        {1e-20, 5, " 0.00000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatValue(c.value, c.decimals), QString::fromLatin1(c.shown))
            << c.value << " with " << c.decimals;
}

TEST(ValueFormat, DecimalsOutsideTheShownRangeAreClamped) {
    EXPECT_EQ(formatValue(1.5, -3), QStringLiteral(" 2."));
    EXPECT_EQ(formatValue(1.0, 40).size(), 3 + MaxShownDecimals);
}

TEST(ValueFormat, PatternText) {
    EXPECT_EQ(valueFormatPattern(5), QStringLiteral("\\ #0.00000;-#0.00000"));
    EXPECT_EQ(valueFormatPattern(0), QStringLiteral("\\ #0.;-#0."));
}

} // namespace
