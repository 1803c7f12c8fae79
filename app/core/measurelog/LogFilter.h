#pragma once

#include "PartRecord.h"

#include <QString>

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace measurelog {

class SqliteDatabase;
class SqliteStatement;

// Which parts the log window shows and an export writes. Every field left empty lets all parts
// through.
struct LogFilter {
    std::optional<qint64> sinceMs;    // from this time on (UTC ms)
    std::optional<qint64> untilMs;    // before this time
    std::optional<QString> setupFile; // exactly this setup file name; "" is "no setup file"
    VerdictSet verdicts;
    // Part of the typed serial or lot, any case; a whole number also finds the part with that
    // automatic serial.
    QString serialContains;
};

// Ids from `first` to `last`; empty when last < first.
struct IdRange {
    qint64 first = 0;
    qint64 last = 0;
};

// The filter as SQL on the parts table: a condition to put after WHERE (never empty) and its
// parameters in order, to bind from a given index on.
struct FilterSql {
    std::string condition;
    std::vector<std::variant<qint64, QString>> parameters;

    // Binds the parameters from `first` on; returns the next free index.
    int bind(SqliteStatement &statement, int first) const;
};
// `ids`, when given, narrows the condition to those ids too.
FilterSql filterSql(const LogFilter &filter, std::optional<IdRange> ids = std::nullopt);

// The ids of the parts recorded within the filter's time range (every part it lets through lies
// among them), read from the time index; empty when the filter has no time range. Queries newest
// first by id then start and stop at the range instead of walking the whole log to an old day:
// the planner cannot know how few parts a range holds.
std::optional<IdRange> idsInTimeRange(SqliteDatabase &db, const LogFilter &filter);

} // namespace measurelog
