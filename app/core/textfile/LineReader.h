#pragma once

#include "TextLines.h"

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <string_view>

namespace textfile {

// Where and why a reader stopped. Thrown inside a reader, which catches it once around the whole
// read and turns it into its own error; it never leaves the reader.
struct LineFailure {
    int lineNumber = 0; // 1-based; one past the last line for a file that ends too soon
    QString lineText;   // as displayText() shows it; empty past the end of the file
    QString reason;
};

// The lines of a file for a reader that stops at the first line it cannot take. Each line is
// checked as it is read: one that is not text, or longer than the file's limit, ends the read.
class LineReader {
public:
    LineReader(QByteArrayView bytes, qsizetype maxLineLength)
        : m_lines(bytes), m_maxLineLength(maxLineLength) {}

    // The next line without its end; empty at the end of the bytes. Throws a LineFailure at a
    // line that cannot be part of the file.
    std::optional<std::string_view> next();
    // The next line as it is, for a first line compared before anything else is asked of it.
    std::optional<std::string_view> nextUnchecked();
    // 1-based number of the line read last; 0 before the first.
    int lineNumber() const { return m_lines.lineNumber(); }

    // Ends the read at the line read last.
    [[noreturn]] void fail(const QString &reason) const;
    // Ends the read past the last line, for a file that ends where it cannot.
    [[noreturn]] void failAtEnd(const QString &reason) const;

private:
    LineSplitter m_lines;
    qsizetype m_maxLineLength;
    std::string_view m_line;
};

} // namespace textfile
