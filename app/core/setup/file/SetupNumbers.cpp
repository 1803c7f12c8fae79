#include "SetupNumbers.h"

#include "LocaleFreeNumbers.h"

#include <charconv>
#include <cstdlib>
#include <limits>

namespace setupfile {

namespace {

// Significant digits of the classic single form, and the most any single needs to read back.
constexpr int ClassicDigits = 7;
constexpr int RoundTripDigits = 9;
// Decimal exponents written without exponent form: 1E-04 up to below 1E+07.
constexpr int FixedExponentFirst = -4;
constexpr int FixedExponentLast = 6;

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCaseWord) {
    if (text.size() != lowerCaseWord.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != lowerCaseWord[i])
            return false;
    }
    return true;
}

// `value` (finite, non-zero) rounded to `digits` significant digits in the classic layout.
std::string classicText(float value, int digits) {
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, digits - 1);
    std::string_view scientific(buffer, static_cast<size_t>(written.ptr - buffer));
    std::string text;
    if (scientific.front() == '-') {
        text = "-";
        scientific.remove_prefix(1);
    }
    // "d.ddddddde+XX": the digits, then the exponent with its sign.
    const size_t e = scientific.find('e');
    std::string significant;
    for (char c : scientific.substr(0, e)) {
        if (c != '.')
            significant += c;
    }
    while (significant.size() > 1 && significant.back() == '0')
        significant.pop_back();
    const bool negativeExponent = scientific[e + 1] == '-';
    int exponent = 0;
    std::from_chars(scientific.data() + e + 2, scientific.data() + scientific.size(), exponent);
    if (negativeExponent)
        exponent = -exponent;

    if (exponent < FixedExponentFirst || exponent > FixedExponentLast) {
        text += significant.front();
        if (significant.size() > 1) {
            text += '.';
            text.append(significant, 1);
        }
        text += negativeExponent ? "E-" : "E+";
        if (std::abs(exponent) < 10)
            text += '0';
        text += std::to_string(std::abs(exponent));
    } else if (exponent < 0) {
        text += "0.";
        text.append(static_cast<size_t>(-exponent - 1), '0');
        text += significant;
    } else {
        const size_t integerDigits = static_cast<size_t>(exponent) + 1;
        if (significant.size() <= integerDigits) {
            text += significant;
            text.append(integerDigits - significant.size(), '0');
        } else {
            text.append(significant, 0, integerDigits);
            text += '.';
            text.append(significant, integerDigits);
        }
    }
    return text;
}

} // namespace

std::optional<int16_t> parseWholeNumber(std::string_view text) {
    const std::string pointed = textfile::withDecimalPoint(text);
    const std::string_view rest = textfile::trimBlanks(pointed);
    const size_t length = textfile::numberLength(rest);
    if (length == 0)
        return int16_t{0};
    const std::optional<double> value = textfile::parseNumber<double>(rest.substr(0, length));
    if (!value)
        return std::nullopt;
    const std::optional<int> rounded = textfile::roundedWithin(
        *value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
    if (!rounded)
        return std::nullopt;
    return static_cast<int16_t>(*rounded);
}

std::optional<float> parseSingle(std::string_view text) {
    return textfile::parseNumber<float>(text);
}

std::optional<bool> parseFlag(std::string_view text) {
    const std::string_view word = textfile::trimBlanks(text);
    if (equalsIgnoringCase(word, "true"))
        return true;
    if (equalsIgnoringCase(word, "false"))
        return false;
    if (const std::optional<float> number = parseSingle(word))
        return *number != 0.0f;
    return std::nullopt;
}

std::string singleText(float value) {
    value = textfile::finiteSingle(value);
    if (value == 0.0f)
        return "0";
    for (int digits = ClassicDigits; digits < RoundTripDigits; ++digits) {
        std::string text = classicText(value, digits);
        if (parseSingle(text) == value)
            return text;
    }
    return classicText(value, RoundTripDigits);
}

std::string wholeNumberField(int16_t value) {
    return (value < 0 ? "" : " ") + std::to_string(value) + " ";
}

std::string singleField(float value) {
    const std::string text = singleText(value);
    return (text.front() == '-' ? "" : " ") + text + " ";
}

std::string flagField(bool value) {
    return value ? "True" : "False";
}

} // namespace setupfile
