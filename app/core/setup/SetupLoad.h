#pragma once

#include "LinkSequence.h"
#include "SetupEntries.h"
#include "SetupFileReader.h"
#include "SetupLifecycle.h"

#include <QString>

#include <functional>
#include <optional>

struct UnitObjects;
struct ViewState;

// Loading a setup file that has been read whole and found sound. The unit is programmed with
// exactly the requests a reader that assigns each value as soon as it has read it makes, in its
// order: updating off, ClearSetup, then every value of the file in file order. Values that stay
// in the station (decimals, units, names, groups) are set at the same points, with no exchange.
//
// The file's window rectangles are the station's own and no request depends on them: they are
// taken when the load is planned, so that whatever the station sets after starting a load (the
// stored channel window sizes at start-up) comes after them, as when a load ran to its end at once.

// The counts, decimals and window layout a file is read against: those in force.
setupfile::SetupStationValues valuesInForce(UnitObjects &unit, const ViewState &view);

// Refuses, for the reader, a channel, probe or analog count the unit cannot be run with.
std::optional<QString> unitCountCheck(setupfile::GeneralItem item, int16_t count);

// The sequence that applies `entries` (read against valuesInForce()) and makes `fileName` the
// setup's file. At its end: SetupChanged off, the caption names the file, the main display starts
// over and updating is as the operator chose it. `after` runs last, with whether every step ran.
LinkSequence loadSetupSequence(const SetupParts &parts, const setupfile::SetupEntries &entries,
                               const QString &fileName, std::function<void(bool completed)> after);
