#pragma once

#include "AmpProfileDocument.h"

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// Reading an amplifier profile: bytes in, a complete document or one error out. Nothing is sent
// to the unit while reading, so a damaged file changes nothing.
//
// The first line must be "[Amplifier Profile]" exactly; the second is passed over. Then come the
// general section and the probe blocks in any order, up to the end line "[Amplifier Profile
// End]", which must be there (a file cut short would otherwise program only some probes). A block
// holds the probe number, Ri, Rf, fine gain and null, one number a line, each within the unit's
// field (a byte for Ri and Rf, 16 bits for fine gain and null, whatever the scroll bars show), and
// ends with "[END_AMP_PROFILE]". An empty file is an empty profile.
// Lines the station has always passed over (unknown general items, unknown sections) are
// collected as notices in its words.
namespace procedures {

struct AmpProfileReadError {
    int lineNumber = 0; // 1-based; 0 when the file as a whole could not be read
    QString lineText;   // as a message shows it; empty past the end of the file
    QString reason;

    // "Line 12: <reason>" and the line text on a second line. A wrong first line reads "This is
    // not an Amplifier Profile file", a carriage return and the line, as the station has always
    // said it.
    QString message() const;

    bool operator==(const AmpProfileReadError &) const = default;
};

// A line passed over, with the station's text for it. Equal notices are collected once, with
// how often they occurred.
struct AmpProfileNotice {
    int lineNumber = 0; // where it first occurred
    QString text;
    int occurrences = 1;

    bool operator==(const AmpProfileNotice &) const = default;
};

struct AmpProfileReadResult {
    std::optional<AmpProfileDocument> document; // empty when the file could not be read
    AmpProfileReadError error;                  // why, when document is empty
    std::vector<AmpProfileNotice> notices;      // in order of first occurrence
};

AmpProfileReadResult readAmpProfile(QByteArrayView bytes);

} // namespace procedures
