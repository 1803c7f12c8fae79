#pragma once

#include "RecordingInput.h"

#include <QString>

#include <initializer_list>
#include <optional>
#include <vector>

// Views and ticks for the recording tests and benchmarks: channel n has the nominal 10 + n with
// tolerance limits 0.010 and approach limits 0.008 either side, four decimals.
namespace recording {

inline constexpr double Tolerance = 0.010;
inline constexpr double Approach = 0.008;

double nominalOf(int channel);
ChannelSetup limitedChannel(int channel);
ChannelSetup unlimitedChannel(int channel);
// A view of channels 1..count, every one with limits and known.
RecordingView limitedView(int count, const QString &name = QStringLiteral("Channels"));

// Readings read in `tick`, one per entry of `view`, each its nominal plus the offset given for it
// (nothing: the read failed).
TickReadings readingsAt(const RecordingView &view, qint64 tick,
                        const std::vector<std::optional<double>> &offsets);
// Every entry at its nominal plus `offset`.
TickReadings uniformReadings(const RecordingView &view, qint64 tick, double offset);

} // namespace recording
