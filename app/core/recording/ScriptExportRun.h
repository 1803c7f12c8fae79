#pragma once

#include "CommandLine.h"
#include "ExportLogCommand.h"

#include <cstdio>
#include <functional>

class SettingsStore;

// An export for scripts (`qorview --export-log ...` and the others) as main() runs it, before any
// window: over the log the station records to (the Measure settings' place, else the default
// one). The outcome's line goes to `out` on success and to `errors` otherwise; the exit code is
// measurelog::ExportExit's.
namespace recording {

// The export a command line asks for, over the log at `logPath`.
using ScriptExporter = std::function<measurelog::CommandOutcome(
    const CommandLine::ScriptExport &words, const QString &logPath)>;

int runScriptExport(const CommandLine::ScriptExport &words, const ScriptExporter &exporter,
                    const SettingsStore &settings, std::FILE *out = stdout,
                    std::FILE *errors = stderr);

// `--export-log FILE [--since ISO] [--until ISO] [--setup NAME] [--format wide|long]`.
measurelog::CommandOutcome exportLog(const CommandLine::ScriptExport &words,
                                     const QString &logPath);

} // namespace recording
