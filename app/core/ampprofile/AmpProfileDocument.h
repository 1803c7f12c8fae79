#pragma once

#include "AmplifierSettings.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace procedures {

// The amplifier settings of one probe input, as a profile keeps them.
struct AmpProfileBlock {
    int16_t probe = 1;
    AmplifierSettings amplifier;

    bool operator==(const AmpProfileBlock &) const = default;
};

// Everything an amplifier profile file holds: the probe count of the unit it was saved from and
// one block per probe, in file order. A block may name a probe beyond the count of the unit it is
// loaded into; such blocks are skipped there.
struct AmpProfileDocument {
    std::optional<int16_t> probeCount; // empty when the file gives none
    std::vector<AmpProfileBlock> blocks;

    bool operator==(const AmpProfileDocument &) const = default;
};

} // namespace procedures
