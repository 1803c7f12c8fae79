#include "ScriptExportRun.h"

#include "MeasureSettings.h"
#include "Settings.h"

namespace recording {

int runScriptExport(const CommandLine::ScriptExport &words, const ScriptExporter &exporter,
                    const SettingsStore &settings, std::FILE *out, std::FILE *errors) {
    measurelog::CommandOutcome outcome;
    if (!words.mistake.isEmpty())
        outcome = {measurelog::ExportBadOption, words.mistake};
    else
        outcome = exporter(words, readMeasureSettings(settings).logPath());
    const bool written = outcome.exitCode == measurelog::ExportWritten;
    std::fprintf(written ? out : errors, "qorview: %s\n", qPrintable(outcome.message));
    return outcome.exitCode;
}

measurelog::CommandOutcome exportLog(const CommandLine::ScriptExport &words,
                                     const QString &logPath) {
    measurelog::ExportLogOptions options;
    options.file = words.file;
    options.since = words.value("--since");
    options.until = words.value("--until");
    options.setup = words.given("--setup");
    options.format = words.value("--format");
    options.logPath = logPath;
    return measurelog::exportLogCommand(options);
}

} // namespace recording
