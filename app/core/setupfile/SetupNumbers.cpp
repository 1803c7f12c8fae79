#include "SetupNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace setupfile {

namespace {

// Significant digits of the classic single form, and the most any single needs to read back.
constexpr int ClassicDigits = 7;
constexpr int RoundTripDigits = 9;
// Decimal exponents written without exponent form: 1E-04 up to below 1E+07.
constexpr int FixedExponentFirst = -4;
constexpr int FixedExponentLast = 6;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A "," is the decimal separator of a field written where it is the regional one.
std::string withDecimalPoint(std::string_view text) {
    std::string pointed(text);
    if (pointed.find('.') == std::string::npos) {
        for (char &c : pointed) {
            if (c == ',')
                c = '.';
        }
    }
    return pointed;
}

size_t countDigits(std::string_view text, size_t from) {
    size_t at = from;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at - from;
}

// Length of the number at the start of `text`: [sign] digits [. digits] [E [sign] digits], with at
// least one mantissa digit; 0 when the text does not start with a number. An "E" not followed by
// exponent digits is not part of the number.
size_t numberPrefixLength(std::string_view text) {
    size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    const size_t integerDigits = countDigits(text, at);
    at += integerDigits;
    size_t fractionDigits = 0;
    if (at < text.size() && text[at] == '.') {
        fractionDigits = countDigits(text, at + 1);
        at += 1 + fractionDigits;
    }
    if (integerDigits + fractionDigits == 0)
        return 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        size_t exponentAt = at + 1;
        if (exponentAt < text.size() && (text[exponentAt] == '+' || text[exponentAt] == '-'))
            ++exponentAt;
        const size_t exponentDigits = countDigits(text, exponentAt);
        if (exponentDigits > 0)
            at = exponentAt + exponentDigits;
    }
    return at;
}

// Whether a number that does not fit the target type is too small (rather than too large): its
// decimal order of magnitude is negative.
bool underflows(std::string_view number) {
    const size_t exponentAt = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, exponentAt);
    long exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::string_view digits = number.substr(exponentAt + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
            digits.remove_prefix(1);
        for (char c : digits)
            exponent = std::min(exponent * 10 + (c - '0'), 1'000'000L);
        if (negative)
            exponent = -exponent;
    }
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t firstSignificant = mantissa.find_first_of("123456789");
    const long order = firstSignificant < point ? static_cast<long>(point - firstSignificant) - 1
                                                : -static_cast<long>(firstSignificant - point);
    return order + exponent < 0;
}

// Converts a number accepted by numberPrefixLength; too small a magnitude gives 0.
template <typename Real> std::optional<Real> readNumber(std::string_view number) {
    if (number.front() == '+')
        number.remove_prefix(1);
    Real value{};
    const char *end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (error == std::errc::result_out_of_range)
        return underflows(number) ? std::optional<Real>(Real{0}) : std::nullopt;
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

double roundHalfToEven(double value) {
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return std::round(value);
}

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
    const std::string pointed = withDecimalPoint(text);
    std::string_view rest = pointed;
    while (!rest.empty() && isBlank(rest.front()))
        rest.remove_prefix(1);
    const size_t length = numberPrefixLength(rest);
    if (length == 0)
        return int16_t{0};
    const std::optional<double> value = readNumber<double>(rest.substr(0, length));
    if (!value)
        return std::nullopt;
    const double rounded = roundHalfToEven(*value);
    if (rounded < std::numeric_limits<int16_t>::min() ||
        rounded > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return static_cast<int16_t>(rounded);
}

std::optional<float> parseSingle(std::string_view text) {
    const std::string pointed = withDecimalPoint(text);
    const std::string_view number = trimBlanks(pointed);
    if (number.empty() || numberPrefixLength(number) != number.size())
        return std::nullopt;
    return readNumber<float>(number);
}

std::optional<bool> parseFlag(std::string_view text) {
    const std::string_view word = trimBlanks(text);
    if (equalsIgnoringCase(word, "true"))
        return true;
    if (equalsIgnoringCase(word, "false"))
        return false;
    if (const std::optional<float> number = parseSingle(word))
        return *number != 0.0f;
    return std::nullopt;
}

std::string singleText(float value) {
    if (std::isnan(value))
        value = 0.0f;
    else if (std::isinf(value))
        value = std::copysign(std::numeric_limits<float>::max(), value);
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
