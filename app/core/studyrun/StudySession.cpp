#include "StudySession.h"

#include "LogWriter.h"

#include <QRandomGenerator>

namespace studyrun {

StudySession::StudySession(measurelog::LogWriter &writer, StudyReadingSource &source,
                           QObject *parent)
    : QObject(parent), m_writer(writer), m_source(source) {
    connect(&m_writer, &measurelog::LogWriter::studyCreated, this, &StudySession::created);
    connect(&m_writer, &measurelog::LogWriter::studyReadingStored, this,
            &StudySession::readingStored);
    connect(&m_writer, &measurelog::LogWriter::studyStatusSet, this, &StudySession::statusSet);
}

QString StudySession::start(StudyRecord study) {
    if (m_state == State::Creating || m_state == State::Storing)
        return QStringLiteral("The log is still storing the study's last change.");
    if (const QString refusal = checkStudy(study); !refusal.isEmpty())
        return refusal;
    study.id = 0;
    study.uuid.clear();
    study.createdMs = 0;
    study.status = measurelog::StudyStatus::Running;
    study.station = m_source.stationName();
    study.setupFile = m_source.setupName();
    while (study.seed == 0)
        study.seed = static_cast<qint64>(QRandomGenerator::global()->generate64());
    study.uuid = m_writer.createStudy(study);
    m_study = study;
    m_order = orderOf(m_study);
    m_readings.emplace(layoutOf(m_study), static_cast<int>(m_study.channels.size()));
    m_redo.reset();
    m_lastTaken.reset();
    m_pending.reset();
    m_nextSequence = 0;
    m_lastTick = 0;
    m_state = State::Creating;
    Q_EMIT changed();
    return {};
}

QString StudySession::resume(const measurelog::StoredStudy &stored) {
    if (m_state == State::Creating || m_state == State::Storing)
        return QStringLiteral("The log is still storing the study's last change.");
    Restored restored = restoreReadings(stored);
    if (!restored.readings)
        return restored.refusal;
    m_study = stored.study;
    m_order = orderOf(m_study);
    m_readings = std::move(restored.readings);
    m_redo.reset();
    m_pending.reset();
    m_lastTaken.reset();
    m_nextSequence = 0;
    m_lastTick = 0;
    if (!stored.readings.empty()) {
        const measurelog::StudyReadingRecord &last = stored.readings.back();
        m_lastTaken = studies::StudyStep{last.appraiser, last.part, last.trial};
        m_nextSequence = last.sequence + 1;
    }
    m_state = State::Taking;
    // A study whose last reading was stored but whose status was not is complete all the same.
    completeIfDone();
    Q_EMIT changed();
    return {};
}

int StudySession::takenSteps() const {
    return m_readings ? m_readings->takenSteps() : 0;
}

bool StudySession::isComplete() const {
    return m_readings && m_readings->isComplete();
}

std::optional<studies::StudyStep> StudySession::currentStep() const {
    if (!m_readings)
        return std::nullopt;
    if (m_redo)
        return m_redo;
    return m_readings->nextStep(m_order);
}

QString StudySession::prompt() const {
    if (!hasStudy())
        return QStringLiteral("No study is running.");
    const std::optional<studies::StudyStep> step = currentStep();
    if (!step)
        return QStringLiteral("The study is complete: every reading is taken.");
    const QString prompt = promptFor(m_study, *step);
    return m_redo ? QStringLiteral("Again: %1").arg(prompt) : prompt;
}

QString StudySession::notReadyReason() const {
    switch (m_state) {
    case State::NoStudy:
        return QStringLiteral("No study is running.");
    case State::Creating:
        return QStringLiteral("The study is being stored in the measurement log.");
    case State::Storing:
        return QStringLiteral("The last reading is being stored in the measurement log.");
    case State::Taking:
        break;
    }
    if (!currentStep())
        return QStringLiteral("Every reading is taken; choose a step to take again.");
    if (m_source.setupName() != m_study.setupFile)
        return QStringLiteral("The study was set up with %1, but %2 is loaded.")
            .arg(m_study.setupFile.isEmpty() ? QStringLiteral("no setup file") : m_study.setupFile,
                 m_source.setupName().isEmpty() ? QStringLiteral("no setup file")
                                                : m_source.setupName());
    const FreshReadings fresh = m_source.freshReadings(channelNumbers(m_study));
    if (fresh.ok() && fresh.tick != 0 && fresh.tick == m_lastTick)
        return QStringLiteral("Waiting for a new reading: the last one was taken for the step "
                              "before.");
    return fresh.refusal;
}

QString StudySession::takeReading() {
    if (const QString reason = notReadyReason(); !reason.isEmpty())
        return reason;
    FreshReadings fresh = m_source.freshReadings(channelNumbers(m_study));
    const studies::StudyStep step = *currentStep();
    measurelog::StudyReadingRecord reading;
    reading.studyUuid = m_study.uuid;
    reading.sequence = m_nextSequence;
    reading.appraiser = step.appraiser;
    reading.part = step.part;
    reading.trial = step.trial;
    reading.values = std::move(fresh.values);
    m_lastTick = fresh.tick;
    m_pending = reading;
    m_state = State::Storing;
    m_writer.storeStudyReading(std::move(reading));
    Q_EMIT changed();
    return {};
}

QString StudySession::redoLast() {
    if (!m_lastTaken)
        return QStringLiteral("No reading has been taken yet.");
    return redoStep(*m_lastTaken);
}

QString StudySession::redoStep(const studies::StudyStep &step) {
    if (!hasStudy())
        return QStringLiteral("No study is running.");
    if (!m_readings->latest(step))
        return QStringLiteral("%1 has no reading to take again.").arg(promptFor(m_study, step));
    m_redo = step;
    Q_EMIT changed();
    return {};
}

void StudySession::cancelRedo() {
    if (!m_redo)
        return;
    m_redo.reset();
    Q_EMIT changed();
}

StudyFigures StudySession::figures() const {
    if (!m_readings)
        return {QStringLiteral("No study is running."), {}, {}, {}};
    return studyFigures(m_study, *m_readings);
}

void StudySession::created(const QString &uuid, qint64 studyId,
                           const measurelog::LogStatus &status) {
    if (m_state != State::Creating || uuid != m_study.uuid)
        return;
    if (!status.isReady()) {
        m_state = State::NoStudy;
        m_readings.reset();
        Q_EMIT problem(status.reason);
        Q_EMIT changed();
        return;
    }
    m_study.id = studyId;
    m_state = State::Taking;
    Q_EMIT changed();
}

void StudySession::readingStored(const measurelog::StudyReadingRecord &reading,
                                 const measurelog::LogStatus &status) {
    if (m_state != State::Storing || !m_pending || reading.studyUuid != m_study.uuid ||
        reading.sequence != m_pending->sequence)
        return;
    m_pending.reset();
    m_state = State::Taking;
    if (!status.isReady()) {
        // Nothing was stored: the same readings may be taken again.
        m_lastTick = 0;
        Q_EMIT problem(status.reason);
        Q_EMIT changed();
        return;
    }
    const studies::StudyStep step{reading.appraiser, reading.part, reading.trial};
    m_readings->record(step, reading.values);
    m_lastTaken = step;
    m_nextSequence = reading.sequence + 1;
    m_redo.reset();
    completeIfDone();
    Q_EMIT changed();
}

void StudySession::completeIfDone() {
    if (isComplete() && m_study.status != measurelog::StudyStatus::Complete)
        m_writer.setStudyStatus(m_study.uuid, measurelog::StudyStatus::Complete);
}

void StudySession::statusSet(const QString &uuid, measurelog::StudyStatus studyStatus,
                             const measurelog::LogStatus &status) {
    if (uuid != m_study.uuid)
        return;
    if (!status.isReady()) {
        Q_EMIT problem(status.reason);
        return;
    }
    m_study.status = studyStatus;
    Q_EMIT changed();
}

} // namespace studyrun
