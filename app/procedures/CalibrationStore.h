#pragma once

#include "AmpExchangeSteps.h"
#include "SaveWait.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class LinkScheduler;
struct LinkSession;

// Makes the unit store its amplifier calibration: QorSaveCalibration, then QorGetSaveStatus every
// 200 ms until the unit says it is done, at most 50 times. Each request is a sequence of its own
// on the link scheduler and the wait between them is a timer, never a sleep, so the window stays
// responsive. The poll is stopped for the whole store, waits included, and started again at its
// end if it was running: no poll request falls between the store's requests, as none falls
// between those of any other calibration exchange.
class CalibrationStore : public QObject {
    Q_OBJECT

public:
    CalibrationStore(LinkSession &session, LinkScheduler &scheduler, QObject *parent = nullptr);

    void start();
    bool isRunning() const { return m_running; }

Q_SIGNALS:
    // After each status poll: polls made so far, of procedures::SaveStatusPolls.
    void progressed(int polls);
    // stored is false with the message to show when the unit refused or did not finish.
    void finished(bool stored, const QString &message);

private:
    void sendStatusPoll();
    void judge(const procedures::SaveDecision &decision);

    LinkSession &m_session;
    LinkScheduler &m_scheduler;
    QTimer m_wait;
    std::shared_ptr<procedures::AmpReadings> m_readings;
    int m_polls = 0;
    bool m_running = false;
    bool m_pollStopped = false; // by this store, which starts it again
};
