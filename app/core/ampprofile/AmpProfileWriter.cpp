#include "AmpProfileWriter.h"

#include "AmpProfileLayout.h"
#include "AmpProfileText.h"

#include <string>

namespace procedures {

namespace {

using namespace profile;

class LineWriter {
public:
    void line(std::string_view text) {
        m_bytes.append(text.data(), static_cast<qsizetype>(text.size()));
        m_bytes.append("\r\n");
    }
    void number(int value) { line(printStyle(value)); }

    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
};

} // namespace

QByteArray writeAmpProfile(const AmpProfileDocument &document) {
    LineWriter out;
    out.line(Header);
    out.line(VersionLine);
    if (document.probeCount) {
        out.line(GeneralSection);
        out.line(std::string(ProbeCountKey) + "=" + printStyle(*document.probeCount));
        out.line(GeneralEnd);
    }
    for (const AmpProfileBlock &block : document.blocks) {
        out.line(BlockStart);
        out.number(block.probe);
        for (const SettingLine &setting : SettingLines)
            out.number(setting.get(block.amplifier));
        out.line(BlockEnd);
    }
    out.line(ProfileEnd);
    return out.take();
}

} // namespace procedures
