#pragma once

#include "GaugeScale.h"

#include <QString>

#include <optional>
#include <vector>

struct GaugeSetup;

// What recording is fed: the view the operator watches, its channels' set-ups as the displays
// read them, and each tick's readings. Plain data, so whatever delivers the poll's readings hands
// them over as they are.
namespace recording {

// How much of a channel's set-up the station has read from the unit: a reading is judged (and
// recorded) only against limits that are known.
enum class SetupState {
    Known,   // read: its description, decimals and limits hold
    Pending, // still being read, or a read failed
    Missing, // a group entry naming a channel the unit does not have: it is never read or recorded
};

struct ChannelSetup {
    int channel = 0;
    QString description;
    int decimals = 0;
    std::optional<double> nominal;
    // The tolerance (reject) and approach (warn) limits; none for a channel without limits.
    std::optional<GaugeLimits> limits;
    SetupState state = SetupState::Pending;
};

// The view or group on display: its name, as the log keeps it, and its entries in the view's
// order. No entries: a view without channels (probes, analog inputs, or none at all).
struct RecordingView {
    QString name;
    std::vector<ChannelSetup> channels;

    // Entries that are recorded: every one but those naming a missing channel.
    int recordedCount() const;
};

struct ChannelReading {
    int channel = 0;
    std::optional<double> value; // empty: the read failed
    qint64 tick = 0;             // the tick it was read in; 0: never read
};

// What one tick of the poll has for the view: one reading per entry of the view, in its order
// (entries naming a missing channel included, their value ignored), each with the tick it was
// read in, so a reading the tick could not renew shows its age.
struct TickReadings {
    qint64 tick = 0;
    std::vector<ChannelReading> channels;
};

// A channel gauge's set-up as the displays read it, for channel `channel`.
ChannelSetup channelSetupFrom(int channel, const GaugeSetup &gauge);

} // namespace recording
