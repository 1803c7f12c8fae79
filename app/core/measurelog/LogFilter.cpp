#include "LogFilter.h"

#include "Sqlite.h"

namespace measurelog {

namespace {

// A LIKE pattern that finds `text` anywhere, with its own % and _ taken literally.
QString containsPattern(const QString &text) {
    QString pattern = QStringLiteral("%");
    for (const QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char('%');
}

} // namespace

FilterSql filterSql(const LogFilter &filter, std::optional<IdRange> ids) {
    FilterSql sql;
    std::string &where = sql.condition;
    where = "1";
    if (filter.sinceMs) {
        where += " AND time_ms >= ?";
        sql.parameters.emplace_back(*filter.sinceMs);
    }
    if (filter.untilMs) {
        where += " AND time_ms < ?";
        sql.parameters.emplace_back(*filter.untilMs);
    }
    if (filter.setupFile) {
        where += " AND setup_file = ?";
        sql.parameters.emplace_back(*filter.setupFile);
    }
    std::string verdicts;
    bool every = true;
    for (Verdict verdict : AllVerdicts) {
        if (!filter.verdicts.contains(verdict)) {
            every = false;
            continue;
        }
        verdicts += (verdicts.empty() ? "" : ", ") + std::to_string(static_cast<int>(verdict));
    }
    if (!filter.verdicts.isEmpty() && !every)
        where += " AND verdict IN (" + verdicts + ")";
    if (!filter.serialContains.isEmpty()) {
        where += " AND (serial_text LIKE ? ESCAPE '\\'";
        sql.parameters.emplace_back(containsPattern(filter.serialContains));
        bool number = false;
        const qint64 serial = filter.serialContains.trimmed().toLongLong(&number);
        if (number) {
            where += " OR serial_number = ?";
            sql.parameters.emplace_back(serial);
        }
        where += ")";
    }
    if (ids) {
        where += " AND id BETWEEN ? AND ?";
        sql.parameters.emplace_back(ids->first);
        sql.parameters.emplace_back(ids->last);
    }
    return sql;
}

std::optional<IdRange> idsInTimeRange(SqliteDatabase &db, const LogFilter &filter) {
    if (!filter.sinceMs && !filter.untilMs)
        return std::nullopt;
    LogFilter times;
    times.sinceMs = filter.sinceMs;
    times.untilMs = filter.untilMs;
    const FilterSql where = filterSql(times);
    SqliteStatement query =
        db.prepare("SELECT min(id), max(id) FROM parts WHERE " + where.condition);
    where.bind(query, 1);
    query.step();
    // No part in the range: a range no id lies in.
    const IdRange ids = query.isNull(0) ? IdRange{1, 0} : IdRange{query.int64(0), query.int64(1)};
    query.reset();
    return ids;
}

int FilterSql::bind(SqliteStatement &statement, int first) const {
    for (const auto &parameter : parameters) {
        if (const auto *number = std::get_if<qint64>(&parameter))
            statement.bind(first++, *number);
        else
            statement.bind(first++, std::get<QString>(parameter));
    }
    return first;
}

} // namespace measurelog
