#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace textfile {

// One field of a CSV row (RFC 4180): as it is, or in double quotes with its quotes doubled when
// it holds a comma, a quote or a line break.
QString csvField(const QString &text);

// A CSV text built a row at a time, each row ended by CRLF, for a file written in UTF-8.
class CsvText {
public:
    void row(const QStringList &fields);
    void blank() { m_text += QStringLiteral("\r\n"); }
    QByteArray bytes() const { return m_text.toUtf8(); }

private:
    QString m_text;
};

} // namespace textfile
