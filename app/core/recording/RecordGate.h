#pragma once

#include "LogStatus.h"
#include "RecordingInput.h"

#include <QString>

// Whether Record may run now, and if not, why, in the words the status bar shows after
// "Record: ". Only fresh readings are recorded: every recorded entry of the view needs a reading
// from this tick or the one before, judged against a set-up that has been read.
namespace recording {

enum class GateState {
    Open,
    NoChannels,     // no view with channels is shown
    LogRefuses,     // the log is read-only, damaged, newer, ...: nothing is written to it
    Held,           // the poll is held, updates are off, or a link box is open
    SetupPending,   // a channel's description or limits are still being read
    NoReadings,     // no readings of this view have come yet
    ReadingMissing, // a channel's read failed, or gave no number
    ReadingStale,   // a channel's reading is older than one tick
};

struct GateAnswer {
    GateState state = GateState::Open;
    int channel = 0; // the channel the answer is about, where one is
    QString reason;  // empty when open

    bool isOpen() const { return state == GateState::Open; }
};

// How many ticks old a reading may be and still count as fresh: one the last tick could not renew
// but the tick before read is fresh; anything older is not.
inline constexpr qint64 FreshReadingTicks = 1;

struct GateInput {
    const RecordingView &view;
    const TickReadings *latest = nullptr; // the last tick's readings, if any came
    bool held = false;
    const measurelog::LogStatus &log;
};

GateAnswer recordGate(const GateInput &input);

} // namespace recording
