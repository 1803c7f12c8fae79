#include "GroupTexts.h"

QString groupNameFromTyped(const QString &typed) {
    QString name = typed;
    for (QChar &c : name) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return name;
}

QString availableChannelRow(int channel, const QString &description) {
    return QString::number(channel) + QLatin1Char(' ') + description;
}

QString groupEntryRow(int channel, const QStringList &availableRows) {
    if (channel >= 1 && channel <= availableRows.size())
        return availableRows[channel - 1];
    return QString::number(channel) + QStringLiteral(" (no such channel)");
}

QString doubleEntryMessage(const QString &channelRow, int groupPosition, const QString &groupName) {
    return QStringLiteral("Double Entry is not allowed\rChannel [") + channelRow +
           QStringLiteral("]\ris already in Group [") + QString::number(groupPosition) +
           QStringLiteral("] ") + groupName;
}
