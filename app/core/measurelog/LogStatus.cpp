#include "LogStatus.h"

#include "Sqlite.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <sqlite3.h>

namespace measurelog {

namespace {

// Where the file is, whatever folder the station was started from.
QString shown(const QString &path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

bool isDiskFull(const SqliteError &error) {
    if (error.primaryCode() == SQLITE_FULL)
        return true;
    // A write refused for its size (a quota, the process's file size limit) is a full disk to
    // the operator, whichever way SQLite classed it.
    return error.primaryCode() == SQLITE_IOERR &&
           (error.systemErrno == ENOSPC || error.systemErrno == EFBIG ||
            error.systemErrno == EDQUOT);
}

bool isReadOnly(const SqliteError &error) {
    if (error.primaryCode() == SQLITE_READONLY || error.primaryCode() == SQLITE_PERM)
        return true;
    return error.primaryCode() == SQLITE_CANTOPEN &&
           (error.systemErrno == EACCES || error.systemErrno == EROFS ||
            error.systemErrno == EPERM);
}

} // namespace

bool LogStatus::refusesWrites() const {
    switch (state) {
    case LogState::ReadOnly:
    case LogState::FolderUnavailable:
    case LogState::NewerVersion:
    case LogState::Damaged:
    case LogState::NotALog:
        return true;
    case LogState::Ready:
    case LogState::DiskFull:
    case LogState::Locked:
    case LogState::Failed:
        break;
    }
    return false;
}

const char *stateName(LogState state) {
    switch (state) {
    case LogState::Ready:
        return "Ready";
    case LogState::ReadOnly:
        return "ReadOnly";
    case LogState::FolderUnavailable:
        return "FolderUnavailable";
    case LogState::DiskFull:
        return "DiskFull";
    case LogState::Locked:
        return "Locked";
    case LogState::NewerVersion:
        return "NewerVersion";
    case LogState::Damaged:
        return "Damaged";
    case LogState::NotALog:
        return "NotALog";
    case LogState::Failed:
        break;
    }
    return "Failed";
}

LogStatus statusOf(const SqliteError &error, const QString &path, const QString &lost) {
    const int code = error.primaryCode();
    const QString what = lost.isEmpty() ? QStringLiteral("the part was not recorded") : lost;
    if (isDiskFull(error))
        return {LogState::DiskFull,
                QStringLiteral("The disk that holds the measurement log %1 is full: %2.")
                    .arg(shown(path), what)};
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return {LogState::Locked,
                QStringLiteral("The measurement log %1 is locked by another program: %2. Close "
                               "that program to record again.")
                    .arg(shown(path), what)};
    if (isReadOnly(error))
        return {LogState::ReadOnly,
                QStringLiteral("The measurement log %1 is read-only (%2): %3.")
                    .arg(shown(path), error.message,
                         lost.isEmpty() ? QStringLiteral("parts are not recorded") : lost)};
    if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB)
        return damaged(path, error.message);
    return {LogState::Failed,
            QStringLiteral("The measurement log %1 could not be written (%2): %3.")
                .arg(shown(path), error.message, what)};
}

LogStatus folderUnavailable(const QString &folder, const QString &why) {
    return {LogState::FolderUnavailable,
            QStringLiteral("The folder %1 for the measurement log does not exist and cannot be "
                           "created (%2): parts are not recorded.")
                .arg(shown(folder), why)};
}

LogStatus newerVersion(const QString &path, int version) {
    return {LogState::NewerVersion,
            QStringLiteral("The measurement log %1 was written by a newer version of QorView "
                           "(log version %2): it is only read, and parts are not recorded.")
                .arg(shown(path))
                .arg(version)};
}

LogStatus damaged(const QString &path, const QString &check) {
    return {LogState::Damaged,
            QStringLiteral("The measurement log %1 is damaged (%2): nothing is written to it. "
                           "Move the file aside to start a new log; keep it to recover its parts.")
                .arg(shown(path), check)};
}

LogStatus notALog(const QString &path) {
    return {LogState::NotALog,
            QStringLiteral("The file %1 is a database of another program, not a measurement "
                           "log: nothing is written to it.")
                .arg(shown(path))};
}

} // namespace measurelog
