#include "LogStore.h"

#include "LogSchema.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sqlite3.h>
#include <system_error>
#include <utility>

namespace measurelog {

namespace {

Counters countersFrom(const SqliteStatement &row) {
    return {row.int64(0), row.int64(1), row.int64(2), row.int64(3), row.int64(4)};
}

// A failure that belongs to one part (its uuid is stored already, it is too large), not to the
// log: the other parts of its burst still go in.
bool isThisPartsFault(const SqliteError &error) {
    return error.primaryCode() == SQLITE_CONSTRAINT || error.primaryCode() == SQLITE_TOOBIG ||
           error.primaryCode() == SQLITE_MISMATCH;
}

// Why a part cannot be stored as it is: a reading that is no number would be stored as no
// value at all, and then read as one.
QString unrecordable(const PartRecord &part) {
    for (const ValueRecord &value : part.values) {
        if (!std::isfinite(value.value))
            return QStringLiteral("The part %1 was not recorded: channel %2 has no valid reading.")
                .arg(part.uuid)
                .arg(value.channel);
    }
    return {};
}

QString createFolder(const QString &folder) {
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    return error ? QString::fromLocal8Bit(error.message()) : QString();
}

} // namespace

LogStore::LogStore(QString path, StoreOptions options)
    : m_path(std::move(path)), m_options(options) {
    m_status = {LogState::Failed, QStringLiteral("The measurement log is not open yet.")};
}

const LogStatus &LogStore::open() {
    if (m_db.isOpen() || m_status.refusesWrites())
        return m_status;
    m_status = openChecked();
    if (!m_status.isReady())
        close();
    return m_status;
}

LogStatus LogStore::openChecked() {
    const QString folder = QFileInfo(m_path).absolutePath();
    if (const QString why = createFolder(folder); !why.isEmpty())
        return folderUnavailable(folder, why);
    try {
        SqliteDatabase db(m_path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
        // Until the file has passed its checks, closing the connection writes nothing into it.
        db.setCheckpointOnClose(false);
        db.setBusyTimeout(m_options.busyTimeoutMs);
        if (LogStatus checked = checkFile(db); !checked.isReady())
            return checked;
        if (db.isReadOnly())
            return statusOf({SQLITE_READONLY, 0, QStringLiteral("the file may not be written")},
                            m_path);
        db.exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON");
        if (db.singleInt("PRAGMA user_version") < latestSchemaVersion()) {
            if (LogStatus migrated = migrate(db); !migrated.isReady())
                return migrated;
        }
        db.setCheckpointOnClose(true);
        m_db = std::move(db);
        prepareStatements();
        m_readCounters.step();
        m_counters = countersFrom(m_readCounters);
        m_readCounters.reset();
        return {};
    } catch (const SqliteError &error) {
        return statusOf(error, m_path);
    }
}

LogStatus LogStore::migrate(SqliteDatabase &db) const {
    db.exec("BEGIN IMMEDIATE");
    try {
        // Read again under the write lock: another program may have just brought it up to date.
        const int version = static_cast<int>(db.singleInt("PRAGMA user_version"));
        if (version > latestSchemaVersion()) {
            db.exec("ROLLBACK");
            return newerVersion(m_path, version);
        }
        applyMigrations(db, version);
        db.exec("COMMIT");
        return {};
    } catch (const SqliteError &) {
        if (db.inTransaction())
            db.exec("ROLLBACK");
        throw;
    }
}

LogStatus LogStore::checkFile(SqliteDatabase &db) const {
    const qint64 applicationId = db.singleInt("PRAGMA application_id");
    const qint64 version = db.singleInt("PRAGMA user_version");
    if (applicationId != LogApplicationId &&
        (applicationId != 0 || version != 0 || db.singleInt("SELECT count(*) FROM sqlite_schema")))
        return notALog(m_path);
    if (version > latestSchemaVersion())
        return newerVersion(m_path, static_cast<int>(version));
    // Any answer but "ok" refuses the file; its first line that names a place says where it is
    // damaged ("*** in database main ***" only heads the list).
    SqliteStatement check = db.prepare("PRAGMA quick_check(3)");
    QStringList problems;
    while (check.step()) {
        if (const QString answer = check.text(0); answer != QLatin1String("ok"))
            problems += answer.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    if (problems.isEmpty())
        return {};
    const auto place = std::find_if(problems.cbegin(), problems.cend(), [](const QString &line) {
        return !line.startsWith(QLatin1String("***"));
    });
    return damaged(m_path, place != problems.cend() ? *place : problems.front());
}

void LogStore::prepareStatements() {
    m_begin = m_db.prepare("BEGIN IMMEDIATE");
    m_commit = m_db.prepare("COMMIT");
    m_rollback = m_db.prepare("ROLLBACK");
    m_insertPart = m_db.prepare(
        "INSERT INTO parts (uuid, time_ms, station, operator, serial_number, serial_text, "
        "setup_file, setup_hash, view_name, verdict) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
        "RETURNING id");
    m_insertValue = m_db.prepare(
        "INSERT INTO part_values (part_id, position, channel, description, value, decimals, "
        "nominal, low_tolerance, high_tolerance, low_approach, high_approach, verdict) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    m_countPart = m_db.prepare("UPDATE counters SET parts = parts + 1, good = good + ?, "
                               "warn = warn + ?, reject = reject + ?, "
                               "last_serial = last_serial + 1 "
                               "RETURNING parts, good, warn, reject, reset_ms, last_serial");
    m_resetCounters = m_db.prepare("UPDATE counters SET parts = 0, good = 0, warn = 0, "
                                   "reject = 0, reset_ms = ? "
                                   "RETURNING parts, good, warn, reject, reset_ms");
    m_readCounters = m_db.prepare("SELECT parts, good, warn, reject, reset_ms FROM counters");
    m_setupChannels =
        m_db.prepare("SELECT channel, description FROM setup_channels WHERE setup_file = ?");
    m_noteChannel = m_db.prepare("INSERT INTO setup_channels (setup_file, channel, description) "
                                 "VALUES (?, ?, ?) ON CONFLICT (setup_file, channel) "
                                 "DO UPDATE SET description = excluded.description");
    m_markSentById = m_db.prepare("UPDATE parts SET sent_ms = ? WHERE id = ? AND sent_ms IS NULL");
    m_markSentByUuid =
        m_db.prepare("UPDATE parts SET sent_ms = ? WHERE uuid = ? AND sent_ms IS NULL");
    m_studyWrites.emplace(m_db);
}

std::array<SqliteStatement *, 12> LogStore::statements() {
    return {&m_begin,         &m_commit,      &m_rollback,      &m_insertPart,
            &m_insertValue,   &m_countPart,   &m_resetCounters, &m_readCounters,
            &m_setupChannels, &m_noteChannel, &m_markSentById,  &m_markSentByUuid};
}

void LogStore::close() {
    // The statements first: they belong to the connection.
    for (SqliteStatement *statement : statements())
        *statement = SqliteStatement();
    m_studyWrites.reset();
    m_db = SqliteDatabase();
    m_knownChannels.clear();
}

bool LogStore::ensureOpen() {
    if (!m_db.isOpen())
        open();
    return m_db.isOpen() && !m_status.refusesWrites();
}

std::vector<RecordOutcome> LogStore::record(std::span<const PartRecord> parts) {
    if (parts.empty())
        return {};
    if (!ensureOpen())
        return std::vector<RecordOutcome>(parts.size(), RecordOutcome{std::nullopt, m_status});
    if (parts.size() > 1 && std::any_of(parts.begin(), parts.end(), [](const PartRecord &part) {
            return !unrecordable(part).isEmpty();
        }))
        return recordOneByOne(parts);
    if (const QString why = unrecordable(parts.front()); !why.isEmpty())
        return {RecordOutcome{std::nullopt, {LogState::Failed, why}}};
    try {
        std::vector<RecordOutcome> outcomes = recordTogether(parts);
        m_status = {};
        return outcomes;
    } catch (const SqliteError &error) {
        rollback();
        if (!isThisPartsFault(error)) {
            const LogStatus status = failed(error);
            return std::vector<RecordOutcome>(parts.size(), RecordOutcome{std::nullopt, status});
        }
        if (parts.size() == 1) {
            return {RecordOutcome{
                std::nullopt,
                {LogState::Failed, QStringLiteral("The part %1 was not recorded (%2).")
                                       .arg(parts.front().uuid, error.message)}}};
        }
    }
    return recordOneByOne(parts);
}

std::vector<RecordOutcome> LogStore::recordOneByOne(std::span<const PartRecord> parts) {
    std::vector<RecordOutcome> outcomes;
    for (const PartRecord &part : parts)
        outcomes.push_back(record(std::span(&part, 1)).front());
    return outcomes;
}

std::vector<RecordOutcome> LogStore::recordTogether(std::span<const PartRecord> parts) {
    std::vector<RecordOutcome> outcomes;
    outcomes.reserve(parts.size());
    m_begin.run();
    for (const PartRecord &part : parts)
        outcomes.push_back({insertPart(part), {}});
    m_commit.run();
    m_counters = outcomes.back().committed->counters;
    return outcomes;
}

Committed LogStore::insertPart(const PartRecord &part) {
    Committed committed;
    committed.uuid =
        part.uuid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : part.uuid;
    const Verdict verdict = worstVerdict(part.values);
    m_countPart.bind(1, qint64{verdict == Verdict::Good})
        .bind(2, qint64{verdict == Verdict::Warn})
        .bind(3, qint64{verdict == Verdict::Reject});
    m_countPart.step();
    committed.counters = countersFrom(m_countPart);
    committed.serialNumber = m_countPart.int64(5);
    m_countPart.reset();

    m_insertPart.bind(1, committed.uuid)
        .bind(2, part.timeMs)
        .bind(3, part.station)
        .bind(4, part.operatorName)
        .bind(5, committed.serialNumber)
        .bind(6, part.serialText)
        .bind(7, part.setupFile)
        .bind(8, part.setupHash)
        .bind(9, part.viewName)
        .bind(10, static_cast<int>(verdict));
    m_insertPart.step();
    committed.partId = m_insertPart.int64(0);
    m_insertPart.reset();

    int position = 0;
    for (const ValueRecord &value : part.values) {
        m_insertValue.bind(1, committed.partId)
            .bind(2, position++)
            .bind(3, value.channel)
            .bind(4, value.description)
            .bind(5, value.value)
            .bind(6, value.decimals)
            .bind(7, value.nominal)
            .bind(8, value.lowTolerance)
            .bind(9, value.highTolerance)
            .bind(10, value.lowApproach)
            .bind(11, value.highApproach)
            .bind(12, static_cast<int>(value.verdict));
        m_insertValue.run();
    }
    noteSetupChannels(part);
    return committed;
}

void LogStore::noteSetupChannels(const PartRecord &part) {
    auto known = m_knownChannels.find(part.setupFile);
    if (known == m_knownChannels.end()) {
        QHash<int, QString> channels;
        m_setupChannels.bind(1, part.setupFile);
        while (m_setupChannels.step())
            channels.insert(static_cast<int>(m_setupChannels.int64(0)), m_setupChannels.text(1));
        known = m_knownChannels.insert(part.setupFile, channels);
    }
    for (const ValueRecord &value : part.values) {
        const auto channel = known->constFind(value.channel);
        if (channel != known->constEnd() && *channel == value.description)
            continue;
        m_noteChannel.bind(1, part.setupFile).bind(2, value.channel).bind(3, value.description);
        m_noteChannel.run();
        known->insert(value.channel, value.description);
    }
}

void LogStore::rollback() {
    // What was learnt inside the transaction may be gone with it: read it again when needed.
    m_knownChannels.clear();
    if (!m_db.inTransaction())
        return;
    try {
        m_rollback.run();
    } catch (const SqliteError &) {
        // SQLite rolls back on its own when even this fails; nothing more to undo here.
    }
}

LogStatus LogStore::failed(const SqliteError &error) {
    m_status = statusOf(error, m_path);
    return m_status;
}

LogStatus LogStore::resetCounters(qint64 nowMs) {
    if (!ensureOpen())
        return m_status;
    try {
        // In a transaction of its own: a commit that fails is then reported by COMMIT, where
        // a statement committing by itself would report it only to a reset.
        m_begin.run();
        m_resetCounters.bind(1, nowMs);
        m_resetCounters.step();
        const Counters counters = countersFrom(m_resetCounters);
        m_resetCounters.reset();
        m_commit.run();
        m_counters = counters;
        return m_status = {};
    } catch (const SqliteError &error) {
        rollback();
        return failed(error);
    }
}

template <typename Key>
LogStatus LogStore::markSentBy(SqliteStatement &statement, std::span<const Key> keys,
                               qint64 sentMs) {
    if (!ensureOpen())
        return m_status;
    try {
        m_begin.run();
        for (const Key &key : keys) {
            statement.bind(1, sentMs).bind(2, key);
            statement.run();
        }
        m_commit.run();
        return m_status = {};
    } catch (const SqliteError &error) {
        rollback();
        return failed(error);
    }
}

LogStatus LogStore::markSent(std::span<const qint64> partIds, qint64 sentMs) {
    return markSentBy(m_markSentById, partIds, sentMs);
}

LogStatus LogStore::markSent(std::span<const QString> uuids, qint64 sentMs) {
    return markSentBy(m_markSentByUuid, uuids, sentMs);
}

template <typename Write> LogStatus LogStore::writeStudy(const QString &lost, Write write) {
    if (!ensureOpen())
        return m_status;
    try {
        m_begin.run();
        if (const QString refusal = write(); !refusal.isEmpty()) {
            rollback();
            // The study's own fault: the log itself is as ready as it was.
            return {LogState::Failed, refusal};
        }
        m_commit.run();
        return m_status = {};
    } catch (const SqliteError &error) {
        rollback();
        m_status = statusOf(error, m_path, lost);
        return m_status;
    }
}

StudyCreated LogStore::createStudy(const StudyRecord &study) {
    StudyCreated created;
    created.status = writeStudy(QStringLiteral("the study was not stored"), [&] {
        created.studyId = m_studyWrites->insertStudy(study);
        return QString();
    });
    if (!created.status.isReady())
        created.studyId = 0;
    return created;
}

LogStatus LogStore::storeStudyReading(const StudyReadingRecord &reading) {
    for (std::size_t i = 0; i < reading.values.size(); ++i) {
        if (!std::isfinite(reading.values[i]))
            return {
                LogState::Failed,
                QStringLiteral("The reading was not stored: value %1 is not a number.").arg(i + 1)};
    }
    return writeStudy(QStringLiteral("the reading was not stored"),
                      [&] { return m_studyWrites->insertReading(reading); });
}

LogStatus LogStore::setStudyStatus(const QString &studyUuid, StudyStatus status) {
    return writeStudy(QStringLiteral("the study's status was not stored"),
                      [&] { return m_studyWrites->setStatus(studyUuid, status); });
}

} // namespace measurelog
