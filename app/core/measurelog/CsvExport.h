#pragma once

#include "LogFilter.h"

#include <QString>

#include <atomic>
#include <functional>

// The measurement log as CSV for spreadsheets and scripts, parts in the order they were recorded:
// RFC 4180 (fields quoted only when they hold a comma, a quote or a line break, lines ended by
// CR LF), UTF-8 without a byte order mark, a header row, times in UTC with milliseconds
// ("2026-12-07T18:54:32.123Z"), verdicts as words. Values and limits are written with "." and
// the decimals their channel shows, rounded as the gauges showed them; an empty field is no
// value.
//
// Two forms: "wide", one row per part and a column per channel recorded with the setups
// exported ("ch3 Bore diameter", by channel number); "long", one row per value, with the
// channel's limits at the time.
namespace measurelog {

enum class ExportForm { Wide, Long };

struct ExportRequest {
    LogFilter filter;
    ExportForm form = ExportForm::Wide;
};

struct ExportControl {
    std::function<void(double)> progress;     // the fraction done, 0 to 1, now and then
    const std::atomic_bool *cancel = nullptr; // set from any thread to stop; no file is left
};

enum class ExportOutcome { Written, Cancelled, Failed };

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Failed;
    qint64 parts = 0;
    QString failure; // why, when it failed
};

// Writes the parts of the log at `logPath` that pass the filter to `csvPath`, replacing that file
// only once the whole export is written (a failed or cancelled export leaves it as it was). The
// log itself is never a file the export replaces.
ExportResult exportCsv(const QString &logPath, const QString &csvPath, const ExportRequest &request,
                       const ExportControl &control = {});

} // namespace measurelog
