// Factory contents of the unit's channels: "empty" or "demo".
#pragma once

#include "unit.h"

#include <string>

namespace qorsim {

// Fills setup (already sized and at its defaults) with the named preset.
void applyPreset(const std::string &name, Setup &setup);

} // namespace qorsim
