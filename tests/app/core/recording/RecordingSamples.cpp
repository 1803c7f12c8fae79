#include "RecordingSamples.h"

namespace recording {

double nominalOf(int channel) {
    return 10.0 + channel;
}

ChannelSetup limitedChannel(int channel) {
    ChannelSetup setup;
    setup.channel = channel;
    setup.description = QStringLiteral("Diameter %1").arg(channel);
    setup.decimals = 4;
    const double nominal = nominalOf(channel);
    setup.nominal = nominal;
    setup.limits = GaugeLimits{nominal - Tolerance, nominal - Approach, nominal + Approach,
                               nominal + Tolerance};
    setup.state = SetupState::Known;
    return setup;
}

ChannelSetup unlimitedChannel(int channel) {
    ChannelSetup setup = limitedChannel(channel);
    setup.description = QStringLiteral("Temperature %1").arg(channel);
    setup.nominal.reset();
    setup.limits.reset();
    return setup;
}

RecordingView limitedView(int count, const QString &name) {
    RecordingView view{name, {}};
    for (int channel = 1; channel <= count; ++channel)
        view.channels.push_back(limitedChannel(channel));
    return view;
}

TickReadings readingsAt(const RecordingView &view, qint64 tick,
                        const std::vector<std::optional<double>> &offsets) {
    TickReadings readings{tick, {}};
    for (size_t i = 0; i < view.channels.size(); ++i) {
        const int channel = view.channels[i].channel;
        ChannelReading reading{channel, std::nullopt, tick};
        if (i < offsets.size() && offsets[i])
            reading.value = nominalOf(channel) + *offsets[i];
        readings.channels.push_back(reading);
    }
    return readings;
}

TickReadings uniformReadings(const RecordingView &view, qint64 tick, double offset) {
    return readingsAt(view, tick, std::vector<std::optional<double>>(view.channels.size(), offset));
}

} // namespace recording
