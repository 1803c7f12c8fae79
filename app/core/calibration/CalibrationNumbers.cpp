#include "CalibrationNumbers.h"

#include "AmplifierSettings.h"
#include "DecimalText.h"

#include <cmath>
#include <limits>

namespace procedures {

namespace {

constexpr int BoxDecimals = 5;

// The typed text as a number, the regional separator taken as the point.
std::optional<double> typedNumber(QStringView text, QChar decimalSeparator) {
    QString pointed = text.toString();
    if (decimalSeparator != u'.' && !pointed.contains(u'.'))
        pointed.replace(decimalSeparator, u'.');
    // Any character beyond Latin-1 cannot be part of a number; '?' keeps the text refused.
    const QByteArray bytes = pointed.toLatin1();
    return parseDecimal(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

bool fitsSingle(double value) {
    return std::fabs(value) <= std::numeric_limits<float>::max();
}

} // namespace

CheckedNumber checkFullScale(QStringView text, QChar decimalSeparator) {
    const std::optional<double> number = typedNumber(text, decimalSeparator);
    if (!number || *number < MinimumFullScale || !fitsSingle(*number))
        return {std::nullopt,
                QStringLiteral("The full scale must be a number from 0.001 to 3.402823E+38.")};
    return {static_cast<float>(*number), {}};
}

CheckedNumber checkOffset(QStringView text, QChar decimalSeparator) {
    const std::optional<double> number = typedNumber(text, decimalSeparator);
    if (!number || !fitsSingle(*number))
        return {std::nullopt,
                QStringLiteral("The offset must be a number from -3.402823E+38 to 3.402823E+38.")};
    return {static_cast<float>(*number), {}};
}

QString boxText(float value) {
    return QString::fromStdString(fixedText(value, BoxDecimals));
}

} // namespace procedures
