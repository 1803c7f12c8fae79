#pragma once

#include "LinkSequence.h"
#include "SetupLifecycle.h"

#include <QString>

#include <functional>
#include <memory>

// Saving the setup to a file. Everything the file holds that lives in the unit is read back
// through the measurement objects, in the order the writer of this format always read it: each
// channel in use (description, formula, masters, flag, limits, scale, zero, bar scale), each
// probe (full scale, zero), each analog input (full scale, zero). The station's own values (the
// counts, decimals, window layout, channel decimals and units, names, groups) are taken when the
// save starts. Only when every read has gone through is the file replaced, at once and whole:
// a read that fails, a cancelled save or a file that cannot be written leaves the old file and
// SetupChanged as they were.
struct SetupSaveResult {
    enum class Outcome { Saved, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    QString why; // for Failed: what went wrong, naming the file
};

// `cancelled` is looked at before each exchange; set it to stop the save without writing.
LinkSequence saveSetupSequence(const SetupParts &parts, const QString &fileName,
                               std::shared_ptr<const bool> cancelled,
                               std::function<void(const SetupSaveResult &)> done);
