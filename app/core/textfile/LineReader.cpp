#include "LineReader.h"

namespace textfile {

std::optional<std::string_view> LineReader::next() {
    const std::optional<std::string_view> line = nextUnchecked();
    if (line) {
        if (const std::optional<QString> problem = whyNotText(*line, m_maxLineLength))
            fail(*problem);
    }
    return line;
}

std::optional<std::string_view> LineReader::nextUnchecked() {
    const std::optional<std::string_view> line = m_lines.next();
    if (line)
        m_line = *line;
    return line;
}

void LineReader::fail(const QString &reason) const {
    throw LineFailure{m_lines.lineNumber(), displayText(m_line), reason};
}

void LineReader::failAtEnd(const QString &reason) const {
    throw LineFailure{m_lines.lineNumber() + 1, QString(), reason};
}

} // namespace textfile
