#pragma once

#include "SpcDataSource.h"

#include <QDateTime>
#include <QString>

#include <optional>

// The SPC figures of one channel written to a CSV file without a window, for scripts: the same
// file the SPC window saves (see SpcCsv.h).
namespace spc {

struct SpcExportOptions {
    QString file;
    int channel = 0;
    std::optional<int> subgroupSize; // else the size last chosen for the channel
    // Given: limits from the first k subgroups, in place of any frozen ones. Else the frozen
    // limits, or those of the first 25 subgroups where none are frozen.
    std::optional<int> baselineSubgroups;
    std::optional<QDateTime> since; // parts recorded from then on
    std::optional<QDateTime> until; // parts recorded up to then
};

inline constexpr int SpcExportDone = 0;
inline constexpr int SpcExportFailed = 1;     // the parts could not be read, none were in the
                                              // range, or the file could not be written
inline constexpr int SpcExportBadOptions = 2; // nothing was read

struct SpcExportResult {
    int exitCode = SpcExportDone;
    QString message; // what was written, or what is wrong
};

SpcExportResult exportSpc(SpcDataSource &source, const SpcExportOptions &options);

} // namespace spc
