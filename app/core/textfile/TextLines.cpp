#include "TextLines.h"

namespace textfile {

namespace {

constexpr qsizetype ShownCharacters = 200;

} // namespace

std::optional<std::string_view> LineSplitter::next() {
    if (atEnd())
        return std::nullopt;
    const qsizetype feed = m_bytes.indexOf('\n', m_next);
    const qsizetype end = feed < 0 ? m_bytes.size() : feed;
    qsizetype length = end - m_next;
    if (length > 0 && m_bytes[end - 1] == '\r')
        --length;
    const std::string_view line(m_bytes.data() + m_next, static_cast<size_t>(length));
    m_next = feed < 0 ? m_bytes.size() : feed + 1;
    ++m_lineNumber;
    return line;
}

std::optional<QString> whyNotText(std::string_view line, qsizetype maxLineLength) {
    if (static_cast<qsizetype>(line.size()) > maxLineLength)
        return QStringLiteral("the line is longer than %1 characters").arg(maxLineLength);
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (isControlByte(byte))
            return QStringLiteral("the line is not text: it holds the control character 0x%1")
                .arg(byte, 2, 16, QLatin1Char('0'));
    }
    return std::nullopt;
}

QString displayText(std::string_view line) {
    const bool shortened = static_cast<qsizetype>(line.size()) > ShownCharacters;
    if (shortened)
        line = line.substr(0, static_cast<size_t>(ShownCharacters));
    QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    for (QChar &c : text) {
        if (isControlByte(static_cast<unsigned char>(c.unicode())))
            c = QChar::ReplacementCharacter;
    }
    if (shortened)
        text += QChar(0x2026);
    return text;
}

} // namespace textfile
