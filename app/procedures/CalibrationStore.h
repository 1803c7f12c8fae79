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
// on the link scheduler, so the poll goes on between the status polls and the window stays
// responsive; the wait between them is a timer, never a sleep.
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
};
