#include "LogReader.h"

#include "LogStatus.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

#include <algorithm>
#include <limits>
#include <sqlite3.h>
#include <utility>

namespace measurelog {

namespace {

// The plant link's column came with the log's second version; a log still older (one this
// station may not write to bring it up to date) reads as if nothing had been sent.
constexpr int SentColumnVersion = 2;
// Gauge studies came with the fourth; an older log holds none.
constexpr int StudiesVersion = 4;
// Counting a channel's readings run by run of its setup's parts gives way to looking up every
// reading's part after this many lookups: a log whose setups take turns part by part.
constexpr qsizetype MostRunLookups = 4000;

Verdict storedVerdict(qint64 code) {
    return verdictFromCode(code).value_or(Verdict::NoLimits);
}

PartRecord partFrom(const SqliteStatement &row) {
    PartRecord part;
    part.id = row.int64(0);
    part.uuid = row.text(1);
    part.timeMs = row.int64(2);
    part.station = row.text(3);
    part.operatorName = row.text(4);
    part.serialNumber = row.int64(5);
    part.serialText = row.text(6);
    part.setupFile = row.text(7);
    part.setupHash = row.text(8);
    part.viewName = row.text(9);
    part.verdict = storedVerdict(row.int64(10));
    part.sentMs = row.optionalInt64(11);
    return part;
}

StudyRecord studyFrom(const SqliteStatement &row) {
    StudyRecord study;
    study.id = row.int64(0);
    study.uuid = row.text(1);
    study.kind = studyKindFromWord(row.utf8(2)).value_or(StudyKind::GaugeRr);
    study.createdMs = row.int64(3);
    study.station = row.text(4);
    study.setupFile = row.text(5);
    study.appraisers = static_cast<int>(row.int64(6));
    study.parts = static_cast<int>(row.int64(7));
    study.trials = static_cast<int>(row.int64(8));
    const QByteArray names(row.utf8(9).data(), static_cast<qsizetype>(row.utf8(9).size()));
    for (const QJsonValue &name : QJsonDocument::fromJson(names).array())
        study.appraiserNames << name.toString();
    study.reference = row.optionalReal(10);
    study.seed = row.int64(11);
    study.sigmaMultiplier = row.real(12);
    study.status = studyStatusFromWord(row.utf8(13)).value_or(StudyStatus::Running);
    return study;
}

} // namespace

SqliteDatabase openForReading(const QString &path) {
    SqliteDatabase db(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    db.setBusyTimeout(2000);
    try {
        db.singleInt("PRAGMA user_version");
        return db;
    } catch (const SqliteError &error) {
        if (error.primaryCode() != SQLITE_READONLY && error.primaryCode() != SQLITE_CANTOPEN)
            throw;
    }
    // A log in a folder this process may not write: the write-ahead log's shared-memory file
    // cannot be made, which reading needs. Nobody can be writing it then, so it is read as a
    // file that does not change.
    const QString uri =
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
        QStringLiteral("?immutable=1");
    return SqliteDatabase(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI);
}

LogReader::LogReader(QString path) : m_path(std::move(path)) {}

bool LogReader::open() {
    if (!m_db.isOpen()) {
        // Not created here: a log that does not exist yet is an empty one.
        if (!QFileInfo::exists(m_path))
            return false;
        m_db = openForReading(m_path);
    }
    // A file created but not yet given its tables is empty too. The version is read each time:
    // the writer may bring the schema up to date while this reader is open.
    m_version = m_db.singleInt("PRAGMA user_version");
    return m_version > 0;
}

std::string LogReader::sentColumn() const {
    return m_version >= SentColumnVersion ? "sent_ms" : "NULL";
}

std::string LogReader::selectParts(const std::string &condition) const {
    return "SELECT id, uuid, time_ms, station, operator, serial_number, serial_text, setup_file, "
           "setup_hash, view_name, verdict, " +
           sentColumn() + " FROM parts WHERE " + condition;
}

template <typename T, typename Work> Read<T> LogReader::reading(Work work) {
    Read<T> result;
    try {
        if (open())
            result.value = work();
    } catch (const SqliteError &error) {
        result.failure = QStringLiteral("The measurement log %1 could not be read (%2).")
                             .arg(QDir::toNativeSeparators(m_path), error.message);
    }
    return result;
}

SqliteStatement &LogReader::statement(const std::string &sql) {
    auto found = m_statements.find(sql);
    if (found == m_statements.end())
        found = m_statements.emplace(sql, m_db.prepare(sql)).first;
    return found->second;
}

std::vector<PartRecord> LogReader::partsOf(SqliteStatement &query, bool withValues) {
    std::vector<PartRecord> parts;
    while (query.step())
        parts.push_back(partFrom(query));
    if (withValues) {
        for (PartRecord &part : parts)
            readValues(part);
    }
    return parts;
}

void LogReader::readValues(PartRecord &part) {
    SqliteStatement &query = statement(
        "SELECT channel, description, value, decimals, nominal, low_tolerance, high_tolerance, "
        "low_approach, high_approach, verdict FROM part_values WHERE part_id = ? ORDER BY "
        "position");
    query.bind(1, part.id);
    while (query.step()) {
        ValueRecord value;
        value.channel = static_cast<int>(query.int64(0));
        value.description = query.text(1);
        value.value = query.real(2);
        value.decimals = static_cast<int>(query.int64(3));
        value.nominal = query.optionalReal(4);
        value.lowTolerance = query.optionalReal(5);
        value.highTolerance = query.optionalReal(6);
        value.lowApproach = query.optionalReal(7);
        value.highApproach = query.optionalReal(8);
        value.verdict = storedVerdict(query.int64(9));
        part.values.push_back(std::move(value));
    }
}

Read<LogPage> LogReader::newestFirst(const LogFilter &filter, qint64 beforeId, int limit,
                                     bool withValues) {
    return reading<LogPage>([&] {
        const FilterSql where = filterSql(filter, idsInTimeRange(m_db, filter));
        SqliteStatement &query =
            statement(selectParts(where.condition + " AND id < ? ORDER BY id DESC LIMIT ?"));
        const int next = where.bind(query, 1);
        query.bind(next, beforeId > 0 ? beforeId : std::numeric_limits<qint64>::max());
        query.bind(next + 1, std::max(limit, 1));
        LogPage page;
        page.parts = partsOf(query, withValues);
        page.atEnd = static_cast<int>(page.parts.size()) < std::max(limit, 1);
        page.nextBeforeId = page.parts.empty() ? 0 : page.parts.back().id;
        return page;
    });
}

Read<qint64> LogReader::count(const LogFilter &filter) {
    return reading<qint64>([&] {
        const FilterSql where = filterSql(filter, idsInTimeRange(m_db, filter));
        SqliteStatement &query = statement("SELECT count(*) FROM parts WHERE " + where.condition);
        where.bind(query, 1);
        query.step();
        const qint64 parts = query.int64(0);
        query.reset();
        return parts;
    });
}

Read<std::optional<PartRecord>> LogReader::part(qint64 id) {
    return reading<std::optional<PartRecord>>([&]() -> std::optional<PartRecord> {
        SqliteStatement &query = statement(selectParts("id = ?"));
        query.bind(1, id);
        std::vector<PartRecord> parts = partsOf(query, true);
        if (parts.empty())
            return std::nullopt;
        return std::move(parts.front());
    });
}

QStringList LogReader::setupNames() {
    // Hop along the setup index from one name to the next instead of reading every part.
    SqliteStatement &first = statement("SELECT setup_file FROM parts ORDER BY setup_file LIMIT 1");
    SqliteStatement &next =
        statement("SELECT setup_file FROM parts WHERE setup_file > ? ORDER BY setup_file LIMIT 1");
    QStringList names;
    if (first.step()) {
        names << first.text(0);
        first.reset();
    }
    while (!names.isEmpty()) {
        next.bind(1, names.last());
        if (!next.step())
            break;
        names << next.text(0);
        next.reset();
    }
    return names;
}

Read<QStringList> LogReader::setups() {
    return reading<QStringList>([&] { return setupNames(); });
}

Read<std::vector<ChannelSeen>> LogReader::channels(const QString &setupFile) {
    return reading<std::vector<ChannelSeen>>([&] {
        SqliteStatement &query = statement("SELECT channel, description FROM setup_channels "
                                           "WHERE setup_file = ? ORDER BY channel");
        query.bind(1, setupFile);
        std::vector<ChannelSeen> channels;
        while (query.step())
            channels.push_back({static_cast<int>(query.int64(0)), query.text(1)});
        return channels;
    });
}

SqliteStatement &LogReader::channelStatement(const std::string &select, const std::string &order,
                                             const ChannelQuery &query) {
    SqliteStatement &found = statement(
        select +
        " FROM part_values v JOIN parts p ON p.id = v.part_id "
        "WHERE v.channel = ?1 AND v.part_id > ?2 AND v.part_id <= ?3 AND p.setup_file = ?4 "
        "AND p.time_ms >= ?5 AND p.time_ms <= ?6" +
        order);
    found.bind(1, query.channel)
        .bind(2, query.afterId)
        .bind(3, query.throughId.value_or(std::numeric_limits<qint64>::max()))
        .bind(4, query.setupFile)
        .bind(5, query.sinceMs.value_or(std::numeric_limits<qint64>::min()))
        .bind(6, query.untilMs.value_or(std::numeric_limits<qint64>::max()));
    return found;
}

Read<qint64> LogReader::channelReadings(const ChannelQuery &query,
                                        const std::function<void(const ChannelReading &)> &visit) {
    return reading<qint64>([&] {
        const std::string columns =
            "SELECT p.id, p.time_ms, v.value, v.nominal, v.low_tolerance, v.high_tolerance";
        // The newest are found from the end of the channel's index and put back in order.
        SqliteStatement &readings =
            query.newest ? channelStatement("SELECT * FROM (" + columns,
                                            " ORDER BY v.part_id DESC LIMIT ?7) ORDER BY 1", query)
                         : channelStatement(columns, " ORDER BY v.part_id LIMIT ?7", query);
        readings.bind(7, query.limit > 0 ? query.limit : qint64{-1});
        qint64 handed = 0;
        ChannelReading reading;
        while (readings.step()) {
            reading.partId = readings.int64(0);
            reading.timeMs = readings.int64(1);
            reading.value = readings.real(2);
            reading.nominal = readings.optionalReal(3);
            reading.lowTolerance = readings.optionalReal(4);
            reading.highTolerance = readings.optionalReal(5);
            visit(reading);
            ++handed;
        }
        return handed;
    });
}

std::optional<qint64> LogReader::firstPartAfter(const QString &setupFile, qint64 afterId,
                                                qint64 lastId) {
    SqliteStatement &first =
        statement("SELECT min(id) FROM parts WHERE setup_file = ? AND id > ? AND id <= ?");
    first.bind(1, setupFile).bind(2, afterId).bind(3, lastId);
    first.step();
    const std::optional<qint64> id = first.optionalInt64(0);
    first.reset();
    return id;
}

std::optional<ChannelCount> LogReader::countInSetupRuns(const ChannelQuery &query) {
    // Parts recorded while counting are left to the next count.
    SqliteStatement &newest = statement("SELECT coalesce(max(id), 0) FROM parts");
    newest.step();
    const qint64 last = std::min(newest.int64(0), query.throughId.value_or(newest.int64(0)));
    newest.reset();
    QStringList others = setupNames();
    others.removeAll(query.setupFile);
    SqliteStatement &readings =
        statement("SELECT count(*) FROM part_values WHERE channel = ? AND part_id BETWEEN ? AND ?");
    SqliteStatement &newestReading = statement(
        "SELECT max(part_id) FROM part_values WHERE channel = ? AND part_id BETWEEN ? AND ?");

    ChannelCount count;
    qsizetype lookups = 0;
    for (std::optional<qint64> from = firstPartAfter(query.setupFile, query.afterId, last); from;) {
        // The run ends before the next part of any other setup.
        qint64 to = last;
        for (const QString &other : others) {
            if (const std::optional<qint64> next = firstPartAfter(other, *from, to))
                to = *next - 1;
        }
        readings.bind(1, query.channel).bind(2, *from).bind(3, to);
        readings.step();
        const qint64 inRun = readings.int64(0);
        readings.reset();
        if (inRun > 0) {
            count.readings += inRun;
            newestReading.bind(1, query.channel).bind(2, *from).bind(3, to);
            newestReading.step();
            count.newestId = newestReading.int64(0);
            newestReading.reset();
        }
        lookups += others.size() + 2;
        if (lookups > MostRunLookups)
            return std::nullopt;
        from = firstPartAfter(query.setupFile, to, last);
    }
    return count;
}

Read<ChannelCount> LogReader::channelCount(const ChannelQuery &query) {
    return reading<ChannelCount>([&] {
        if (!query.sinceMs && !query.untilMs) {
            if (const std::optional<ChannelCount> counted = countInSetupRuns(query))
                return *counted;
        }
        SqliteStatement &count =
            channelStatement("SELECT count(*), coalesce(max(v.part_id), 0)", "", query);
        count.step();
        const ChannelCount found{count.int64(0), count.int64(1)};
        count.reset();
        return found;
    });
}

Read<std::vector<PartRecord>> LogReader::unsent(qint64 afterId, int limit) {
    return reading<std::vector<PartRecord>>([&] {
        SqliteStatement &query =
            statement(selectParts(sentColumn() + " IS NULL AND id > ? ORDER BY id LIMIT ?"));
        query.bind(1, afterId).bind(2, limit);
        return partsOf(query, true);
    });
}

std::string LogReader::selectStudies(const std::string &condition) const {
    return "SELECT id, uuid, kind, created_ms, station, setup_file, appraisers, parts, trials, "
           "appraiser_names, reference, seed, sigma_multiplier, status, (SELECT count(*) FROM "
           "study_readings WHERE study_id = studies.id AND replaced = 0 AND position = 0) "
           "FROM studies " +
           condition;
}

std::vector<StudySummary> LogReader::studiesOf(SqliteStatement &query) {
    std::vector<StudySummary> studies;
    while (query.step())
        studies.push_back({studyFrom(query), static_cast<int>(query.int64(14))});
    SqliteStatement &channels = statement("SELECT channel, description, decimals, tolerance FROM "
                                          "study_channels WHERE study_id = ? ORDER BY position");
    for (StudySummary &summary : studies) {
        channels.bind(1, summary.study.id);
        while (channels.step())
            summary.study.channels.push_back({static_cast<int>(channels.int64(0)), channels.text(1),
                                              static_cast<int>(channels.int64(2)),
                                              channels.optionalReal(3)});
    }
    return studies;
}

Read<std::vector<StudySummary>> LogReader::studies() {
    return reading<std::vector<StudySummary>>([&] {
        if (m_version < StudiesVersion)
            return std::vector<StudySummary>();
        return studiesOf(statement(selectStudies("ORDER BY id DESC")));
    });
}

Read<std::optional<StoredStudy>> LogReader::study(qint64 id) {
    return reading<std::optional<StoredStudy>>([&]() -> std::optional<StoredStudy> {
        if (m_version < StudiesVersion)
            return std::nullopt;
        SqliteStatement &query = statement(selectStudies("WHERE id = ?"));
        query.bind(1, id);
        std::vector<StudySummary> found = studiesOf(query);
        if (found.empty())
            return std::nullopt;
        StoredStudy stored{std::move(found.front().study), {}};
        SqliteStatement &readings =
            statement("SELECT sequence, appraiser, part, trial, value, time_ms, replaced FROM "
                      "study_readings WHERE study_id = ? ORDER BY sequence, position");
        readings.bind(1, id);
        while (readings.step()) {
            const qint64 sequence = readings.int64(0);
            if (stored.readings.empty() || stored.readings.back().sequence != sequence) {
                StudyReadingRecord reading;
                reading.studyUuid = stored.study.uuid;
                reading.sequence = sequence;
                reading.appraiser = static_cast<int>(readings.int64(1));
                reading.part = static_cast<int>(readings.int64(2));
                reading.trial = static_cast<int>(readings.int64(3));
                reading.timeMs = readings.int64(5);
                reading.replaced = readings.int64(6) != 0;
                stored.readings.push_back(std::move(reading));
            }
            stored.readings.back().values.push_back(readings.real(4));
        }
        return stored;
    });
}

} // namespace measurelog
