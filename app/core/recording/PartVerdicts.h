#pragma once

#include "GaugeScale.h"
#include "PartRecord.h"

#include <optional>

// A recorded value's verdict is the colour its gauge shows: the gauges' zone rule decides both,
// so a part recorded as warn was amber on the screen.
namespace recording {

// Good, warn or reject as the gauge's zones place the reading; "no limits" for a channel without
// limits. A reading that is no number never reaches a record (Record refuses it); should one
// come here it is a reject, never a good part.
measurelog::Verdict channelVerdict(double value, const std::optional<GaugeLimits> &limits);

// The zone whose colour shows a verdict; "no limits" has the colour of no zone.
GaugeZone verdictZone(measurelog::Verdict verdict);

} // namespace recording
