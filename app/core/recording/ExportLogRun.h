#pragma once

#include "CommandLine.h"
#include "ExportLogCommand.h"

#include <cstdio>

class SettingsStore;

// `qorview --export-log ...` as main() runs it, before any window: the log the station records
// to (the Measure settings' place, else the default one) written as CSV. The outcome's line goes
// to `out` on success and to `errors` otherwise; returns the exit code (measurelog::ExportExit).
namespace recording {

measurelog::ExportLogOptions exportLogOptions(const CommandLine::ExportLog &words,
                                              const SettingsStore &settings);

int runExportLog(const CommandLine::ExportLog &words, const SettingsStore &settings,
                 std::FILE *out = stdout, std::FILE *errors = stderr);
// The same over the station's own settings store.
int runExportLog(const CommandLine::ExportLog &words);

} // namespace recording
