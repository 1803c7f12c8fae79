#pragma once

#include "SetupDocument.h"

#include <array>
#include <cstdint>
#include <variant>
#include <vector>

// What a setup file says, in the order it says it. The document holds where a file leaves the
// setup; these hold how it gets there: a station that programs the unit by replaying them sends
// exactly what a reader assigning every value as soon as it has read it would send, records later
// dropped by a lower count, repeated records and counts set twice included.
namespace setupfile {

// An item of the general section.
enum class GeneralItem { MaxChannel, MaxLvdt, MaxAnalog, MaxDigital, MaxStrain, Decimals };

struct GeneralEntry {
    GeneralItem item;
    int16_t value = 0;
};

// A window section: values 4 * section ... 4 * section + 3 of the window layout.
struct WindowEntry {
    int section = 0;
    std::array<int16_t, 4> values{};
};

struct ChannelEntry {
    ChannelRecord record;
};
struct ProbeEntry {
    InputRecord record;
};
struct AnalogEntry {
    InputRecord record;
};
struct GroupEntry {
    GroupRecord record;
};

struct SetupEntry {
    int lineNumber = 0; // where the item or the record's section line stands
    std::variant<GeneralEntry, WindowEntry, ChannelEntry, ProbeEntry, AnalogEntry, GroupEntry> what;
};

using SetupEntries = std::vector<SetupEntry>;

} // namespace setupfile
