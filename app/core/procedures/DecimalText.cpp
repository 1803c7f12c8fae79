#include "DecimalText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace procedures {

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

// Whether the whole of `text` is one number of the accepted form.
bool isNumber(std::string_view text) {
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
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        const size_t exponentDigits = countDigits(text, at);
        if (exponentDigits == 0)
            return false;
        at += exponentDigits;
    }
    return at == text.size();
}

// A number that from_chars finds out of range is either too large or too small; its decimal
// order of magnitude tells which.
bool isTiny(std::string_view number) {
    const size_t exponentAt = number.find_first_of("eE");
    long exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::string_view digits = number.substr(exponentAt + 1);
        const bool negative = digits.front() == '-';
        if (digits.front() == '-' || digits.front() == '+')
            digits.remove_prefix(1);
        for (char c : digits)
            exponent = std::min(exponent * 10 + (c - '0'), 1'000'000L);
        if (negative)
            exponent = -exponent;
    }
    const std::string_view mantissa = number.substr(0, exponentAt);
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t firstSignificant = mantissa.find_first_of("123456789");
    const long order = firstSignificant < point ? static_cast<long>(point - firstSignificant) - 1
                                                : -static_cast<long>(firstSignificant - point);
    return order + exponent < 0;
}

float finiteSingle(float value) {
    if (std::isnan(value))
        return 0.0f;
    if (std::isinf(value))
        return std::copysign(std::numeric_limits<float>::max(), value);
    return value;
}

} // namespace

std::optional<double> parseDecimal(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    std::string number(text);
    if (number.find('.') == std::string::npos) {
        for (char &c : number) {
            if (c == ',')
                c = '.';
        }
    }
    if (!isNumber(number))
        return std::nullopt;
    std::string_view digits = number;
    if (digits.front() == '+') // from_chars takes a minus sign only
        digits.remove_prefix(1);
    double value = 0.0;
    const char *end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (error == std::errc::result_out_of_range)
        return isTiny(digits) ? std::optional<double>(0.0) : std::nullopt;
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

double roundHalfToEven(double value) {
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return std::round(value);
}

std::string significantText(float value, int digits) {
    value = finiteSingle(value);
    if (value == 0.0f)
        return "0";
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    std::string text(buffer, written.ptr);
    // to_chars writes "1e-05"; the station's texts use "1E-05".
    const size_t e = text.find('e');
    if (e != std::string::npos)
        text[e] = 'E';
    return text;
}

std::string fixedText(float value, int decimals) {
    value = finiteSingle(value);
    char buffer[128];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, written.ptr);
    if (text.front() == '-' && text.find_first_of("123456789") == std::string::npos)
        text.erase(0, 1);
    return text;
}

} // namespace procedures
