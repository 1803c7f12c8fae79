#include "LiveItems.h"

#include <limits>

namespace LiveItems {

namespace {
const QString ItemPrefix = QStringLiteral("labelChan(");
const QString ItemSuffix = QStringLiteral(")");
} // namespace

QString application() {
    return QStringLiteral("qorview");
}

QString topic() {
    return QStringLiteral("Display");
}

QString itemName(int channel) {
    return ItemPrefix + QString::number(channel) + ItemSuffix;
}

std::optional<int> channelOfItem(const QString &item) {
    if (!item.startsWith(ItemPrefix) || !item.endsWith(ItemSuffix))
        return std::nullopt;
    const QStringView digits =
        QStringView(item).mid(ItemPrefix.size(), item.size() - ItemPrefix.size() - 1);
    if (digits.isEmpty() || digits.front() == u'0')
        return std::nullopt;
    int channel = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9' || channel > (std::numeric_limits<int>::max() - 9) / 10)
            return std::nullopt;
        channel = channel * 10 + (c.unicode() - u'0');
    }
    return channel;
}

QString linkText(const QString &application, const QString &topic, const QString &item) {
    return application + QLatin1Char('|') + topic + QLatin1Char('!') + item;
}

} // namespace LiveItems
