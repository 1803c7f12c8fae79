#pragma once

#include <QString>

#include <optional>

// `qorview --export-log FILE [--since ISO] [--until ISO] [--setup NAME] [--format wide|long]`:
// the export for scripts, with no window. The options arrive as the command line gave them.
namespace measurelog {

struct ExportLogOptions {
    QString file;
    QString since; // empty when not given
    QString until;
    std::optional<QString> setup;
    QString format;  // empty means wide
    QString logPath; // the log to read; empty for the station's default location
};

// Exit codes: 0 written, 1 the log could not be read or the file not written, 2 an option is
// wrong (nothing is read or written then).
enum ExportExit { ExportWritten = 0, ExportFailed = 1, ExportBadOption = 2 };

struct CommandOutcome {
    int exitCode = ExportWritten;
    QString message; // one line for the terminal, on success too
};

CommandOutcome exportLogCommand(const ExportLogOptions &options);

} // namespace measurelog
