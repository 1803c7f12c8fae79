#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <string_view>

// Lines of a text file the operator keeps, and what a line may hold.
namespace textfile {

// Splits the bytes of a file into lines. A line ends with a line feed, with or without a carriage
// return before it; the last line needs no end (a carriage return alone there is its cut-off end).
// Lines are views into the bytes, never copies, so an enormous line costs one scan.
class LineSplitter {
public:
    explicit LineSplitter(QByteArrayView bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_next >= m_bytes.size(); }
    // The next line without its end; empty at the end of the bytes.
    std::optional<std::string_view> next();
    // 1-based number of the line next() returned last; 0 before the first.
    int lineNumber() const { return m_lineNumber; }

private:
    QByteArrayView m_bytes;
    qsizetype m_next = 0;
    int m_lineNumber = 0;
};

// Bytes that text never holds: control characters other than the tab.
inline bool isControlByte(unsigned char c) {
    return (c < 0x20 && c != '\t') || c == 0x7F;
}

// Why a line cannot be part of a file whose lines are at most `maxLineLength` bytes long (too
// long, or a control character other than a tab); empty when it can.
std::optional<QString> whyNotText(std::string_view line, qsizetype maxLineLength);

// A line as it can be shown in a message: its first 200 characters (with "…" when there were
// more), control characters shown as U+FFFD.
QString displayText(std::string_view line);

} // namespace textfile
