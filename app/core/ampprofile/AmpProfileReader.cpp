#include "AmpProfileReader.h"

#include "AmpProfileLayout.h"
#include "AmpProfileText.h"
#include "LineReader.h"
#include "NoticeList.h"

namespace procedures {

namespace {

using namespace profile;

const QString NotAProfile = QStringLiteral("This is not an Amplifier Profile file");

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes), m_lines(bytes, MaxLineLength) {}

    AmpProfileReadResult read();

private:
    // A line the file cannot end before; `inside` names what it would end inside.
    std::string_view requiredLine(const QString &inside);
    [[noreturn]] void fail(const QString &reason) const { m_lines.fail(reason); }
    void notice(const QString &text) { m_notices.add(m_lines.lineNumber(), text); }

    void readHeader();
    void readGeneralSection();
    void readBlock();
    int number(std::string_view line, const QString &expected, SettingRange range) const;

    QByteArrayView m_bytes;
    textfile::LineReader m_lines;
    AmpProfileDocument m_document;
    textfile::NoticeList<AmpProfileNotice> m_notices;
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
    } catch (const textfile::LineFailure &failure) {
        result.error = {failure.lineNumber, failure.lineText, failure.reason};
    }
    result.notices = m_notices.take();
    return result;
}

std::string_view Reader::requiredLine(const QString &inside) {
    if (const std::optional<std::string_view> line = m_lines.next())
        return *line;
    m_lines.failAtEnd(QStringLiteral("the file ends ") + inside);
}

// The first line is compared before anything else is asked of it, so that any other first line,
// binary junk included, is refused as not a profile.
void Reader::readHeader() {
    if (*m_lines.nextUnchecked() != Header)
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
        const QString name =
            QLatin1String(setting.name.data(), static_cast<qsizetype>(setting.name.size()));
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
