#pragma once

#include "LogStatus.h"
#include "PartRecord.h"
#include "Sqlite.h"
#include "StudyRecord.h"
#include "StudyWrites.h"

#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

// The write side of the measurement log: the one connection that writes, on whichever thread owns
// the store (the writer thread in the station). Each part is all or nothing; a burst may share a
// transaction, and a part the log refuses on its own (a uuid already stored) is then retried
// alone so that the others still go in.
//
// Durability: write-ahead log, synchronous=FULL, so a part reported committed survives a crash,
// a kill or a power cut. A file that fails the check at open, or was written by a newer
// version, or is another program's database, is never written.
namespace measurelog {

struct StoreOptions {
    // How long a write waits for another program's lock before it gives up on the part.
    int busyTimeoutMs = 2000;
};

struct Committed {
    qint64 partId = 0;
    QString uuid;
    qint64 serialNumber = 0;
    Counters counters; // right after this part

    bool operator==(const Committed &) const = default;
};

// What became of one submitted part: committed, or the status that says why not.
struct RecordOutcome {
    std::optional<Committed> committed;
    LogStatus failure;
};

// What became of a study to be created: its id, or the status that says why it is not stored.
struct StudyCreated {
    qint64 studyId = 0;
    LogStatus status;
};

class LogStore {
public:
    explicit LogStore(QString path, StoreOptions options = {});

    const QString &path() const { return m_path; }

    // Opens the log, creating its folder and file, checking it and bringing its schema up to
    // date, unless it is open already or a state that refuses writes was found before. Returns
    // the status after.
    const LogStatus &open();
    const LogStatus &status() const { return m_status; }
    // The part counter as last stored.
    const Counters &counters() const { return m_counters; }

    // Stores the parts in order, with their serial numbers and verdicts (each part's verdict is
    // the worst of its values'), and a new uuid for a part that has none. A part with a reading
    // that is no number (NaN, infinite) is refused. One outcome per part.
    std::vector<RecordOutcome> record(std::span<const PartRecord> parts);
    // Sets the part counter to zero as of `nowMs`; counters() then holds the new state.
    LogStatus resetCounters(qint64 nowMs);
    // Marks stored parts as taken by the plant's broker at `sentMs`; a part marked before keeps
    // its first time.
    LogStatus markSent(std::span<const qint64> partIds, qint64 sentMs);
    LogStatus markSent(std::span<const QString> uuids, qint64 sentMs);

    // Gauge studies, each write in a transaction of its own. The study must have its uuid.
    StudyCreated createStudy(const StudyRecord &study);
    // The reading, with the earlier reading of its step marked replaced; a value that is no
    // number, a step outside the study or a count of values other than its channels' is refused.
    LogStatus storeStudyReading(const StudyReadingRecord &reading);
    LogStatus setStudyStatus(const QString &studyUuid, StudyStatus status);

private:
    LogStatus openChecked();
    LogStatus checkFile(SqliteDatabase &db) const;
    LogStatus migrate(SqliteDatabase &db) const;
    void prepareStatements();
    std::array<SqliteStatement *, 12> statements();
    void close();
    bool ensureOpen();
    std::vector<RecordOutcome> recordTogether(std::span<const PartRecord> parts);
    std::vector<RecordOutcome> recordOneByOne(std::span<const PartRecord> parts);
    Committed insertPart(const PartRecord &part);
    void noteSetupChannels(const PartRecord &part);
    void rollback();
    LogStatus failed(const SqliteError &error);
    template <typename Key>
    LogStatus markSentBy(SqliteStatement &statement, std::span<const Key> keys, qint64 sentMs);
    // Runs the study write in a transaction of its own; it returns why it refused, if it did.
    template <typename Write> LogStatus writeStudy(const QString &lost, Write write);

    QString m_path;
    StoreOptions m_options;
    LogStatus m_status;
    Counters m_counters;
    SqliteDatabase m_db;
    SqliteStatement m_begin, m_commit, m_rollback;
    SqliteStatement m_insertPart, m_insertValue, m_countPart, m_resetCounters;
    SqliteStatement m_readCounters, m_setupChannels, m_noteChannel;
    SqliteStatement m_markSentById, m_markSentByUuid;
    std::optional<StudyWrites> m_studyWrites;
    // The channels (and their descriptions) each setup is known to have in the log, read once
    // per setup, so a part adds rows to setup_channels only when something is new.
    QHash<QString, QHash<int, QString>> m_knownChannels;
};

} // namespace measurelog
