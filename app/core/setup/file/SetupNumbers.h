#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How numbers and flags of a setup file are written and read. Everything is locale-free: the
// decimal separator is "." on writing; on reading a "," stands for it in a field that has no ".",
// so files saved where "," is the separator open too.
namespace setupfile {

// A 16-bit field (counts, indexes, decimals, window values): the number at the start of the text
// after leading blanks, rounded to the nearest integer with ties to the even one. Text that does
// not start with a number reads as 0. Empty when the value lies outside -32768..32767.
std::optional<int16_t> parseWholeNumber(std::string_view text);

// A single-precision field: the whole text, blanks around it allowed, in plain or exponent form
// (".5", "5.", "-1.5E-05"). Empty for anything else, for an empty text and for a magnitude beyond
// the largest single; a magnitude below the smallest one reads as 0.
std::optional<float> parseSingle(std::string_view text);

// A flag field: "True" or "False" in any letter case, or a number (non-zero is true).
std::optional<bool> parseFlag(std::string_view text);

// The text of a single: the classic general form with up to 7 significant digits, trailing zeros
// dropped and exponent form ("1E-05", "1.234568E+07") below 1E-04 and from 1E+07 on. Only where 7
// digits do not read back as the same single are 8 or 9 used, in the same layout. A NaN is written
// as 0 and an infinity as the largest single of its sign, so the text always reads back.
std::string singleText(float value);

// Field lines as the file holds them: a blank before a number that is not negative, a blank after
// it; flags as "True" or "False".
std::string wholeNumberField(int16_t value);
std::string singleField(float value);
std::string flagField(bool value);

} // namespace setupfile
