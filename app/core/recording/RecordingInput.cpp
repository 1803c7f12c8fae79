#include "RecordingInput.h"

#include "DisplayContent.h"

#include <algorithm>

namespace recording {

int RecordingView::recordedCount() const {
    return static_cast<int>(std::count_if(channels.begin(), channels.end(), [](const auto &c) {
        return c.state != SetupState::Missing;
    }));
}

ChannelSetup channelSetupFrom(int channel, const GaugeSetup &gauge) {
    ChannelSetup setup;
    setup.channel = channel;
    setup.description = gauge.fullLabel;
    setup.decimals = gauge.decimals;
    if (gauge.hasLimits)
        setup.limits = GaugeLimits{gauge.loTol, gauge.loAppr, gauge.hiAppr, gauge.hiTol};
    switch (gauge.setup) {
    case ItemSetup::Known:
        setup.state = SetupState::Known;
        break;
    case ItemSetup::Pending:
        setup.state = SetupState::Pending;
        break;
    case ItemSetup::Missing:
        setup.state = SetupState::Missing;
        break;
    }
    return setup;
}

} // namespace recording
