#pragma once

#include "CommandLine.h"

// The exports for scripts, each by the command that asks for it, run over the station's own
// settings store: what main() runs instead of the station when the line names one.
int runScriptExport(const CommandLine::ScriptExport &words);
