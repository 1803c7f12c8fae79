#pragma once

#include "PartRecord.h"

#include <QString>

// Parts made up for the measurement log's tests and benchmarks, the same for the same seed: a
// channel in five has no limits, the others a nominal with tolerance and approach limits, and
// readings spread so that every verdict occurs, good most often.
namespace measurelog {

inline const QString SampleSetup = QStringLiteral("line 3, bore.qor");

// The verdict of a reading as the gauges' zones decide it.
Verdict zoneVerdict(const ValueRecord &value);

// The part's uuid and time are left for the writer unless `fixed` is set, when both follow the
// seed too (for files compared byte for byte).
PartRecord samplePart(int seed, int channels, const QString &setup = SampleSetup,
                      bool fixed = false);

} // namespace measurelog
