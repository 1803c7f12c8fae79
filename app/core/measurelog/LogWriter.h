#pragma once

#include "LogStatus.h"
#include "LogStore.h"
#include "PartRecord.h"
#include "StudyRecord.h"

#include <QList>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <variant>
#include <vector>

// The station's hand into the measurement log. It starts a thread that owns the only connection
// that writes; submit() queues a part and returns at once, so neither the poll nor the window
// ever waits for the disk. Every answer comes back as a signal on the thread that owns this
// object, once the commit has really happened (or has not): the counter and the status bar
// change only then.
//
// Gauge studies go the same way: a study created, a reading stored, a status set, each answered
// once committed.
//
// A burst queued faster than the disk takes it goes in one transaction (up to maxBatch parts);
// each part still goes in whole or not at all. Destroying the writer stores everything already
// submitted before the thread ends; the answers to those are no longer delivered.
namespace measurelog {

struct WriterOptions {
    StoreOptions store;
    int maxBatch = 64;
};

class LogWriter : public QObject {
    Q_OBJECT

public:
    explicit LogWriter(QString path, WriterOptions options = {}, QObject *parent = nullptr);
    ~LogWriter() override;

    const QString &path() const { return m_path; }

    // Queues the part. An empty uuid is given one and a time of 0 becomes now; the serial number
    // and the part's verdict are set when it is stored. Returns the part's uuid.
    QString submit(PartRecord part);
    void resetCounters();
    // The plant link's broker took these parts.
    void markSent(QList<qint64> partIds);

    // Gauge studies. A study left without a uuid is given one and a creation time of 0 becomes
    // now; returns the study's uuid. A reading's time of 0 becomes now.
    QString createStudy(StudyRecord study);
    void storeStudyReading(StudyReadingRecord reading);
    void setStudyStatus(const QString &studyUuid, StudyStatus status);

Q_SIGNALS:
    // Once, when the writer has opened (or failed to open) the log.
    void opened(const measurelog::LogStatus &status, const measurelog::Counters &counters);
    void committed(const measurelog::Committed &part);
    void failed(const QString &uuid, const measurelog::LogStatus &status);
    // After resetCounters(): the counters as stored, which are the old ones when it failed.
    void countersReset(const measurelog::LogStatus &status, const measurelog::Counters &counters);
    void markedSent(const QList<qint64> &partIds, const measurelog::LogStatus &status);
    // The answers to the study calls, once committed or not; studyId is 0 when not.
    void studyCreated(const QString &uuid, qint64 studyId, const measurelog::LogStatus &status);
    void studyReadingStored(const measurelog::StudyReadingRecord &reading,
                            const measurelog::LogStatus &status);
    void studyStatusSet(const QString &studyUuid, measurelog::StudyStatus studyStatus,
                        const measurelog::LogStatus &status);

private:
    struct ResetCounters {
        qint64 nowMs;
    };
    struct MarkSent {
        QList<qint64> partIds;
        qint64 sentMs;
    };
    struct StudyStatusChange {
        QString studyUuid;
        StudyStatus status;
    };
    using Job = std::variant<PartRecord, ResetCounters, MarkSent, StudyRecord, StudyReadingRecord,
                             StudyStatusChange>;

    void enqueue(Job job);
    void run();
    // Waits for work: a run of queued parts, or one other job. False once stopped and drained.
    bool takeWork(std::vector<PartRecord> &parts, std::optional<Job> &other);
    void recordParts(LogStore &store, std::vector<PartRecord> &parts);
    void doJob(LogStore &store, Job &job);
    void doStudyJob(LogStore &store, Job &job);
    template <typename Call> void post(Call call);
    void deliverAnswers();

    const QString m_path;
    const WriterOptions m_options;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_stopping = false;
    std::mutex m_answersMutex;
    std::vector<std::function<void()>> m_answers;
    bool m_answersPosted = false;
    std::thread m_thread;
};

} // namespace measurelog
