#pragma once

#include <cstdint>

// Who follows live values besides the main list: the dialogs whose live-value boxes the poll
// feeds (0 = none wanted), and the other programs that follow channel values.
struct LiveFollowers {
    int16_t MasteringChannel = 0;
    int16_t MasteringGroup = 0;
    int16_t ChannelSetupLiveChannel = 0;
    int16_t LvdtSetupLiveInput = 0;
    int16_t AnalogSetupLiveInput = 0;
    // The probe the amplifier calibration dialog shows while it is open.
    int16_t CalibrationLiveProbe = 0;
    // Conversations other programs have open with the station.
    int DdeLinkCount = 0;
};
