#pragma once

#include "SetupDocument.h"
#include "SetupEntries.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// Reading a setup file: bytes in, a complete document or one error out. Nothing outside the
// result changes, so the station applies a setup only once all of it has been read.
//
// The first line is a header and is skipped whatever it holds. Sections follow in any order, each
// introduced by its name on a line of its own; records are read by line count, their end line
// taken whatever it holds. A channel, probe or analog record must name an object that exists
// under the counts in force at that point of the file: the counts given by the caller, as changed
// by the general section lines read so far. Lowering a count drops the records beyond it. A
// channel's description and formula go to the unit and are held to its text rules (UnitTexts.h)
// at their own line, so a file is refused there rather than half sent.
// Whatever the file leaves out keeps the caller's values (counts, decimals, window layout).
namespace setupfile {

// Why a file could not be read, at which line.
struct SetupReadError {
    int lineNumber = 0; // 1-based; 0 when the file as a whole could not be read
    QString lineText;   // as displayText() shows it; empty past the end of the file
    QString reason;

    // "Line 12: <reason>" and the line text on a second line.
    QString message() const;

    bool operator==(const SetupReadError &) const = default;
};

// A line the reader passed over, with the text the station shows for it: "Unknown item in
// [general setup]", a carriage return and the line, or "Section:", the line and " not valid".
// Equal notices are collected once, with how often they occurred.
struct SetupNotice {
    int lineNumber = 0; // where it first occurred
    QString text;
    int occurrences = 1;

    bool operator==(const SetupNotice &) const = default;
};

struct SetupReadResult {
    std::optional<SetupDocument> document; // empty when the file could not be read
    SetupReadError error;                  // why, when document is empty
    std::vector<SetupNotice> notices;      // in order of first occurrence
    SetupEntries entries;                  // what the file says in file order, with the document
};

// Why a count the file sets cannot be taken (beyond the reader's own rule that a count is not
// negative), or nothing: how the station refuses counts its unit cannot be run with.
using CountCheck = std::function<std::optional<QString>(GeneralItem item, int16_t count)>;

// `inForce`: the station's counts, decimals and window layout before the load.
SetupReadResult readSetup(QByteArrayView bytes, const SetupStationValues &inForce,
                          const CountCheck &countCheck = {});

} // namespace setupfile
