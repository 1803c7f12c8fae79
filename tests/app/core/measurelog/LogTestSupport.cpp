#include "LogTestSupport.h"

#include "WaitFor.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>

namespace measurelog {

namespace {

QByteArray runSqlite(const QStringList &arguments) {
    QProcess sqlite;
    sqlite.start(QStringLiteral(SQLITE3_PROGRAM), arguments);
    sqlite.waitForFinished(60000);
    EXPECT_EQ(sqlite.exitCode(), 0) << sqlite.readAllStandardError().constData();
    return sqlite.readAllStandardOutput();
}

QByteArray bytesOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString sqliteCli(const QString &db, const QString &sql) {
    return QString::fromUtf8(runSqlite({db, sql})).trimmed();
}

QJsonArray sqliteRows(const QString &db, const QString &sql) {
    return QJsonDocument::fromJson(runSqlite({QStringLiteral("-json"), db, sql})).array();
}

bool writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray fileState(const QString &path) {
    return bytesOf(path) + "\n-wal:\n" + bytesOf(path + QStringLiteral("-wal"));
}

std::vector<RecordOutcome> storeParts(const QString &log, const std::vector<PartRecord> &parts) {
    LogStore store(log);
    EXPECT_EQ(store.open(), LogStatus{});
    return store.record(parts);
}

void PrintTo(const PartRecord &part, std::ostream *out) {
    *out << "part " << part.id << " " << part.uuid.toStdString() << " at " << part.timeMs
         << " serial " << part.serialNumber << " '" << part.serialText.toStdString() << "' setup '"
         << part.setupFile.toStdString() << "' verdict " << int(part.verdict) << " sent "
         << part.sentMs.value_or(-1) << ", values:";
    for (const ValueRecord &value : part.values)
        *out << " " << value.channel << "=" << value.value << "/" << int(value.verdict);
}

void PrintTo(const LogStatus &status, std::ostream *out) {
    *out << stateName(status.state) << " '" << status.reason.toStdString() << "'";
}

WriterAnswers::WriterAnswers(LogWriter &writer) {
    QObject::connect(&writer, &LogWriter::opened, &writer,
                     [this](const LogStatus &status, const Counters &counters) {
                         opened = status;
                         openedCounters = counters;
                     });
    QObject::connect(&writer, &LogWriter::committed, &writer,
                     [this](const Committed &part) { committed.push_back(part); });
    QObject::connect(&writer, &LogWriter::failed, &writer,
                     [this](const QString &uuid, const LogStatus &status) {
                         failed.emplace_back(uuid, status);
                     });
    QObject::connect(&writer, &LogWriter::countersReset, &writer,
                     [this](const LogStatus &status, const Counters &counters) {
                         reset = {status, counters};
                     });
}

bool WriterAnswers::waitForAnswers(size_t count) {
    return waitFor([&] { return answered() >= count; }, 60000);
}

} // namespace measurelog
