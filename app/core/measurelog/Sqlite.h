#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// The one door to SQLite: a connection, statements prepared once and bound again for each use,
// and every failure raised as an SqliteError that carries what SQLite said at that moment (its
// extended code, the system's errno and its message), since a later call would overwrite them.
namespace measurelog {

struct SqliteError {
    int code = 0;        // extended result code
    int systemErrno = 0; // errno of the system call that failed, 0 when none did
    QString message;     // SQLite's own words

    int primaryCode() const { return code & 0xff; }
};

class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3 *db, std::string_view sql); // prepared as persistent: it is reused
    ~SqliteStatement();
    SqliteStatement(SqliteStatement &&other) noexcept;
    SqliteStatement &operator=(SqliteStatement &&other) noexcept;
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool isPrepared() const { return m_statement != nullptr; }

    // Parameters count from 1, as in SQLite.
    SqliteStatement &bind(int index, qint64 value);
    SqliteStatement &bind(int index, int value) { return bind(index, qint64{value}); }
    SqliteStatement &bind(int index, double value);
    SqliteStatement &bind(int index, const QString &text);
    SqliteStatement &bindUtf8(int index, const QByteArray &text);
    SqliteStatement &bind(int index, const std::optional<double> &value);
    SqliteStatement &bind(int index, const std::optional<qint64> &value);
    SqliteStatement &bindNull(int index);

    // The next row: true while there is one. At the end, and on a failure (thrown), the
    // statement is reset, so it holds no lock once its rows are read.
    bool step();
    // Runs a statement that returns no rows (or whose rows do not matter) to its end.
    void run();
    // Ends a use before its last row, releasing what it holds.
    void reset();

    bool isNull(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    std::string_view utf8(int column) const; // valid until the next step or reset
    std::optional<double> optionalReal(int column) const;
    std::optional<qint64> optionalInt64(int column) const;

private:
    [[noreturn]] void fail(int code);
    void check(int code);

    sqlite3_stmt *m_statement = nullptr;
};

class SqliteDatabase {
public:
    SqliteDatabase() = default;
    // Opens the file with sqlite3_open_v2 flags, extended result codes on; throws on failure.
    SqliteDatabase(const QString &path, int flags);
    ~SqliteDatabase();
    SqliteDatabase(SqliteDatabase &&other) noexcept;
    SqliteDatabase &operator=(SqliteDatabase &&other) noexcept;
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    bool isOpen() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }
    // True when SQLite opened the file for reading only (it does so, silently, for a file the
    // process may not write).
    bool isReadOnly() const;
    bool inTransaction() const;

    void exec(const char *sql);
    SqliteStatement prepare(std::string_view sql) const { return SqliteStatement(m_db, sql); }
    // The first column of the first row of `sql`, as an integer (0 when there is no row).
    qint64 singleInt(const char *sql);
    void setBusyTimeout(int ms);
    // Whether closing checkpoints the write-ahead log into the file (it does unless told not to).
    void setCheckpointOnClose(bool on);

    // The error SQLite holds for this connection, with `code` as the failing call returned it.
    SqliteError error(int code) const;

private:
    sqlite3 *m_db = nullptr;
};

} // namespace measurelog
