#pragma once

#include <QString>

// Where the measurement log stands, and why, in words the station shows the operator once.
namespace measurelog {

struct SqliteError;

enum class LogState {
    Ready,             // parts are recorded
    ReadOnly,          // the file or its folder may not be written
    FolderUnavailable, // the folder is missing and cannot be created
    DiskFull,          // the part did not fit; the next one is tried again
    Locked,            // another program held the log past the busy time-out; tried again
    NewerVersion,      // written by a newer QorView: read, never written
    Damaged,           // failed the check at start, or is no database at all: never written
    NotALog,           // another program's database: never written
    Failed,            // any other failure; the next part is tried again
};

struct LogStatus {
    LogState state = LogState::Ready;
    QString reason; // empty when Ready

    bool isReady() const { return state == LogState::Ready; }
    // A state that lasts until the log is opened again: nothing more is tried until then.
    bool refusesWrites() const;

    bool operator==(const LogStatus &) const = default;
};

// A name for logs and test output ("ReadOnly").
const char *stateName(LogState state);

// What a failed SQLite call means for the log at `path`: its state and the words for it, which
// end in what was lost ("the part was not recorded" unless told otherwise).
LogStatus statusOf(const SqliteError &error, const QString &path, const QString &lost = {});

// The words for the states decided without SQLite's help.
LogStatus folderUnavailable(const QString &folder, const QString &why);
LogStatus newerVersion(const QString &path, int version);
LogStatus damaged(const QString &path, const QString &check);
LogStatus notALog(const QString &path);

} // namespace measurelog
