#pragma once

#include <optional>
#include <string>
#include <string_view>

// Decimal numbers read without the locale: "." is the decimal point, and a "," stands for it in a
// text that has no ".", so a file saved, or a number typed, where "," is the regional separator
// reads too. The layouts numbers are written in belong to each file.
namespace textfile {

// Blanks are spaces and tabs.
std::string_view trimBlanks(std::string_view text);

// `text` with each "," made a "." when it holds no ".".
std::string withDecimalPoint(std::string_view text);

// Length of the number at the start of `text`: [sign] digits [. digits] [E [sign] digits], with at
// least one mantissa digit; 0 when the text does not start with a number. An "E" not followed by
// exponent digits is not part of the number.
size_t numberLength(std::string_view text);

// The number a whole text holds, blanks around it allowed, "," read as above. Empty for anything
// else (an empty text, "inf", "0x10", trailing text) and for a magnitude beyond the range of
// `Real`; a magnitude below its smallest reads as 0. Defined for float and double.
template <typename Real> std::optional<Real> parseNumber(std::string_view text);
extern template std::optional<float> parseNumber<float>(std::string_view text);
extern template std::optional<double> parseNumber<double>(std::string_view text);

// Rounds to the nearest integer, a tie to the even one (2.5 to 2, 3.5 to 4).
double roundHalfToEven(double value);

// `value` rounded by roundHalfToEven; empty when that lies outside minimum..maximum.
std::optional<int> roundedWithin(double value, int minimum, int maximum);

// A single whose text always reads back as a number: NaN becomes 0 and an infinity the largest
// single of its sign.
float finiteSingle(float value);

} // namespace textfile
