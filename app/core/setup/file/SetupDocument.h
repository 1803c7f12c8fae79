#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace setupfile {

// The remembered display-window rectangles: grid, bar and dial windows of the channel, probe and
// analog views, each as top, left, height and width in twips. The file and the station's layout
// settings keep them in this same order.
inline constexpr int WindowLayoutSize = 36;
using WindowLayout = std::array<int16_t, WindowLayoutSize>;

// The station-wide values of a setup. A file that leaves one out keeps the value the station had
// before the load, so a reader starts from the values in force.
struct SetupStationValues {
    int16_t channelCount = 8; // MaxChannel, sent to the unit
    int16_t probeCount = 8;   // MaxLvdt, sent to the unit
    int16_t analogCount = 1;  // MaxAnalog
    // MaxDigital: kept because a file may set it; nothing uses it and the writer always writes 0.
    int16_t digitalCount = 0;
    int16_t decimals = 5; // SystemDecimals, the default number of decimals
    WindowLayout windowLayout{};

    bool operator==(const SetupStationValues &) const = default;
};

// A channel in use. The fields are the channel object's properties; description, formula and
// every real value live in the unit, index, decimals and units only in the station.
struct ChannelRecord {
    int16_t index = 1;
    QString description;
    QString formula;
    int16_t decimals = 5;
    QString units = QStringLiteral("Inch");
    float master1 = 0.0f;
    float master2 = 0.0f;
    bool useTwoMasters = false;
    float hiTol = 0.0f;
    float hiAppr = 0.0f;
    float loAppr = 0.0f;
    float loTol = 0.0f;
    float scaling = 1.0f;
    float zeroOffset = 0.0f;
    float barDisplayTop = 0.0f;
    float barDisplayBot = 0.0f;

    bool operator==(const ChannelRecord &) const = default;
};

// A probe (LVDT) or an analog input: its name stays in the station, the calibration in the unit.
struct InputRecord {
    int16_t index = 1;
    QString description;
    float fullScale = 0.0f;
    float zeroOffset = 0.0f;

    bool operator==(const InputRecord &) const = default;
};

// A named list of channels with the group's own display-window rectangles (twips). Channel
// numbers are not checked against the channel count: a group may outlive a smaller setup.
struct GroupRecord {
    int16_t index = 1;
    QString description;
    std::vector<int16_t> channels;
    int16_t windowGridTop = 0;
    int16_t windowGridLeft = 0;
    int16_t windowGridHeight = 0;
    int16_t windowGridWidth = 0;
    int16_t windowBarTop = 0;
    int16_t windowBarLeft = 0;
    int16_t windowBarHeight = 0;
    int16_t windowBarWidth = 0;
    int16_t windowDialTop = 0;
    int16_t windowDialLeft = 0;
    int16_t windowDialHeight = 0;
    int16_t windowDialWidth = 0;

    bool operator==(const GroupRecord &) const = default;
};

// Everything one setup file holds.
//
// Channels, probes and analog inputs are listed in ascending index order, each index at most once
// and within 1..its count. A channel is in use exactly when it has a record. A probe or analog
// input without a record keeps its default name and whatever calibration the unit holds; the
// writer of a complete setup lists every one of them.
struct SetupDocument {
    SetupStationValues station;
    std::vector<ChannelRecord> channels;
    std::vector<InputRecord> probes;
    std::vector<InputRecord> analogs;
    std::vector<GroupRecord> groups; // in the order of the group set

    bool operator==(const SetupDocument &) const = default;
};

} // namespace setupfile
