#pragma once

#include "LogStatus.h"
#include "LogStore.h"
#include "LogWriter.h"
#include "PartRecord.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>
#include <ostream>
#include <utility>
#include <vector>

// What the measurement log's tests share: a fresh folder per test, the real sqlite3 program, and
// a writer whose answers are collected as they arrive.
namespace measurelog {

class LogFolder : public ::testing::Test {
protected:
    QString path(const QString &name) const { return m_folder.filePath(name); }
    QString logPath() const { return path(QStringLiteral("measurements.sqlite")); }

    QTemporaryDir m_folder;
};

// Output of the sqlite3 program run on `db` with `sql`, trimmed.
QString sqliteCli(const QString &db, const QString &sql);
// The rows of `sql` as the sqlite3 program gives them in JSON.
QJsonArray sqliteRows(const QString &db, const QString &sql);

bool writeBytes(const QString &path, const QByteArray &bytes);

// The bytes of a file, and of its write-ahead log when one is there.
QByteArray fileState(const QString &path);

// Stores the parts through a store of its own, which is closed before it returns.
std::vector<RecordOutcome> storeParts(const QString &log, const std::vector<PartRecord> &parts);

// Failures show the record, not its bytes.
void PrintTo(const PartRecord &part, std::ostream *out);
void PrintTo(const LogStatus &status, std::ostream *out);

// Every answer a writer gave, in order.
class WriterAnswers {
public:
    explicit WriterAnswers(LogWriter &writer);

    std::optional<LogStatus> opened;
    Counters openedCounters;
    std::vector<Committed> committed;
    std::vector<std::pair<QString, LogStatus>> failed;
    std::optional<std::pair<LogStatus, Counters>> reset;

    size_t answered() const { return committed.size() + failed.size(); }
    // Runs the event loop until `count` parts have been answered in all.
    bool waitForAnswers(size_t count);
};

} // namespace measurelog
