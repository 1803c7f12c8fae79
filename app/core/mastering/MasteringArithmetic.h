#pragma once

#include <QString>

// The arithmetic of zeroing and mastering a channel. A channel shows u × S + Z, with u its
// unscaled value, S its scaling and Z its zero offset. Zeroing moves Z so that the reading of
// master 1 shows M1; two-master mastering finds S and Z so that the readings of master 1 and
// master 2 show M1 and M2.
//
// The channel dialog computes in doubles. The group dialog holds u1, u2, M1 − M2, the new scaling
// and the numerator of the new zero as singles between the steps, and its new zero of a one-press
// channel as a single, so its results may differ from the channel dialog's in the last digits of
// a single.
//
// A computation that cannot give sound constants is refused: nothing is to be written then.
namespace procedures {

// Two readings of a two-master channel closer than this cannot tell the masters apart.
inline constexpr double MinimumMasterSpread = 0.00005;

enum class Intermediates {
    Doubles, // the channel dialog
    GroupSingles,
};

enum class MasteringRefusal {
    None,
    NotANumber,     // a reading or constant is not a finite number
    SpreadTooSmall, // the two readings are closer than MinimumMasterSpread
    ZeroScaling,    // S = 0: no unscaled value can be taken back from a reading
    EqualUnscaled,  // u1 = u2 although the readings differ (only at the edge of precision)
    OutOfRange,     // the new constants do not fit the singles the unit keeps
};

// The channel's constants as the computation found them; unchanged ones are passed through.
struct MasteringResult {
    MasteringRefusal refusal = MasteringRefusal::None;
    double zeroOffset = 0.0;
    double scaling = 1.0;

    bool succeeded() const { return refusal == MasteringRefusal::None; }
    bool operator==(const MasteringResult &) const = default;
};

struct ZeroInput {
    double reading = 0.0; // of master 1
    double zeroOffset = 0.0;
    double scaling = 1.0; // passed through
    double master1 = 0.0;
};

struct TwoMasterInput {
    double reading1 = 0.0;
    double reading2 = 0.0;
    double zeroOffset = 0.0;
    double scaling = 1.0;
    double master1 = 0.0;
    double master2 = 0.0;
};

// Z' = M1 − (r1 − Z); the scaling stays.
MasteringResult zeroChannel(const ZeroInput &input, Intermediates intermediates);

// u = (r − Z) / S, S' = (M1 − M2) / (u1 − u2), Z' = (M2 × u1 − M1 × u2) / (u1 − u2).
MasteringResult masterChannel(const TwoMasterInput &input, Intermediates intermediates);

// The text that tells the operator why a computation was refused. A spread too small reads
// "Mastering unsuccessful." as the channel dialog has always said it; the group dialog marks such
// a row with its own words.
QString refusalText(MasteringRefusal refusal);

} // namespace procedures
