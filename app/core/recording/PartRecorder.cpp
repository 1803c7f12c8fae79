#include "PartRecorder.h"

#include "LogWriter.h"

#include <QFileInfo>

#include <utility>

namespace recording {

using measurelog::Committed;
using measurelog::Counters;
using measurelog::LogStatus;
using measurelog::LogWriter;

namespace {

bool sameEntries(const RecordingView &a, const RecordingView &b) {
    if (a.name != b.name || a.channels.size() != b.channels.size())
        return false;
    for (size_t i = 0; i < a.channels.size(); ++i) {
        if (a.channels[i].channel != b.channels[i].channel)
            return false;
    }
    return true;
}

} // namespace

PartRecorder::PartRecorder(QString logPath, QObject *parent)
    : QObject(parent), m_logPath(std::move(logPath)) {
    if (QFileInfo::exists(m_logPath))
        ensureWriter();
    updateGate();
}

PartRecorder::~PartRecorder() = default;

void PartRecorder::ensureWriter() {
    if (m_writer)
        return;
    m_writer = std::make_unique<LogWriter>(m_logPath);
    connect(m_writer.get(), &LogWriter::opened, this, &PartRecorder::opened);
    connect(m_writer.get(), &LogWriter::committed, this, &PartRecorder::committed);
    connect(m_writer.get(), &LogWriter::failed, this, &PartRecorder::failed);
    connect(m_writer.get(), &LogWriter::countersReset, this,
            [this](const LogStatus &status, const Counters &counters) {
                m_counter.countersReset(status, counters);
                if (status.isReady())
                    Q_EMIT statusText(QStringLiteral("The part counter is reset."));
                else
                    takeStatus(status);
            });
}

void PartRecorder::showView(const RecordingView &view) {
    if (!sameEntries(view, m_view)) {
        m_readings = {};
        m_readings.channels.resize(view.channels.size());
        for (size_t i = 0; i < view.channels.size(); ++i)
            m_readings.channels[i].channel = view.channels[i].channel;
        m_tickEnded = false;
        m_auto.interrupt();
    }
    m_view = view;
    updateGate();
}

void PartRecorder::takeReading(int entry, const ChannelReading &reading) {
    if (entry < 0 || entry >= static_cast<int>(m_readings.channels.size()))
        return;
    ChannelReading &kept = m_readings.channels[static_cast<size_t>(entry)];
    // A row whose channel is not the view's entry belongs to a view no longer shown.
    if (reading.channel != kept.channel)
        return;
    kept = reading;
}

void PartRecorder::endTick(qint64 tick, bool complete) {
    if (!complete) {
        m_auto.interrupt();
        return;
    }
    m_readings.tick = tick;
    m_tickEnded = true;
    updateGate();
    if (!m_autoOn)
        return;
    if (!m_gate.isOpen()) {
        m_auto.interrupt();
        return;
    }
    if (m_auto.takeTick(m_view, m_readings))
        record();
}

void PartRecorder::setHeld(bool held) {
    m_held = held;
    updateGate();
}

void PartRecorder::setAutoRecord(bool on) {
    m_autoOn = on;
    // Switched on with a part in the fixture: that part is recorded once it holds still.
    m_auto.interrupt();
}

QString PartRecorder::record() {
    updateGate();
    if (!m_gate.isOpen()) {
        Q_EMIT statusText(QStringLiteral("Record: ") + m_gate.reason);
        return {};
    }
    ensureWriter();
    measurelog::PartRecord part = m_builder.build(m_view, m_readings);
    const measurelog::Verdict verdict = part.verdict;
    const QString uuid = m_writer->submit(std::move(part));
    m_inFlight.insert(uuid, verdict);
    ++m_pending;
    m_auto.noteRecorded();
    return uuid;
}

measurelog::LogWriter &PartRecorder::writer() {
    ensureWriter();
    return *m_writer;
}

void PartRecorder::resetCounter() {
    ensureWriter();
    m_writer->resetCounters();
}

void PartRecorder::opened(const LogStatus &status, const Counters &counters) {
    m_counter.opened(status, counters);
    takeStatus(status);
}

void PartRecorder::committed(const Committed &part) {
    --m_pending;
    const measurelog::Verdict verdict = m_inFlight.take(part.uuid);
    m_logStatus = {};
    m_notice.logWorked();
    m_counter.committed(part);
    updateGate();
    Q_EMIT partCommitted(part, verdict);
    Q_EMIT statusText(QStringLiteral("Part %1 recorded: %2")
                          .arg(part.serialNumber)
                          .arg(measurelog::verdictName(verdict)));
}

void PartRecorder::failed(const QString &uuid, const LogStatus &status) {
    --m_pending;
    m_inFlight.remove(uuid);
    takeStatus(status);
}

void PartRecorder::takeStatus(const LogStatus &status) {
    m_logStatus = status;
    updateGate();
    if (status.isReady())
        return;
    Q_EMIT statusText(QStringLiteral("Record: ") + status.reason);
    if (m_notice.shouldTell(status))
        Q_EMIT badGround(status.reason);
}

void PartRecorder::updateGate() {
    const GateAnswer gate =
        recordGate({m_view, m_tickEnded ? &m_readings : nullptr, m_held, m_logStatus});
    if (gate.state == m_gate.state && gate.reason == m_gate.reason)
        return;
    m_gate = gate;
    Q_EMIT gateChanged(m_gate);
}

} // namespace recording
