#pragma once

#include "LocaleFreeNumbers.h"

#include <optional>
#include <string>
#include <string_view>

// Numbers as the procedures read and write them, locale-free: "." is the decimal point on
// writing; on reading a "," stands for it in a text that has no ".", so a number typed or saved
// where "," is the regional separator reads too.
namespace procedures {

// The number a whole text holds, read as textfile::parseNumber reads it: blanks (and tabs) around
// it allowed, then [sign] digits [. digits] [E [sign] digits] with at least one mantissa digit.
// Empty for anything else and for a magnitude beyond the double range; a magnitude below it reads
// as 0.
inline std::optional<double> parseDecimal(std::string_view text) {
    return textfile::parseNumber<double>(text);
}

// Rounds to the nearest integer, a tie to the even one (2.5 to 2, 3.5 to 4).
using textfile::roundHalfToEven;

// `value` with up to `digits` significant digits, trailing zeros dropped ("1.014835", "9.423",
// "1"); exponent form ("1E-05", "1.5E+07") only below 1E-04 and from 1E+`digits` on. A NaN reads
// "0" and an infinity the largest single of its sign, so the text always reads back as a number.
std::string significantText(float value, int digits);

// `value` with exactly `decimals` digits after the point ("1.50000", "-0.00010"); a value that
// rounds to zero is written without a sign.
std::string fixedText(float value, int decimals);

} // namespace procedures
