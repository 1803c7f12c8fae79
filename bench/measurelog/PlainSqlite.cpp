#include "PlainSqlite.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

void check(sqlite3 *db, int code) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite3: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

sqlite3_stmt *prepare(sqlite3 *db, const char *sql) {
    sqlite3_stmt *statement = nullptr;
    check(db, sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr));
    return statement;
}

void run(sqlite3 *db, sqlite3_stmt *statement) {
    check(db, sqlite3_step(statement));
    sqlite3_reset(statement);
}

void bindText(sqlite3_stmt *statement, int index, const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
}

void bindOptional(sqlite3_stmt *statement, int index, const std::optional<double> &value) {
    if (value)
        sqlite3_bind_double(statement, index, *value);
    else
        sqlite3_bind_null(statement, index);
}

} // namespace

PlainSqlite::PlainSqlite(const QString &path, bool durable) {
    check(m_db, sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                                SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr));
    // Made quickly: no journal, no syncing, and a cache that holds the indexes being built.
    execute(durable ? "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; "
                      "PRAGMA foreign_keys = ON"
                    : "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; "
                      "PRAGMA cache_size = -262144; PRAGMA foreign_keys = ON");
    m_begin = prepare(m_db, "BEGIN IMMEDIATE");
    m_commit = prepare(m_db, "COMMIT");
    m_part = prepare(m_db, "INSERT INTO parts (uuid, time_ms, station, operator, serial_number, "
                           "serial_text, setup_file, setup_hash, view_name, verdict) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id");
    m_value =
        prepare(m_db, "INSERT INTO part_values (part_id, position, channel, description, value, "
                      "decimals, nominal, low_tolerance, high_tolerance, low_approach, "
                      "high_approach, verdict) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
}

PlainSqlite::~PlainSqlite() {
    for (sqlite3_stmt *statement : {m_begin, m_commit, m_part, m_value})
        sqlite3_finalize(statement);
    // Left as the log's writer keeps it.
    execute("PRAGMA journal_mode = WAL");
    sqlite3_close_v2(m_db);
}

void PlainSqlite::begin() {
    run(m_db, m_begin);
}

void PlainSqlite::commit() {
    run(m_db, m_commit);
}

void PlainSqlite::execute(const char *sql) {
    check(m_db, sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr));
}

void PlainSqlite::insert(const measurelog::PartRecord &part, qint64 serialNumber) {
    bindText(m_part, 1, part.uuid);
    sqlite3_bind_int64(m_part, 2, part.timeMs);
    bindText(m_part, 3, part.station);
    bindText(m_part, 4, part.operatorName);
    sqlite3_bind_int64(m_part, 5, serialNumber);
    bindText(m_part, 6, part.serialText);
    bindText(m_part, 7, part.setupFile);
    bindText(m_part, 8, part.setupHash);
    bindText(m_part, 9, part.viewName);
    sqlite3_bind_int(m_part, 10, static_cast<int>(part.verdict));
    check(m_db, sqlite3_step(m_part));
    const sqlite3_int64 id = sqlite3_column_int64(m_part, 0);
    sqlite3_reset(m_part);
    int position = 0;
    for (const measurelog::ValueRecord &value : part.values) {
        sqlite3_bind_int64(m_value, 1, id);
        sqlite3_bind_int(m_value, 2, position++);
        sqlite3_bind_int(m_value, 3, value.channel);
        bindText(m_value, 4, value.description);
        sqlite3_bind_double(m_value, 5, value.value);
        sqlite3_bind_int(m_value, 6, value.decimals);
        bindOptional(m_value, 7, value.nominal);
        bindOptional(m_value, 8, value.lowTolerance);
        bindOptional(m_value, 9, value.highTolerance);
        bindOptional(m_value, 10, value.lowApproach);
        bindOptional(m_value, 11, value.highApproach);
        sqlite3_bind_int(m_value, 12, static_cast<int>(value.verdict));
        run(m_db, m_value);
    }
}
