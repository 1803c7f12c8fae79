#pragma once

#include "AmpProfileDocument.h"
#include "AmplifierRequests.h"
#include "CalibrationSession.h"

#include <QString>

#include <optional>
#include <vector>

// What saving and loading a profile asks of the unit. Saving reads every probe first and writes
// the file only when all reads worked; loading sends a profile only once all of it has been read.
namespace procedures {

// Reads for a profile: per probe 1 to `probeCount`, one exchange of its gain settings, fine gain
// and null.
std::vector<AmpExchange> profileReadRequests(int probeCount);

// The profile of a unit whose probe amplifiers read `amplifiers` (probe 1 first); its probe
// count is their number.
AmpProfileDocument profileOfUnit(const std::vector<AmplifierSettings> &amplifiers);

// Shown before a load when the file's probe count differs from the unit's: "Number of LVDTs
// stored in this file,", a carriage return and "differs from current setting". Empty otherwise.
std::optional<QString> probeCountNotice(const AmpProfileDocument &document, int unitProbeCount);

// The exchanges that send a profile to a unit with `unitProbeCount` probes, in file order.
// Blocks for probes beyond the count are skipped. Every value goes as the file holds it. The probe
// the calibration dialog shows gets its settings through the dialog's session (`shown`), which
// sends only what the unit holds differently and moves the scroll bars with them; every other
// probe one exchange of its gain, fine gain and null. Afterwards the dialog's Cancel puts back
// the loaded state; the unit is then made to store its calibration.
std::vector<AmpExchange> profileLoadRequests(const AmpProfileDocument &document, int unitProbeCount,
                                             CalibrationSession &shown);

// "The amplifier settings of probe 3 could not be read; <path> was not changed."
QString profileReadFailedText(int probe, const QString &path);

} // namespace procedures
