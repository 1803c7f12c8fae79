#pragma once

#include "MemorySpcSource.h"

#include <cstddef>

// A demonstration run for the SPC window, its pictures and its benchmarks: a turned part's
// channels with what an engineer looks for. The bore drifts upwards in the second half of the
// run and has a few far readings, the shaft is steady and capable, the flange height's tolerance
// was tightened part-way, the runout has only an upper limit and the coolant temperature none.
namespace spc {

inline constexpr int DemoChannelCount = 5;

// Adds the first `channels` demo channels (channel numbers 1 up) with `parts` parts each, one
// every 30 seconds from firstTimeMs. The same arguments give the same readings.
void addDemoRun(MemorySpcSource &source, std::size_t parts, qint64 firstTimeMs,
                int channels = DemoChannelCount);

} // namespace spc
