#pragma once

#include "MasteringArithmetic.h"
#include "MasteringMode.h"

#include <QString>

#include <optional>
#include <vector>

// One press of the group mastering dialog, decided from what the press read, before anything is
// written: per row of the group, what is written and what the row shows; for the whole group,
// what the dialog says next.
//
// A row is written only when its channel exists, has a formula, its reads went through and the
// arithmetic gave sound constants. A channel without a formula, or a group entry naming a channel
// the set does not have, can never be mastered: its row says so and the group still completes
// without it. Any other row that could not be mastered
// (a failed read, readings too close, a computation refused) fails the round, its constants stay
// as they are, and the whole group is taken again from master 1.
namespace procedures {

// What a press read of one channel. Empty values are reads that failed.
struct GroupRowReads {
    bool hasFormula = true;      // as found when the dialog loaded the group
    bool usesTwoMasters = false; // as found when the dialog loaded the group
    std::optional<double> reading;
    std::optional<double> zeroOffset;
    std::optional<double> scaling; // read on the second press only
    std::optional<double> master1;
    std::optional<double> master2; // read on the second press only
};

enum class RowFault {
    None,
    NoFormula,          // skipped, not a failure of the group
    NoSuchChannel,      // skipped likewise: the group names a channel beyond the set
    ReadFailed,         // the channel or one of its constants could not be read
    NoFirstMeasurement, // master 1 of this channel was not measured in the first press
    Refused,            // the arithmetic refused (readings too close, scaling 0, ...)
    WriteFailed,        // the unit did not take a new constant
};

struct GroupRowOutcome {
    bool concerned = false; // this press handles the row at all
    RowFault fault = RowFault::None;
    MasteringRefusal refusal = MasteringRefusal::None; // with RowFault::Refused
    std::optional<double> measurement;                 // what the press measured
    std::optional<double> newZero;                     // to be written
    std::optional<double> newScaling;                  // to be written after the zero

    bool failed() const {
        return fault != RowFault::None && fault != RowFault::NoFormula &&
               fault != RowFault::NoSuchChannel;
    }
    // Short text for the measurement cell when no measurement can be shown.
    QString cellText() const;
    // Why the row was not written, for the operator; empty when it was.
    QString reason(int channel) const;
};

// A row that no press can master: the channel does not exist, or has no formula; nothing for one
// that can.
std::optional<GroupRowOutcome> skippedRow(bool exists, bool hasFormula);

// The first press: every row is measured; one-press rows are zeroed.
GroupRowOutcome firstPressRow(const GroupRowReads &reads, MasteringMode mode);
// The second press: only two-master rows (in master mode) are measured and get new constants.
GroupRowOutcome secondPressRow(const GroupRowReads &reads, std::optional<double> measurement1,
                               MasteringMode mode);

// What the dialog shows and does after a press.
struct GroupPressEnd {
    QString instruction;
    QString masteringError;
    bool buttonEnabled = true;
    bool masterAgainCaption = false; // the button says "Master Again" from now on
    bool redInstruction = false;
    int nextStep = 1;
    bool failureFlag = false;
};

// step: the press just made (1 or 2); secondPressNeeded: the group has two-master channels in
// master mode; roundFailed: a row of this round (its first press included) failed;
// failureFlagBefore: the previous round ended in a failure.
GroupPressEnd endOfPress(int step, bool secondPressNeeded, bool roundFailed,
                         bool failureFlagBefore);

} // namespace procedures
