#pragma once

#include "ExportLogCommand.h"

#include <QString>

#include <optional>

// `qorview --export-spc FILE --channel N [--subgroup K] [--baseline K] [--since ISO]
// [--until ISO] [--setup NAME]`: a channel's SPC figures from the measurement log as CSV, for
// scripts, with no window. The options arrive as the command line gave them; the exit codes and
// the one line for the terminal are those of --export-log.
namespace spclog {

struct ExportSpcOptions {
    QString file;
    QString channel;
    QString subgroup; // empty: the size last chosen for the channel
    QString baseline; // empty: the frozen limits, else those of the first subgroups
    QString since;
    QString until;
    // The setup file whose parts are charted; by default the one the newest part was recorded
    // with, as that is the setup a station runs.
    std::optional<QString> setup;
    QString logPath; // the log to read; empty for the station's default location
};

measurelog::CommandOutcome exportSpcCommand(const ExportSpcOptions &options);

} // namespace spclog
