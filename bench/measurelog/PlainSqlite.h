#pragma once

#include "PartRecord.h"

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// The yardstick: the same rows the log's writer stores, inserted by a plain loop over the
// sqlite3 C library with prepared statements, into a file that already has the log's schema.
class PlainSqlite {
public:
    // durable: WAL and synchronous=FULL, as the log writes; else no journal and synchronous=OFF
    // until it is closed, for making a large log quickly.
    PlainSqlite(const QString &path, bool durable);
    ~PlainSqlite();
    PlainSqlite(const PlainSqlite &) = delete;
    PlainSqlite &operator=(const PlainSqlite &) = delete;

    void begin();
    void commit();
    // The part's row and its values' rows.
    void insert(const measurelog::PartRecord &part, qint64 serialNumber);
    void execute(const char *sql);

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_begin = nullptr;
    sqlite3_stmt *m_commit = nullptr;
    sqlite3_stmt *m_part = nullptr;
    sqlite3_stmt *m_value = nullptr;
};
