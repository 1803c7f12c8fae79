#include "ValueFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Rounds the decimal digits `digits` (no point; the point stands after `intDigits` of them, which
// may be negative or beyond the end) to `decimals` places, half away from zero, and writes
// "int.frac".
std::string roundDecimal(std::string digits, int intDigits, int decimals) {
    // Pad so that the point lies inside and every wanted decimal exists.
    if (intDigits < 1) {
        digits.insert(0, static_cast<size_t>(1 - intDigits), '0');
        intDigits = 1;
    }
    const size_t keep = static_cast<size_t>(intDigits + decimals);
    if (digits.size() < keep + 1)
        digits.append(keep + 1 - digits.size(), '0');
    const bool roundUp = digits[keep] >= '5';
    digits.resize(keep);
    if (roundUp) {
        int i = static_cast<int>(keep) - 1;
        for (; i >= 0 && digits[static_cast<size_t>(i)] == '9'; --i)
            digits[static_cast<size_t>(i)] = '0';
        if (i >= 0) {
            ++digits[static_cast<size_t>(i)];
        } else {
            digits.insert(0, 1, '1');
            ++intDigits;
        }
    }
    // Drop leading zeros of the integer part, keeping one digit.
    size_t lead = 0;
    while (static_cast<int>(lead) < intDigits - 1 && digits[lead] == '0')
        ++lead;
    std::string text = digits.substr(lead, static_cast<size_t>(intDigits) - lead);
    text += '.';
    text += digits.substr(static_cast<size_t>(intDigits));
    return text;
}

} // namespace

QString formatValue(double value, int decimals) {
    decimals = std::clamp(decimals, 0, MaxShownDecimals);
    const bool negative = value < 0;
    const QString sign = negative ? QStringLiteral("-") : QStringLiteral(" ");
    if (!std::isfinite(value))
        return sign + (std::isnan(value) ? QStringLiteral("NaN") : QStringLiteral("Inf"));
    // 15 significant digits: "d.dddddddddddddde±x".
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const std::string scientific(buffer);
    const size_t e = scientific.find('e');
    std::string digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
    const int exponent = std::stoi(scientific.substr(e + 1));
    const std::string text = roundDecimal(digits, exponent + 1, decimals);
    return sign + QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString valueFormatPattern(int decimals) {
    const QString zeros(std::clamp(decimals, 0, MaxShownDecimals), QLatin1Char('0'));
    return QStringLiteral("\\ #0.") + zeros + QStringLiteral(";-#0.") + zeros;
}
