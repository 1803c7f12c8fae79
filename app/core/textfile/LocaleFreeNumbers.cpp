#include "LocaleFreeNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace textfile {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t countDigits(std::string_view text, size_t from) {
    size_t at = from;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at - from;
}

// Whether a number that from_chars finds out of range is too small (rather than too large): its
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

} // namespace

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string withDecimalPoint(std::string_view text) {
    std::string pointed(text);
    if (pointed.find('.') == std::string::npos)
        std::replace(pointed.begin(), pointed.end(), ',', '.');
    return pointed;
}

size_t numberLength(std::string_view text) {
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

template <typename Real> std::optional<Real> parseNumber(std::string_view text) {
    const std::string pointed = withDecimalPoint(trimBlanks(text));
    std::string_view number = pointed;
    if (number.empty() || numberLength(number) != number.size())
        return std::nullopt;
    if (number.front() == '+') // from_chars takes a minus sign only
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

template std::optional<float> parseNumber<float>(std::string_view text);
template std::optional<double> parseNumber<double>(std::string_view text);

double roundHalfToEven(double value) {
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return std::round(value);
}

std::optional<int> roundedWithin(double value, int minimum, int maximum) {
    const double rounded = roundHalfToEven(value);
    if (rounded < minimum || rounded > maximum)
        return std::nullopt;
    return static_cast<int>(rounded);
}

float finiteSingle(float value) {
    if (std::isnan(value))
        return 0.0f;
    if (std::isinf(value))
        return std::copysign(std::numeric_limits<float>::max(), value);
    return value;
}

} // namespace textfile
