#include "UnitLimits.h"

std::optional<QString> whyCountRefused(UnitCount kind, int count) {
    const UnitCountRange range = unitCountRange(kind);
    if (count >= range.low && count <= range.high)
        return std::nullopt;
    const char *const noun = kind == UnitCount::Channels ? "channels"
                             : kind == UnitCount::Probes ? "probes"
                                                         : "analog inputs";
    return QStringLiteral("the unit takes %1 to %2 %3")
        .arg(QString::number(range.low), QString::number(range.high), QLatin1String(noun));
}
