#include "Sqlite.h"

#include <sqlite3.h>

#include <cerrno>

#include <utility>

namespace measurelog {

namespace {

SqliteError errorOf(sqlite3 *db, int code) {
    // SQLite keeps the errno of some failed calls only; the thread's own still holds the cause
    // of a failed write (SQLite does not clear it on the calls that follow).
    const int threadErrno = errno;
    SqliteError error;
    error.code = code;
    if (db != nullptr) {
        error.systemErrno = sqlite3_system_errno(db);
        if (error.systemErrno == 0)
            error.systemErrno = threadErrno;
        error.message = QString::fromUtf8(sqlite3_errmsg(db));
    } else {
        error.message = QString::fromUtf8(sqlite3_errstr(code));
    }
    return error;
}

} // namespace

SqliteStatement::SqliteStatement(sqlite3 *db, std::string_view sql) {
    const int code = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                        SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr);
    if (code != SQLITE_OK)
        throw errorOf(db, code);
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

SqliteStatement::SqliteStatement(SqliteStatement &&other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr)) {}

SqliteStatement &SqliteStatement::operator=(SqliteStatement &&other) noexcept {
    std::swap(m_statement, other.m_statement);
    return *this;
}

void SqliteStatement::fail(int code) {
    SqliteError error = errorOf(sqlite3_db_handle(m_statement), code);
    sqlite3_reset(m_statement);
    throw error;
}

void SqliteStatement::check(int code) {
    if (code != SQLITE_OK)
        fail(code);
}

SqliteStatement &SqliteStatement::bind(int index, qint64 value) {
    check(sqlite3_bind_int64(m_statement, index, value));
    return *this;
}

SqliteStatement &SqliteStatement::bind(int index, double value) {
    check(sqlite3_bind_double(m_statement, index, value));
    return *this;
}

SqliteStatement &SqliteStatement::bind(int index, const QString &text) {
    return bindUtf8(index, text.toUtf8());
}

SqliteStatement &SqliteStatement::bindUtf8(int index, const QByteArray &text) {
    // Always a text, never NULL: an empty QByteArray has no data pointer.
    check(sqlite3_bind_text(m_statement, index, text.isNull() ? "" : text.constData(),
                            static_cast<int>(text.size()), SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement &SqliteStatement::bind(int index, const std::optional<double> &value) {
    return value ? bind(index, *value) : bindNull(index);
}

SqliteStatement &SqliteStatement::bind(int index, const std::optional<qint64> &value) {
    return value ? bind(index, *value) : bindNull(index);
}

SqliteStatement &SqliteStatement::bindNull(int index) {
    check(sqlite3_bind_null(m_statement, index));
    return *this;
}

bool SqliteStatement::step() {
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW)
        return true;
    if (code != SQLITE_DONE)
        fail(code);
    sqlite3_reset(m_statement);
    return false;
}

void SqliteStatement::run() {
    while (step()) {
    }
}

void SqliteStatement::reset() {
    sqlite3_reset(m_statement);
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 SqliteStatement::int64(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

double SqliteStatement::real(int column) const {
    return sqlite3_column_double(m_statement, column);
}

QString SqliteStatement::text(int column) const {
    const std::string_view bytes = utf8(column);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string_view SqliteStatement::utf8(int column) const {
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    if (bytes == nullptr)
        return {};
    return {bytes, static_cast<size_t>(sqlite3_column_bytes(m_statement, column))};
}

std::optional<double> SqliteStatement::optionalReal(int column) const {
    if (isNull(column))
        return std::nullopt;
    return real(column);
}

std::optional<qint64> SqliteStatement::optionalInt64(int column) const {
    if (isNull(column))
        return std::nullopt;
    return int64(column);
}

SqliteDatabase::SqliteDatabase(const QString &path, int flags) {
    const int code = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (code != SQLITE_OK) {
        // The handle holds the reason even when opening failed; it must still be closed.
        SqliteError error = errorOf(m_db, code);
        sqlite3_close_v2(std::exchange(m_db, nullptr));
        throw error;
    }
    sqlite3_extended_result_codes(m_db, 1);
}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close_v2(m_db);
}

SqliteDatabase::SqliteDatabase(SqliteDatabase &&other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)) {}

SqliteDatabase &SqliteDatabase::operator=(SqliteDatabase &&other) noexcept {
    std::swap(m_db, other.m_db);
    return *this;
}

bool SqliteDatabase::isReadOnly() const {
    return sqlite3_db_readonly(m_db, "main") == 1;
}

bool SqliteDatabase::inTransaction() const {
    return sqlite3_get_autocommit(m_db) == 0;
}

void SqliteDatabase::exec(const char *sql) {
    const int code = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        throw error(code);
}

qint64 SqliteDatabase::singleInt(const char *sql) {
    SqliteStatement statement = prepare(sql);
    const qint64 value = statement.step() ? statement.int64(0) : 0;
    statement.reset();
    return value;
}

void SqliteDatabase::setBusyTimeout(int ms) {
    sqlite3_busy_timeout(m_db, ms);
}

void SqliteDatabase::setCheckpointOnClose(bool on) {
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, on ? 0 : 1, nullptr);
}

SqliteError SqliteDatabase::error(int code) const {
    return errorOf(m_db, code);
}

} // namespace measurelog
