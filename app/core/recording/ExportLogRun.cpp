#include "ExportLogRun.h"

#include "MeasureSettings.h"
#include "Settings.h"

namespace recording {

measurelog::ExportLogOptions exportLogOptions(const CommandLine::ExportLog &words,
                                              const SettingsStore &settings) {
    measurelog::ExportLogOptions options;
    options.file = words.file;
    options.since = words.since;
    options.until = words.until;
    options.setup = words.setup;
    options.format = words.format;
    options.logPath = readMeasureSettings(settings).logPath();
    return options;
}

int runExportLog(const CommandLine::ExportLog &words, const SettingsStore &settings, std::FILE *out,
                 std::FILE *errors) {
    measurelog::CommandOutcome outcome;
    if (!words.mistake.isEmpty())
        outcome = {measurelog::ExportBadOption, words.mistake};
    else
        outcome = measurelog::exportLogCommand(exportLogOptions(words, settings));
    const bool written = outcome.exitCode == measurelog::ExportWritten;
    std::fprintf(written ? out : errors, "qorview: %s\n", qPrintable(outcome.message));
    return outcome.exitCode;
}

int runExportLog(const CommandLine::ExportLog &words) {
    const SettingsStore settings;
    return runExportLog(words, settings);
}

} // namespace recording
