#include "StationTexts.h"

#include "UnitTexts.h"

#include <QList>

namespace setupforms {

std::optional<QString> whyStationTextRefused(const QString &fieldName, const QString &text) {
    // Only the character set matters here: the station's texts never travel in a request line,
    // so neither its length limit nor its "~" apply. The first character outside Latin-1 alone
    // gets the unit's words for it.
    for (const char32_t c : text.toUcs4()) {
        if (c > 0xFF)
            return whyUnitTextRefused(fieldName, QString::fromUcs4(&c, 1));
    }
    return std::nullopt;
}

} // namespace setupforms
