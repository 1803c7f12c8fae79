#pragma once

#include "AutoRecord.h"
#include "BadGroundNotice.h"
#include "LogStatus.h"
#include "LogStore.h"
#include "PartCounter.h"
#include "PartRecordBuilder.h"
#include "RecordGate.h"
#include "RecordingInput.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

namespace measurelog {
class LogWriter;
}

// The station's recorder: it is fed the view on display, each row's reading with its tick, the
// end of each tick and whether the poll is held, and from these decides whether Record may run
// (and why not), builds a part from the last tick's readings, and hands it to the log's writer
// thread. The counter and the words about a part change only on the writer's answer, so nothing
// is said to be recorded that the log did not keep.
//
// The log is opened when the station starts if its file is there already (so the counter carries
// over a restart), else when the first part is recorded or the counter reset: a station that never
// records leaves no file behind.
namespace recording {

class PartRecorder : public QObject {
    Q_OBJECT

public:
    explicit PartRecorder(QString logPath, QObject *parent = nullptr);
    ~PartRecorder() override;

    const QString &logPath() const { return m_logPath; }

    // The feed. A view with other entries (or another name) starts over: its readings are
    // forgotten. The same view again takes the channels' set-ups as they stand now.
    void showView(const RecordingView &view);
    // A row of the view read in `reading.tick`; `entry` counts from 0 in the view's order.
    void takeReading(int entry, const ChannelReading &reading);
    // The tick's reads are done: the readings now are the part Record would take. An incomplete
    // tick (the view changed under it) records nothing.
    void endTick(qint64 tick, bool complete = true);
    void setHeld(bool held);

    // Who records, and with what.
    void setContext(const RecordContext &context) { m_builder.setContext(context); }
    const RecordContext &context() const { return m_builder.context(); }
    void setAutoRecord(bool on);
    bool autoRecord() const { return m_autoOn; }
    void setAutoRecordRule(const AutoRecordRule &rule) { m_auto.setRule(rule); }

    // Whether Record may run now, and why not.
    const GateAnswer &gate() const { return m_gate; }
    const measurelog::LogStatus &logStatus() const { return m_logStatus; }
    // Records the part now, if the gate is open; returns the part's uuid, or "" when nothing was
    // recorded (the status bar then says why).
    QString record();
    void resetCounter();

    const PartCounter &counter() const { return m_counter; }
    // The log's writer, opened now if it was not yet: the windows that keep other things in the
    // log (gauge studies) and the plant link, which hears of every part committed, share it.
    measurelog::LogWriter &writer();
    // Parts handed to the writer and not answered yet.
    int pending() const { return m_pending; }

Q_SIGNALS:
    void gateChanged(const recording::GateAnswer &gate);
    // A part is in the log.
    void partCommitted(const measurelog::Committed &part, measurelog::Verdict verdict);
    // A line for the status bar: a part recorded, or why one was not.
    void statusText(const QString &text);
    // The log's trouble in words for a box, once for each kind of trouble.
    void badGround(const QString &reason);

private:
    void ensureWriter();
    void opened(const measurelog::LogStatus &status, const measurelog::Counters &counters);
    void committed(const measurelog::Committed &part);
    void failed(const QString &uuid, const measurelog::LogStatus &status);
    void takeStatus(const measurelog::LogStatus &status);
    void updateGate();

    QString m_logPath;
    std::unique_ptr<measurelog::LogWriter> m_writer;
    measurelog::LogStatus m_logStatus;
    PartCounter m_counter;
    BadGroundNotice m_notice;
    PartRecordBuilder m_builder;
    AutoRecord m_auto;
    bool m_autoOn = false;

    RecordingView m_view;
    TickReadings m_readings; // each entry's last reading; tick: the last tick ended
    bool m_tickEnded = false;
    bool m_held = false;
    GateAnswer m_gate;
    int m_pending = 0;
    // The verdict of each part in flight, for the status bar when it is confirmed.
    QHash<QString, measurelog::Verdict> m_inFlight;
};

} // namespace recording
