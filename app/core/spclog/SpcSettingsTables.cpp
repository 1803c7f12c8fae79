#include "SpcSettingsTables.h"

#include <QDir>
#include <QFileInfo>
#include <QTimeZone>

#include <sqlite3.h>

namespace spclog {

namespace {

// The log's version that brought the SPC tables.
constexpr qint64 SpcTablesVersion = 3;
// A part commit takes milliseconds; a freeze waits for it rather than failing.
constexpr int WaitForWriterMs = 5000;

QString readFailure(const QString &path, const measurelog::SqliteError &error) {
    return QStringLiteral("The measurement log %1 could not be used (%2).")
        .arg(QDir::toNativeSeparators(path), error.message);
}

} // namespace

SpcSettingsTables::SpcSettingsTables(QString logPath) : m_path(std::move(logPath)) {}

bool SpcSettingsTables::open(QString *error) {
    if (m_db.isOpen())
        return true;
    // The station's part writer creates the log and brings its schema up to date; until it has,
    // there is nowhere to keep limits.
    if (!QFileInfo::exists(m_path)) {
        *error = QStringLiteral("No part has been recorded in %1 yet.")
                     .arg(QDir::toNativeSeparators(m_path));
        return false;
    }
    try {
        measurelog::SqliteDatabase db(m_path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
        db.setBusyTimeout(WaitForWriterMs);
        if (db.singleInt("PRAGMA user_version") < SpcTablesVersion) {
            *error = QStringLiteral("The measurement log %1 is older than this station and keeps "
                                    "no control limits; record a part to bring it up to date.")
                         .arg(QDir::toNativeSeparators(m_path));
            return false;
        }
        m_db = std::move(db);
        return true;
    } catch (const measurelog::SqliteError &failure) {
        *error = readFailure(m_path, failure);
        return false;
    }
}

std::optional<spc::FrozenLimits> SpcSettingsTables::frozenLimits(const QString &setup, int channel,
                                                                 int subgroupSize) {
    QString ignored;
    if (!open(&ignored))
        return std::nullopt;
    try {
        measurelog::SqliteStatement query = m_db.prepare(
            "SELECT chart, set_ms, location_lower, location_centre, location_upper, "
            "spread_lower, spread_centre, spread_upper, sigma_within, baseline_subgroups, "
            "first_baseline_subgroup FROM spc_limits "
            "WHERE setup_file = ? AND channel = ? AND subgroup_size = ?");
        query.bind(1, setup).bind(2, channel).bind(3, subgroupSize);
        if (!query.step())
            return std::nullopt;
        spc::FrozenLimits limits;
        limits.channel = channel;
        limits.setup = setup;
        limits.setAt = QDateTime::fromMSecsSinceEpoch(query.int64(1), QTimeZone::utc());
        spc::LimitValues &v = limits.values;
        v.plan = spc::fittedPlan({subgroupSize, static_cast<spc::ChartKind>(query.int64(0))});
        v.location = {query.real(2), query.real(3), query.real(4)};
        v.spread = {query.real(5), query.real(6), query.real(7)};
        v.sigmaWithin = query.real(8);
        v.baselineSubgroups = static_cast<int>(query.int64(9));
        v.firstBaselineSubgroup = static_cast<std::size_t>(std::max<qint64>(query.int64(10), 0));
        query.reset();
        return limits;
    } catch (const measurelog::SqliteError &) {
        return std::nullopt;
    }
}

bool SpcSettingsTables::storeFrozenLimits(const spc::FrozenLimits &limits, QString *error) {
    if (!open(error))
        return false;
    try {
        const spc::LimitValues &v = limits.values;
        measurelog::SqliteStatement insert =
            m_db.prepare("INSERT OR REPLACE INTO spc_limits VALUES "
                         "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        insert.bind(1, limits.setup)
            .bind(2, limits.channel)
            .bind(3, v.plan.size)
            .bind(4, static_cast<int>(v.plan.kind))
            .bind(5, limits.setAt.toMSecsSinceEpoch())
            .bind(6, v.location.lower)
            .bind(7, v.location.centre)
            .bind(8, v.location.upper)
            .bind(9, v.spread.lower)
            .bind(10, v.spread.centre)
            .bind(11, v.spread.upper)
            .bind(12, v.sigmaWithin)
            .bind(13, v.baselineSubgroups)
            .bind(14, static_cast<qint64>(v.firstBaselineSubgroup));
        insert.run();
        return true;
    } catch (const measurelog::SqliteError &failure) {
        *error = readFailure(m_path, failure);
        return false;
    }
}

std::optional<int> SpcSettingsTables::subgroupSize(const QString &setup, int channel) {
    QString ignored;
    if (!open(&ignored))
        return std::nullopt;
    try {
        measurelog::SqliteStatement query = m_db.prepare(
            "SELECT subgroup_size FROM spc_subgroup_sizes WHERE setup_file = ? AND channel = ?");
        query.bind(1, setup).bind(2, channel);
        if (!query.step())
            return std::nullopt;
        const int size = static_cast<int>(query.int64(0));
        query.reset();
        return size;
    } catch (const measurelog::SqliteError &) {
        return std::nullopt;
    }
}

bool SpcSettingsTables::storeSubgroupSize(const QString &setup, int channel, int size,
                                          QString *error) {
    if (!open(error))
        return false;
    try {
        measurelog::SqliteStatement insert =
            m_db.prepare("INSERT OR REPLACE INTO spc_subgroup_sizes VALUES (?, ?, ?)");
        insert.bind(1, setup).bind(2, channel).bind(3, size);
        insert.run();
        return true;
    } catch (const measurelog::SqliteError &failure) {
        *error = readFailure(m_path, failure);
        return false;
    }
}

} // namespace spclog
