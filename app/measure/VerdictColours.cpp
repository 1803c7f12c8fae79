#include "VerdictColours.h"

#include "LinearGauge.h"
#include "PartVerdicts.h"

std::optional<QColor> verdictColour(std::optional<measurelog::Verdict> verdict) {
    if (!verdict || *verdict == measurelog::Verdict::NoLimits)
        return std::nullopt;
    return LinearGauge::zoneColor(recording::verdictZone(*verdict));
}
