#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

// A numbered table of texts, the way the connection wizard keys its captions. Entries are read
// from lines "number=text" ('#' starts a comment line; "\n" in a text is a line break).
class StringTable {
public:
    // The wizard's table, compiled into the program.
    static const StringTable &wizard();

    // Parses the table's source; malformed lines are skipped and described in errors (if given).
    static StringTable parse(QStringView source, QStringList *errors = nullptr);

    bool contains(int id) const { return m_entries.contains(id); }
    // The entry exactly as stored; empty when missing.
    QString entry(int id) const { return m_entries.value(id); }
    // The entry with its continuations: while the text ends in "_", the "_" is dropped and the
    // entry numbered one higher is appended. A missing continuation ends the text there.
    QString text(int id) const;
    int size() const { return static_cast<int>(m_entries.size()); }

private:
    QHash<int, QString> m_entries;
};
