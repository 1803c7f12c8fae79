#pragma once

#include <span>

// The measurement log's schema as an ordered list of steps. A database records in
// `PRAGMA user_version` how many steps it has had; opening applies the missing ones, in order, in
// one transaction. A step, once released, never changes: a new need is a new step at the end.
namespace measurelog {

class SqliteDatabase;

struct MigrationStep {
    const char *what; // one line, for whoever reads the list
    const char *sql;  // any number of statements
};

// Every step from the first release on; the log's version is the number of steps.
std::span<const MigrationStep> migrationSteps();
int latestSchemaVersion();

// Marks a file as a measurement log (`PRAGMA application_id`), so another program's SQLite file
// is never taken for one and written into.
inline constexpr int LogApplicationId = 0x514f524c; // "QORL"

// Applies the steps after `from` up to and including `to` (default: all), and sets the version.
// The caller holds the transaction.
void applyMigrations(SqliteDatabase &db, int from, int to = -1);

} // namespace measurelog
