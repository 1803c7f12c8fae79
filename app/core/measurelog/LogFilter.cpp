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

FilterSql filterSql(const LogFilter &filter) {
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
    return sql;
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
