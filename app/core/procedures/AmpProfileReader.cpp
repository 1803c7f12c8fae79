#include "AmpProfileReader.h"

#include "AmpProfileLayout.h"
#include "AmpProfileText.h"

#include <QHash>

namespace procedures {

namespace {

using namespace profile;

const QString NotAProfile = QStringLiteral("This is not an Amplifier Profile file");

// Thrown inside the reader to end it at the first line that cannot be read; never leaves it.
struct ReadFailure {
    AmpProfileReadError error;
};

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes), m_lines(bytes) {}

    AmpProfileReadResult read();

private:
    std::optional<std::string_view> nextLine();
    // A line the file cannot end before; `inside` names what it would end inside.
    std::string_view requiredLine(const QString &inside);
    [[noreturn]] void fail(const QString &reason) const;
    void notice(const QString &text);

    void readHeader();
    void readGeneralSection();
    void readBlock();
    int number(std::string_view line, const QString &expected, SettingRange range) const;

    QByteArrayView m_bytes;
    LineSplitter m_lines;
    std::string_view m_line; // the line read last
    AmpProfileDocument m_document;
    std::vector<AmpProfileNotice> m_notices;
    QHash<QString, size_t> m_noticeAt;
};

AmpProfileReadResult Reader::read() {
    AmpProfileReadResult result;
    try {
        if (!m_bytes.isEmpty()) {
            readHeader();
            const QString fileEnd = QStringLiteral("before its last line %1")
                                        .arg(QLatin1String(ProfileEnd.data(), ProfileEnd.size()));
            for (;;) {
                const std::string_view line = requiredLine(fileEnd);
                if (line == ProfileEnd)
                    break;
                if (line == GeneralSection)
                    readGeneralSection();
                else if (line == BlockStart)
                    readBlock();
                else
                    notice(QStringLiteral("Section:") + displayText(line) +
                           QStringLiteral(" not valid"));
            }
        }
        result.document = std::move(m_document);
    } catch (const ReadFailure &failure) {
        result.error = failure.error;
    }
    result.notices = std::move(m_notices);
    return result;
}

std::optional<std::string_view> Reader::nextLine() {
    const std::optional<std::string_view> line = m_lines.next();
    if (!line)
        return std::nullopt;
    m_line = *line;
    if (const std::optional<QString> problem = whyNotText(m_line))
        fail(*problem);
    return m_line;
}

std::string_view Reader::requiredLine(const QString &inside) {
    if (const std::optional<std::string_view> line = nextLine())
        return *line;
    throw ReadFailure{
        {m_lines.lineNumber() + 1, QString(), QStringLiteral("the file ends ") + inside}};
}

void Reader::fail(const QString &reason) const {
    throw ReadFailure{{m_lines.lineNumber(), displayText(m_line), reason}};
}

void Reader::notice(const QString &text) {
    const auto known = m_noticeAt.constFind(text);
    if (known != m_noticeAt.cend()) {
        ++m_notices[*known].occurrences;
        return;
    }
    m_noticeAt.insert(text, m_notices.size());
    m_notices.push_back({m_lines.lineNumber(), text, 1});
}

// The first line is compared before anything else is asked of it, so that any other first line,
// binary junk included, is refused as not a profile.
void Reader::readHeader() {
    m_line = *m_lines.next();
    if (m_line != Header)
        fail(NotAProfile);
    requiredLine(QStringLiteral("after its first line")); // the version line, whatever it says
}

void Reader::readGeneralSection() {
    const QString inside = QStringLiteral("inside the general section that begins on line %1")
                               .arg(m_lines.lineNumber());
    for (;;) {
        const std::string_view line = requiredLine(inside);
        if (line == GeneralEnd)
            return;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            fail(QStringLiteral("expected an item of the form Name=value"));
        if (line.substr(0, equals) != ProbeCountKey) {
            notice(QStringLiteral("Unknown item in [general setup]\r") + displayText(line));
            continue;
        }
        m_document.probeCount = static_cast<int16_t>(
            number(line.substr(equals + 1), QStringLiteral("the probe count"), ProbeCountRange));
    }
}

void Reader::readBlock() {
    const QString inside =
        QStringLiteral("inside the probe block that begins on line %1").arg(m_lines.lineNumber());
    AmpProfileBlock block;
    block.probe = static_cast<int16_t>(
        number(requiredLine(inside), QStringLiteral("the probe number"), ProbeNumberRange));
    for (const SettingLine &setting : SettingLines) {
        const QString name = QLatin1String(setting.name.data(), setting.name.size());
        setting.set(block.amplifier, number(requiredLine(inside), name, setting.range));
    }
    if (requiredLine(inside) != BlockEnd)
        fail(QStringLiteral("expected %1, the end of the block of probe %2")
                 .arg(QLatin1String(BlockEnd.data(), BlockEnd.size()))
                 .arg(block.probe));
    m_document.blocks.push_back(block);
}

int Reader::number(std::string_view line, const QString &expected, SettingRange range) const {
    const std::optional<int> value = numberInRange(line, range);
    if (!value)
        fail(QStringLiteral("expected %1, a number from %2 to %3")
                 .arg(expected)
                 .arg(range.minimum)
                 .arg(range.maximum));
    return *value;
}

} // namespace

QString AmpProfileReadError::message() const {
    if (lineNumber == 0)
        return reason;
    // Line 1 can only fail as the header.
    if (lineNumber == 1)
        return reason + QLatin1Char('\r') + lineText;
    QString text = QStringLiteral("Line %1: %2").arg(QString::number(lineNumber), reason);
    if (!lineText.isEmpty())
        text += QLatin1Char('\n') + lineText;
    return text;
}

AmpProfileReadResult readAmpProfile(QByteArrayView bytes) {
    return Reader(bytes).read();
}

} // namespace procedures
