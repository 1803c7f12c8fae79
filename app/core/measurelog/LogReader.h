#pragma once

#include "LogFilter.h"
#include "PartRecord.h"
#include "Sqlite.h"
#include "StudyRecord.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// Reading the measurement log, on a connection of the reader's own (one reader per thread), while
// the writer goes on writing: the write-ahead log gives each read a consistent snapshot. A log
// that does not exist yet reads as empty, and nothing here ever writes to the file.
namespace measurelog {

// An answer, or why there is none.
template <typename T> struct Read {
    T value{};
    QString failure; // empty when the read worked

    bool ok() const { return failure.isEmpty(); }
};

// Newest first, keyed by id: the next page is asked for with `nextBeforeId`.
struct LogPage {
    std::vector<PartRecord> parts;
    qint64 nextBeforeId = 0; // the id of the last part here
    bool atEnd = true;       // no part older than these matches the filter
};

// One channel's reading in one part, with the limits it was judged by.
struct ChannelReading {
    qint64 partId = 0;
    qint64 timeMs = 0;
    double value = 0.0;
    std::optional<double> nominal;
    std::optional<double> lowTolerance;
    std::optional<double> highTolerance;
};

// A channel's readings recorded with a setup after part `afterId` (and up to part `throughId`),
// within [sinceMs, untilMs] where these are given. Of those, at most `limit` (0: all): the
// oldest, or with `newest` the newest ones, handed over in recording order all the same.
struct ChannelQuery {
    QString setupFile;
    int channel = 0;
    qint64 afterId = 0;
    std::optional<qint64> sinceMs;
    std::optional<qint64> untilMs;
    std::optional<qint64> throughId;
    qint64 limit = 0;
    bool newest = false;
};

// How many readings a query finds (its limit left aside), and the newest one's part.
struct ChannelCount {
    qint64 readings = 0;
    qint64 newestId = 0; // 0 when there is none

    bool operator==(const ChannelCount &) const = default;
};

struct ChannelSeen {
    int channel = 0;
    QString description; // as last recorded

    bool operator==(const ChannelSeen &) const = default;
};

// Opens `path` for reading only (SQLITE_OPEN_READONLY), also in a folder this process may not
// write; throws SqliteError.
SqliteDatabase openForReading(const QString &path);

class LogReader {
public:
    explicit LogReader(QString path);

    const QString &path() const { return m_path; }

    // Up to `limit` parts matching the filter with ids below `beforeId` (0: from the newest),
    // newest first; with their values unless told not to.
    Read<LogPage> newestFirst(const LogFilter &filter, qint64 beforeId, int limit,
                              bool withValues = true);
    // How many parts match; this counts them all, so ask for it apart from the pages.
    Read<qint64> count(const LogFilter &filter);
    // One part with its values; empty when there is no part with that id.
    Read<std::optional<PartRecord>> part(qint64 id);
    // The setup file names parts were recorded with, in order ("" for parts without one).
    Read<QStringList> setups();
    // Every channel recorded with a setup, by channel number.
    Read<std::vector<ChannelSeen>> channels(const QString &setupFile);
    // Hands every reading the query asks for to `visit`, in recording order; the answer is the
    // number handed over. Readings are not collected first, so a long history costs no memory.
    Read<qint64> channelReadings(const ChannelQuery &query,
                                 const std::function<void(const ChannelReading &)> &visit);
    // Counts what channelReadings would hand over without a limit, without reading the values.
    Read<ChannelCount> channelCount(const ChannelQuery &query);
    // The plant link's outbox: parts after `afterId` not yet taken by the broker, in the order
    // they were recorded, with their values.
    Read<std::vector<PartRecord>> unsent(qint64 afterId, int limit);

    // The gauge studies, newest first, each with how many of its steps have a reading.
    Read<std::vector<StudySummary>> studies();
    // One study with every reading taken for it, replaced ones included; empty when there is no
    // study with that id.
    Read<std::optional<StoredStudy>> study(qint64 id);

private:
    template <typename T, typename Work> Read<T> reading(Work work);
    bool open();
    std::string sentColumn() const;
    std::string selectParts(const std::string &condition) const;
    SqliteStatement &statement(const std::string &sql);
    std::vector<PartRecord> partsOf(SqliteStatement &statement, bool withValues);
    void readValues(PartRecord &part);
    QStringList setupNames();
    std::optional<qint64> firstPartAfter(const QString &setupFile, qint64 afterId, qint64 lastId);
    // The count without looking up every reading's part, where that is quick; none without.
    std::optional<ChannelCount> countInSetupRuns(const ChannelQuery &query);
    SqliteStatement &channelStatement(const std::string &select, const std::string &order,
                                      const ChannelQuery &query);
    std::string selectStudies(const std::string &condition) const;
    std::vector<StudySummary> studiesOf(SqliteStatement &query);

    QString m_path;
    SqliteDatabase m_db;
    qint64 m_version = 0;
    std::unordered_map<std::string, SqliteStatement> m_statements;
};

} // namespace measurelog
