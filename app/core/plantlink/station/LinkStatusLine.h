#pragma once

#include "LinkState.h"

#include <QString>

namespace plantlink {

// How the status bar shows the link: a few words for where it stands and how many parts wait for
// the broker, and the whole outcome for the tool tip.
struct LinkStatusLine {
    enum class Tone { Good, Busy, Trouble };
    QString text;    // "Plant link: connected, 12 parts to send"
    QString toolTip; // the outcome in full ("The broker did not accept ...")
    Tone tone = Tone::Trouble;

    bool operator==(const LinkStatusLine &) const = default;
};

LinkStatusLine linkStatusLine(const LinkState &state, qint64 waiting);

} // namespace plantlink
