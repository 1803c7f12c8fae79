#pragma once

#include "LinkSequence.h"
#include "SetupLifecycle.h"
#include "SystemSetupFields.h"

#include <functional>

// What OK of the system settings dialog does once every field has been checked (and the operator
// has agreed to the group repair when one is needed), as one sequence of exchanges:
//   the group repair, SystemDecimals, the channel count, the default full scale, the probe count
//   (followed by the channel count again when they differ: the unit keeps one count for both),
//   the analog count (each new input sends its zero and full scale), then burst average, running
//   average and scan period.
// Every OK sends the counts, the averages and the scan period even when they did not change.
//
// When the unit refuses a count (or the line fails) before the counts are all in place, the
// station goes back to the setup it had: the objects that were removed come back as they were,
// the groups get back their entries, the decimals and default full scale their values, and the
// unit is sent the channel and probe counts it had before.
namespace setupforms {

enum class SystemApplyResult {
    Applied,
    // A count or an analog input's defaults did not go through; the setup is as it was.
    CountsRestored,
    // As CountsRestored, but the counts the unit had could not be sent back to it.
    RestoreIncomplete,
    // The counts are in place, but an average or the scan period did not go through.
    UnitSettingsFailed,
};

// Whether a channel count of n leaves every group as it is (no question needed).
bool groupsFitChannelCount(UnitObjects &unit, int channels);

// Runs the apply through `run` (the link scheduler); `done` follows once everything, a restore
// included, has ended. `repairGroups`: the operator agreed to remove the entries above the new
// channel count from the groups.
void applySystemSettings(const SetupParts &parts, const SystemSetupValues &values,
                         bool repairGroups, const std::function<void(LinkSequence)> &run,
                         std::function<void(SystemApplyResult)> done);

// What the operator is told when the apply did not go through.
QString systemApplyFailureText(SystemApplyResult result);

} // namespace setupforms
