#pragma once

#include "ChannelCalls.h"
#include "GroupMasteringPress.h"
#include "LinkSequence.h"
#include "MasteringMode.h"

#include <memory>
#include <optional>
#include <vector>

class SetupChanges;
struct LinkSession;
struct UnitObjects;

// One press of the group mastering dialog: what it reads, decides and writes, row by row.
struct GroupPress {
    struct Row {
        int channel = 0;
        bool concerned = false; // read (and perhaps written) in this press
        bool hasFormula = false;
        bool usesTwoMasters = false;
    };

    int step = 1;
    procedures::MasteringMode mode = procedures::MasteringMode::master();
    std::vector<Row> rows;
    std::vector<std::optional<double>> measurement1; // of the first press, per row
    std::vector<std::optional<double>> readings;     // of this press, per row
    std::vector<std::shared_ptr<ChannelConstants>> constants;
    std::vector<procedures::GroupRowReads> reads;
    std::vector<procedures::GroupRowOutcome> outcomes;
};

// Adds the press to sequence, one exchange per step: every concerned channel's value first (so
// the measurements are taken as close together as the line allows), then the constants the
// arithmetic needs, then the decision per row, then the writes, zero before scaling. A failed
// call never stops the sequence: it is kept in the row's reads or outcome, and such a row is not
// written.
void addGroupPressSteps(LinkSequence &sequence, const std::shared_ptr<GroupPress> &press,
                        LinkSession &session, const UnitObjects &unit, SetupChanges &setup);
