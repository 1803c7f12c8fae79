#pragma once

#include <QString>

#include <optional>

// The counts a QOR-128 can be run with. The channel count and the probe count reach the unit as
// the same count request, which it takes from 1 to its 128 channels; analog inputs are addressed
// by one byte. A count outside these is refused before anything is sent, so the unit and the
// station never part over it.
enum class UnitCount { Channels, Probes, Analogs };

struct UnitCountRange {
    int low;
    int high;
};

constexpr UnitCountRange unitCountRange(UnitCount kind) {
    switch (kind) {
    case UnitCount::Channels:
    case UnitCount::Probes:
        return {1, 128};
    case UnitCount::Analogs:
        break;
    }
    return {0, 255};
}

// Why the unit cannot be run with `count` (e.g. "the unit takes 1 to 128 channels"), or nothing.
std::optional<QString> whyCountRefused(UnitCount kind, int count);
