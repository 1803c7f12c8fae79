#include "RecordGate.h"

#include <cmath>

namespace recording {

namespace {

GateAnswer closed(GateState state, const QString &reason, int channel = 0) {
    return {state, channel, reason};
}

bool sameEntries(const RecordingView &view, const TickReadings &readings) {
    if (readings.channels.size() != view.channels.size())
        return false;
    for (size_t i = 0; i < view.channels.size(); ++i) {
        if (readings.channels[i].channel != view.channels[i].channel)
            return false;
    }
    return true;
}

} // namespace

GateAnswer recordGate(const GateInput &input) {
    const RecordingView &view = input.view;
    if (view.recordedCount() == 0)
        return closed(GateState::NoChannels, QStringLiteral("no view with channels is shown"));
    if (input.log.refusesWrites())
        return closed(GateState::LogRefuses, input.log.reason);
    if (input.held)
        return closed(GateState::Held, QStringLiteral("the readings are on hold"));
    for (const ChannelSetup &setup : view.channels) {
        if (setup.state == SetupState::Pending)
            return closed(
                GateState::SetupPending,
                QStringLiteral("the set-up of channel %1 is still being read").arg(setup.channel),
                setup.channel);
    }
    const TickReadings *latest = input.latest;
    if (latest == nullptr || !sameEntries(view, *latest))
        return closed(GateState::NoReadings,
                      QStringLiteral("waiting for the first readings of the view"));
    for (size_t i = 0; i < view.channels.size(); ++i) {
        if (view.channels[i].state == SetupState::Missing)
            continue;
        const ChannelReading &reading = latest->channels[i];
        if (!reading.value || !std::isfinite(*reading.value) || reading.tick <= 0)
            return closed(GateState::ReadingMissing,
                          QStringLiteral("channel %1 has no reading").arg(reading.channel),
                          reading.channel);
        if (latest->tick - reading.tick > FreshReadingTicks)
            return closed(GateState::ReadingStale,
                          QStringLiteral("the reading of channel %1 is older than one tick")
                              .arg(reading.channel),
                          reading.channel);
    }
    return {};
}

} // namespace recording
