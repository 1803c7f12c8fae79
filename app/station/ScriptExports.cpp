#include "ScriptExports.h"

#include "ExportSpcCommand.h"
#include "ExportStudyCommand.h"
#include "ScriptExportRun.h"
#include "Settings.h"

namespace {

measurelog::CommandOutcome exportSpc(const CommandLine::ScriptExport &words,
                                     const QString &logPath) {
    spclog::ExportSpcOptions options;
    options.file = words.file;
    options.channel = words.value("--channel");
    options.subgroup = words.value("--subgroup");
    options.baseline = words.value("--baseline");
    options.since = words.value("--since");
    options.until = words.value("--until");
    options.setup = words.given("--setup");
    options.logPath = logPath;
    return spclog::exportSpcCommand(options);
}

measurelog::CommandOutcome exportStudy(const CommandLine::ScriptExport &words,
                                       const QString &logPath) {
    const studyrun::ExportStudyOutcome outcome =
        studyrun::exportStudyCommand({words.file, words.value("--study"), logPath});
    return {outcome.exitCode, outcome.message};
}

recording::ScriptExporter exporterFor(const QString &command) {
    if (command == QLatin1String("--export-spc"))
        return exportSpc;
    if (command == QLatin1String("--export-study"))
        return exportStudy;
    return recording::exportLog;
}

} // namespace

int runScriptExport(const CommandLine::ScriptExport &words) {
    const SettingsStore settings;
    return recording::runScriptExport(words, exporterFor(words.command), settings);
}
