// Control lines that steer the simulated unit while it runs (standard input, --control FIFO,
// or qorsim_control in the stand-in USB library).
#pragma once

#include "faults.h"
#include "unit.h"

#include <string>
#include <string_view>

namespace qorsim {

struct ControlOutcome {
    bool ok = true;
    bool quit = false;
    std::string text; // what to print: the status line, or why the line was refused
};

// Applies one line to the unit, or to the faults it shows ("fail ...").
ControlOutcome applyControl(Unit &unit, FaultInjector &faults, std::string_view line);

} // namespace qorsim
