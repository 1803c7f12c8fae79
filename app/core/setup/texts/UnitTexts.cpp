#include "UnitTexts.h"

#include <QList>

namespace {

bool isLatin1Gap(char32_t c) {
    return c >= 0x80 && c <= 0x9F;
}

} // namespace

QString unitTextFromTyped(const QString &text) {
    QString clean = text;
    for (QChar &c : clean) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return clean;
}

std::optional<QString> whyUnitTextRefused(const QString &fieldName, const QString &text) {
    if (text.size() > MaxUnitTextLength)
        return QStringLiteral("%1 is %2 characters long; the unit takes at most %3 characters.")
            .arg(fieldName)
            .arg(text.size())
            .arg(MaxUnitTextLength);
    if (text.contains(QLatin1Char('~')))
        return QStringLiteral("%1 cannot hold the character \"~\": the unit takes it as the start "
                              "of a new command.")
            .arg(fieldName);
    for (const char32_t c : text.toUcs4()) {
        if (isLatin1Gap(c))
            return QStringLiteral("%1 cannot hold the code 0x%2: it is no Latin-1 character, and "
                                  "the unit takes only Latin-1 characters.")
                .arg(fieldName)
                .arg(static_cast<uint>(c), 2, 16, QLatin1Char('0'));
        if (c > 0xFF)
            return QStringLiteral("%1 cannot hold the character \"%2\": the unit takes only "
                                  "Latin-1 characters.")
                .arg(fieldName, QString::fromUcs4(&c, 1));
    }
    return std::nullopt;
}
