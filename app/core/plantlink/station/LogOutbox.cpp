#include "LogOutbox.h"

#include "PartMessages.h"
#include "Payloads.h"
#include "Sqlite.h"

#include <QFileInfo>

#include <algorithm>

namespace plantlink {

LogOutbox::LogOutbox(measurelog::LogWriter &writer, QString stationName, QObject *parent)
    : QObject(parent), m_writer(&writer), m_logPath(writer.path()),
      m_stationName(std::move(stationName)), m_reader(writer.path()) {
    connect(&writer, &measurelog::LogWriter::markedSent, this, &LogOutbox::marked);
}

LogOutbox::~LogOutbox() {
    if (m_writer && !m_toMark.isEmpty())
        m_writer->markSent(m_toMark);
}

std::vector<OutboxRecord> LogOutbox::nextUnsent(qint64 afterId, int limit) {
    std::vector<OutboxRecord> records;
    qint64 after = afterId;
    // Parts whose marks are still on their way to the log are skipped, so pages are read until
    // the limit is reached or the log has no more.
    while (static_cast<int>(records.size()) < limit) {
        const int wanted = limit - static_cast<int>(records.size());
        const measurelog::Read<std::vector<measurelog::PartRecord>> read =
            m_reader.unsent(after, wanted);
        if (!read.ok()) {
            m_readProblem = read.failure;
            Q_EMIT readFailed(read.failure);
            break;
        }
        m_readProblem.clear();
        for (const measurelog::PartRecord &part : read.value) {
            after = part.id;
            if (!m_acknowledged.contains(part.id))
                records.push_back({part.id, partDocument(partMessage(part, m_stationName))});
        }
        if (static_cast<int>(read.value.size()) < wanted)
            break;
    }
    return records;
}

void LogOutbox::markSent(const std::vector<qint64> &ids) {
    for (const qint64 id : ids) {
        if (m_acknowledged.contains(id))
            continue;
        m_acknowledged.insert(id);
        m_toMark.append(id);
        if (m_tally)
            --m_tally->unsent;
    }
    handOverMarks();
}

void LogOutbox::handOverMarks() {
    if (!m_writer || !m_atWriter.isEmpty() || m_toMark.isEmpty())
        return;
    m_atWriter.swap(m_toMark);
    m_writer->markSent(m_atWriter);
}

void LogOutbox::marked(const QList<qint64> &ids, const measurelog::LogStatus &status) {
    if (ids != m_atWriter)
        return;
    const QList<qint64> batch = std::exchange(m_atWriter, {});
    if (status.isReady()) {
        for (const qint64 id : batch)
            m_acknowledged.remove(id);
        handOverMarks();
    } else if (!status.refusesWrites()) {
        // Tried again with the next acknowledgement, not at once: a full disk would only fail
        // again.
        m_toMark = batch + m_toMark;
    }
    // A log that refuses writes keeps nothing: the parts stay sent for this run, and the next
    // run sends them again.
}

void LogOutbox::partCommitted(const measurelog::Committed &part) {
    if (!m_tally) {
        tally();
        return;
    }
    if (part.partId > m_tally->lastId) {
        ++m_tally->unsent;
        m_tally->lastId = part.partId;
    }
}

qint64 LogOutbox::unsentCount() const {
    const std::optional<Tally> &counted = tally();
    return counted ? std::max<qint64>(0, counted->unsent) : 0;
}

const std::optional<LogOutbox::Tally> &LogOutbox::tally() const {
    if (!m_tally) {
        m_tally = countLog();
        if (m_tally)
            m_tally->unsent -= m_acknowledged.size();
    }
    return m_tally;
}

// Counted once, on a connection opened for it: the unsent parts are the entries of an index,
// which a count walks, so the count is kept up to date from then on rather than asked again.
std::optional<LogOutbox::Tally> LogOutbox::countLog() const {
    if (!QFileInfo::exists(m_logPath))
        return std::nullopt;
    try {
        measurelog::SqliteDatabase db = measurelog::openForReading(m_logPath);
        if (db.singleInt("PRAGMA user_version") <= 0)
            return std::nullopt;
        // A log from before the outbox has no column for it: nothing in it was sent.
        const bool hasSentColumn =
            db.singleInt("SELECT count(*) FROM pragma_table_info('parts') WHERE name = 'sent_ms'") >
            0;
        measurelog::SqliteStatement query = db.prepare(
            hasSentColumn
                ? "SELECT (SELECT count(*) FROM parts WHERE sent_ms IS NULL), max(id) FROM parts"
                : "SELECT count(*), max(id) FROM parts");
        if (!query.step())
            return Tally{};
        const Tally counted{query.int64(0), query.optionalInt64(1).value_or(0)};
        query.reset();
        return counted;
    } catch (const measurelog::SqliteError &) {
        // Counted again when next asked; the reads say what is wrong.
        return std::nullopt;
    }
}

} // namespace plantlink
