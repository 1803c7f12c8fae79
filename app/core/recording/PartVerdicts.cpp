#include "PartVerdicts.h"

namespace recording {

using measurelog::Verdict;

Verdict channelVerdict(double value, const std::optional<GaugeLimits> &limits) {
    if (!limits)
        return Verdict::NoLimits;
    switch (gaugeZone(value, *limits)) {
    case GaugeZone::Good:
        return Verdict::Good;
    case GaugeZone::Warning:
        return Verdict::Warn;
    case GaugeZone::Reject:
    case GaugeZone::Unknown:
        break;
    }
    return Verdict::Reject;
}

GaugeZone verdictZone(Verdict verdict) {
    switch (verdict) {
    case Verdict::Good:
        return GaugeZone::Good;
    case Verdict::Warn:
        return GaugeZone::Warning;
    case Verdict::Reject:
        return GaugeZone::Reject;
    case Verdict::NoLimits:
        break;
    }
    return GaugeZone::Unknown;
}

} // namespace recording
