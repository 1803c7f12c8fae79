#include "StringTable.h"

#include "ResourceInit.h"

#include <QFile>

namespace {

// Undoes the two escapes of the table's source: "\n" and "\\".
QString unescape(QStringView raw) {
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == u'\\' && i + 1 < raw.size()) {
            const QChar next = raw[i + 1];
            if (next == u'n' || next == u'\\') {
                out += next == u'n' ? QChar(u'\n') : QChar(u'\\');
                ++i;
                continue;
            }
        }
        out += raw[i];
    }
    return out;
}

} // namespace

StringTable StringTable::parse(QStringView source, QStringList *errors) {
    StringTable table;
    int lineNumber = 0;
    for (QStringView line : source.split(u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        bool numeric = false;
        const int id = equals > 0 ? line.left(equals).trimmed().toInt(&numeric) : 0;
        if (!numeric) {
            if (errors)
                *errors << QStringLiteral("line %1: expected number=text").arg(lineNumber);
            continue;
        }
        table.m_entries.insert(id, unescape(line.mid(equals + 1)));
    }
    return table;
}

QString StringTable::text(int id) const {
    QString out = entry(id);
    // Each step moves to a higher number, so the chain ends after at most size() entries.
    while (out.endsWith(u'_')) {
        out.chop(1);
        ++id;
        if (!contains(id))
            break;
        out += entry(id);
    }
    return out;
}

const StringTable &StringTable::wizard() {
    static const StringTable table = [] {
        loadStationResources();
        QFile file(QStringLiteral(":/qorview/wizard-strings.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return StringTable{};
        return parse(QString::fromUtf8(file.readAll()));
    }();
    return table;
}
