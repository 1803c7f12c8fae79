#include "CalibrationStore.h"

#include "LinkScheduler.h"
#include "SaveWait.h"

#include <QPointer>

using namespace procedures;

CalibrationStore::CalibrationStore(LinkSession &session, LinkScheduler &scheduler, QObject *parent)
    : QObject(parent), m_session(session), m_scheduler(scheduler) {
    m_wait.setSingleShot(true);
    m_wait.setInterval(SaveStatusInterval);
    connect(&m_wait, &QTimer::timeout, this, &CalibrationStore::sendStatusPoll);
}

void CalibrationStore::start() {
    if (m_running)
        return;
    m_running = true;
    m_pollStopped = m_scheduler.isPolling();
    if (m_pollStopped)
        m_scheduler.stopPolling();
    m_polls = 0;
    m_readings = std::make_shared<AmpReadings>();
    LinkSequence sequence(QStringLiteral("Store calibration"));
    addExchange(sequence, m_session, {saveCalibration()}, m_readings);
    sequence.finished = [self = QPointer(this), readings = m_readings](bool) {
        if (CalibrationStore *const store = self.data())
            store->judge(afterSaveStart(readings->saveResult, readings->saveStatus));
    };
    m_scheduler.run(std::move(sequence));
}

void CalibrationStore::sendStatusPoll() {
    LinkSequence sequence(QStringLiteral("Store calibration: status"));
    addExchange(sequence, m_session, {getSaveStatus()}, m_readings);
    sequence.finished = [self = QPointer(this), readings = m_readings](bool) {
        CalibrationStore *const store = self.data();
        if (!store)
            return;
        const int poll = ++store->m_polls;
        Q_EMIT store->progressed(poll);
        store->judge(afterSaveStatus(poll, readings->saveResult, readings->firstSaveStatus,
                                     readings->secondSaveStatus));
    };
    m_scheduler.run(std::move(sequence));
}

void CalibrationStore::judge(const SaveDecision &decision) {
    if (decision.progress == SaveProgress::Waiting) {
        m_wait.start();
        return;
    }
    m_running = false;
    if (m_pollStopped)
        m_scheduler.startPolling();
    m_pollStopped = false;
    Q_EMIT finished(decision.progress == SaveProgress::Stored, decision.message);
}
