#include "TypedNumbers.h"

#include "LocaleFreeNumbers.h"

#include <QByteArray>
#include <QLocale>

#include <cmath>
#include <limits>
#include <string_view>

namespace setupforms {

QChar regionalDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

std::optional<double> typedNumber(QStringView text, QChar decimalSeparator) {
    QString pointed = text.toString();
    if (decimalSeparator != u'.' && !pointed.contains(u'.'))
        pointed.replace(decimalSeparator, u'.');
    // A character beyond Latin-1 cannot be part of a number; '?' keeps the text refused.
    const QByteArray bytes = pointed.toLatin1();
    return textfile::parseNumber<double>(
        std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

std::optional<int> typedInteger(QStringView text, QChar decimalSeparator, int low, int high) {
    const std::optional<double> number = typedNumber(text, decimalSeparator);
    if (!number)
        return std::nullopt;
    return textfile::roundedWithin(*number, low, high);
}

std::optional<float> typedSingle(QStringView text, QChar decimalSeparator) {
    const std::optional<double> number = typedNumber(text, decimalSeparator);
    if (!number || std::fabs(*number) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*number);
}

QString rangeWords(int low, int high) {
    return QStringLiteral("from %1 to %2").arg(low).arg(high);
}

} // namespace setupforms
