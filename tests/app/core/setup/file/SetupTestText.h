#pragma once

#include "SetupDocument.h"

#include <QByteArray>

#include <string>
#include <string_view>
#include <vector>

// Setup file texts for tests, written with "\n" and turned into the file's "\r\n" line ends.
inline QByteArray crlf(std::string_view text) {
    QByteArray bytes;
    for (const char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}

// The 18 lines of a channel record for channel `index`, named `description`.
inline std::string channelRecordText(int index, std::string_view description) {
    return "[Channel]\n " + std::to_string(index) + " \n" + std::string(description) +
           "\nP1\n 4 \nmm\n 1 \n 2 \nFalse\n 3 \n 4 \n 5 \n 6 \n 1 \n 0 \n 7 \n 8 \n"
           "[End Channel]\n";
}

// The station values the reader tests start from.
inline setupfile::SetupStationValues testValuesInForce() {
    setupfile::SetupStationValues values;
    values.channelCount = 8;
    values.probeCount = 8;
    values.analogCount = 1;
    values.digitalCount = 0;
    values.decimals = 5;
    values.windowLayout.fill(7);
    return values;
}

// Records with the given fields and defaults for the rest.
inline setupfile::ChannelRecord channelRecord(int16_t index, const QString &description = {}) {
    setupfile::ChannelRecord channel;
    channel.index = index;
    channel.description = description;
    return channel;
}

inline setupfile::InputRecord inputRecord(int16_t index, const QString &description = {}) {
    setupfile::InputRecord input;
    input.index = index;
    input.description = description;
    return input;
}

inline setupfile::GroupRecord groupRecord(int16_t index, const QString &description,
                                          std::vector<int16_t> channels = {}) {
    setupfile::GroupRecord group;
    group.index = index;
    group.description = description;
    group.channels = std::move(channels);
    return group;
}
