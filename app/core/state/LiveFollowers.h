#pragma once

#include <cstdint>

// The latest reading of MasteringChannel the poll delivered to the channel mastering dialog,
// failed reads included, as the dialog keeps it. The number grows with every reading, so the
// dialog can tell a reading taken after it prepared a channel from an older one.
struct MasteringReadingRecord {
    int16_t channel = 0; // 0: nothing stored yet
    uint64_t sequence = 0;
    double value = 0.0;
    bool valid = false; // false when the read failed
};

// What the dialogs have the poll follow for their live-value boxes (0 = none wanted; each dialog
// subscribes for its own), and the other programs that follow channel values.
struct LiveFollowers {
    int16_t MasteringChannel = 0;
    MasteringReadingRecord MasteringReading;
    // The group mastering dialog's own group; the poll reads it whatever the main list shows.
    int16_t MasteringGroup = 0;
    int16_t ChannelSetupLiveChannel = 0;
    int16_t LvdtSetupLiveInput = 0;
    int16_t AnalogSetupLiveInput = 0;
    // The probe the amplifier calibration dialog shows while it is open.
    int16_t CalibrationLiveProbe = 0;
    // Conversations other programs have open with the station.
    int DdeLinkCount = 0;
};
