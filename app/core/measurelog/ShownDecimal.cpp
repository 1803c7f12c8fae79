#include "ShownDecimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace measurelog {

namespace {

constexpr int SignificantDigits = 15;
constexpr int MaxDecimals = 15;

} // namespace

void appendShownDecimal(std::string &out, double value, int decimals) {
    if (!std::isfinite(value)) {
        out += std::isnan(value) ? "NaN" : value < 0 ? "-Inf" : "Inf";
        return;
    }
    decimals = std::clamp(decimals, 0, MaxDecimals);
    // "d.dddddddddddddde±x": the shortest form that still holds every digit shown.
    char scientific[32];
    const char *end = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                                    std::chars_format::scientific, SignificantDigits - 1)
                          .ptr;
    const char *e = std::find(static_cast<const char *>(scientific), end, 'e');
    int exponent = 0;
    std::from_chars(e[1] == '+' ? e + 2 : e + 1, end, exponent);

    // The digits with the point after `whole` of them; zeros before them when the value is
    // below 1, and after them up to the digit that decides the rounding.
    char digits[SignificantDigits + 2 * 330];
    int length = 0;
    int whole = exponent + 1;
    if (whole < 1) {
        std::memset(digits, '0', static_cast<size_t>(1 - whole));
        length = 1 - whole;
        whole = 1;
    }
    digits[length++] = scientific[0];
    for (const char *digit = scientific + 2; digit < e; ++digit)
        digits[length++] = *digit;
    const int keep = whole + decimals;
    while (length <= keep)
        digits[length++] = '0';

    const bool roundUp = digits[keep] >= '5';
    length = keep;
    if (roundUp) {
        int i = keep - 1;
        for (; i >= 0 && digits[i] == '9'; --i)
            digits[i] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            std::memmove(digits + 1, digits, static_cast<size_t>(length));
            digits[0] = '1';
            ++length;
            ++whole;
        }
    }
    int lead = 0;
    while (lead < whole - 1 && digits[lead] == '0')
        ++lead;
    if (value < 0 && std::any_of(digits + lead, digits + length, [](char c) { return c != '0'; }))
        out += '-';
    out.append(digits + lead, static_cast<size_t>(whole - lead));
    if (decimals > 0) {
        out += '.';
        out.append(digits + whole, static_cast<size_t>(decimals));
    }
}

} // namespace measurelog
