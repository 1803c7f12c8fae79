// Control lines that steer the simulated unit while it runs (standard input, --control FIFO,
// or qorsim_control in the stand-in USB library).
#pragma once

#include "unit.h"

#include <string>
#include <string_view>

namespace qorsim {

struct ControlOutcome {
    bool ok = true;
    bool quit = false;
    std::string text; // what to print: the status line, or why the line was refused
};

ControlOutcome applyControl(Unit &unit, std::string_view line);

} // namespace qorsim
