#include "LinkStatusLine.h"

namespace plantlink {

namespace {

struct KindWords {
    LinkState::Kind kind;
    const char *words;
    LinkStatusLine::Tone tone;
};

constexpr KindWords Words[] = {
    {LinkState::Connected, "connected", LinkStatusLine::Tone::Good},
    {LinkState::Connecting, "connecting", LinkStatusLine::Tone::Busy},
    {LinkState::Disconnected, "not connected", LinkStatusLine::Tone::Trouble},
    {LinkState::NameNotResolved, "broker not found", LinkStatusLine::Tone::Trouble},
    {LinkState::Refused, "refused", LinkStatusLine::Tone::Trouble},
    {LinkState::Unreachable, "broker not reachable", LinkStatusLine::Tone::Trouble},
    {LinkState::TlsFailure, "TLS failure", LinkStatusLine::Tone::Trouble},
    {LinkState::NotAuthorised, "not authorised", LinkStatusLine::Tone::Trouble},
};

} // namespace

LinkStatusLine linkStatusLine(const LinkState &state, qint64 waiting) {
    LinkStatusLine line;
    QString words = QStringLiteral("not connected");
    for (const KindWords &entry : Words) {
        if (entry.kind == state.kind) {
            words = QLatin1String(entry.words);
            line.tone = entry.tone;
        }
    }
    line.text = QStringLiteral("Plant link: %1").arg(words);
    if (waiting == 1)
        line.text += QStringLiteral(", 1 part to send");
    else if (waiting > 1)
        line.text += QStringLiteral(", %1 parts to send").arg(waiting);
    line.toolTip = state.text;
    return line;
}

} // namespace plantlink
