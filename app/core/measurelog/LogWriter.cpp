#include "LogWriter.h"

#include <QDateTime>
#include <QUuid>

#include <utility>

namespace measurelog {

LogWriter::LogWriter(QString path, WriterOptions options, QObject *parent)
    : QObject(parent), m_path(std::move(path)), m_options(options),
      m_thread(&LogWriter::run, this) {}

LogWriter::~LogWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

QString LogWriter::submit(PartRecord part) {
    if (part.uuid.isEmpty())
        part.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (part.timeMs == 0)
        part.timeMs = QDateTime::currentMSecsSinceEpoch();
    QString uuid = part.uuid;
    enqueue(std::move(part));
    return uuid;
}

void LogWriter::resetCounters() {
    enqueue(ResetCounters{QDateTime::currentMSecsSinceEpoch()});
}

void LogWriter::markSent(QList<qint64> partIds) {
    enqueue(MarkSent{std::move(partIds), QDateTime::currentMSecsSinceEpoch()});
}

QString LogWriter::createStudy(StudyRecord study) {
    if (study.uuid.isEmpty())
        study.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (study.createdMs == 0)
        study.createdMs = QDateTime::currentMSecsSinceEpoch();
    QString uuid = study.uuid;
    enqueue(std::move(study));
    return uuid;
}

void LogWriter::storeStudyReading(StudyReadingRecord reading) {
    if (reading.timeMs == 0)
        reading.timeMs = QDateTime::currentMSecsSinceEpoch();
    enqueue(std::move(reading));
}

void LogWriter::setStudyStatus(const QString &studyUuid, StudyStatus status) {
    enqueue(StudyStatusChange{studyUuid, status});
}

void LogWriter::enqueue(Job job) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

// The answers are emitted on the thread that owns this object, by an event posted to it; the
// destructor joins the writer thread first, so no answer is posted to an object being destroyed.
// Answers that come while one event is on its way go with it: a quick run of commits wakes the
// owner's thread once, not once each.
template <typename Call> void LogWriter::post(Call call) {
    std::lock_guard lock(m_answersMutex);
    m_answers.emplace_back(std::move(call));
    if (std::exchange(m_answersPosted, true))
        return;
    QMetaObject::invokeMethod(this, &LogWriter::deliverAnswers, Qt::QueuedConnection);
}

void LogWriter::deliverAnswers() {
    std::vector<std::function<void()>> answers;
    {
        std::lock_guard lock(m_answersMutex);
        answers.swap(m_answers);
        m_answersPosted = false;
    }
    for (const auto &answer : answers)
        answer();
}

void LogWriter::run() {
    LogStore store(m_path, m_options.store);
    const LogStatus status = store.open();
    post([this, status, counters = store.counters()] { Q_EMIT opened(status, counters); });
    std::vector<PartRecord> parts;
    std::optional<Job> other;
    while (takeWork(parts, other)) {
        if (!parts.empty())
            recordParts(store, parts);
        else
            doJob(store, *other);
    }
}

bool LogWriter::takeWork(std::vector<PartRecord> &parts, std::optional<Job> &other) {
    parts.clear();
    other.reset();
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return !m_jobs.empty() || m_stopping; });
    if (m_jobs.empty())
        return false;
    while (!m_jobs.empty() && static_cast<int>(parts.size()) < std::max(1, m_options.maxBatch)) {
        auto *part = std::get_if<PartRecord>(&m_jobs.front());
        if (part == nullptr)
            break;
        parts.push_back(std::move(*part));
        m_jobs.pop_front();
    }
    if (parts.empty()) {
        other = std::move(m_jobs.front());
        m_jobs.pop_front();
    }
    return true;
}

void LogWriter::recordParts(LogStore &store, std::vector<PartRecord> &parts) {
    std::vector<RecordOutcome> outcomes = store.record(parts);
    std::vector<QString> uuids;
    uuids.reserve(parts.size());
    for (const PartRecord &part : parts)
        uuids.push_back(part.uuid);
    post([this, outcomes = std::move(outcomes), uuids = std::move(uuids)] {
        for (size_t i = 0; i < outcomes.size(); ++i) {
            if (outcomes[i].committed)
                Q_EMIT committed(*outcomes[i].committed);
            else
                Q_EMIT failed(uuids[i], outcomes[i].failure);
        }
    });
}

void LogWriter::doJob(LogStore &store, Job &job) {
    if (const auto *reset = std::get_if<ResetCounters>(&job)) {
        const LogStatus status = store.resetCounters(reset->nowMs);
        post([this, status, counters = store.counters()] {
            Q_EMIT countersReset(status, counters);
        });
    } else if (auto *sent = std::get_if<MarkSent>(&job)) {
        const std::vector<qint64> ids(sent->partIds.begin(), sent->partIds.end());
        const LogStatus status = store.markSent(std::span<const qint64>(ids), sent->sentMs);
        post([this, status, partIds = std::move(sent->partIds)] {
            Q_EMIT markedSent(partIds, status);
        });
    } else {
        doStudyJob(store, job);
    }
}

void LogWriter::doStudyJob(LogStore &store, Job &job) {
    if (const auto *study = std::get_if<StudyRecord>(&job)) {
        const StudyCreated created = store.createStudy(*study);
        post([this, uuid = study->uuid, created] {
            Q_EMIT studyCreated(uuid, created.studyId, created.status);
        });
    } else if (auto *reading = std::get_if<StudyReadingRecord>(&job)) {
        const LogStatus status = store.storeStudyReading(*reading);
        post([this, reading = std::move(*reading), status] {
            Q_EMIT studyReadingStored(reading, status);
        });
    } else if (const auto *change = std::get_if<StudyStatusChange>(&job)) {
        const LogStatus status = store.setStudyStatus(change->studyUuid, change->status);
        post([this, change = *change, status] {
            Q_EMIT studyStatusSet(change.studyUuid, change.status, status);
        });
    }
}

} // namespace measurelog
