// The unit's non-volatile memory as a text file: stored setups, amplifier calibration and
// stored frequencies.
#pragma once

#include "unit.h"

#include <string>

namespace qorsim {

// Reads path into out. A missing file gives an empty memory and true; an unreadable or
// malformed one gives false with the reason (out then holds what was read before the fault).
bool loadNonVolatile(const std::string &path, NonVolatile &out, std::string &error);
// Writes the memory to path through a temporary file, so a crash never leaves half a file.
bool saveNonVolatile(const std::string &path, const NonVolatile &nv, std::string &error);

} // namespace qorsim
