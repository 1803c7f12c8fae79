#pragma once

#include "LogReader.h"
#include "LogStatus.h"
#include "LogStore.h"
#include "LogWriter.h"
#include "Outbox.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <optional>
#include <vector>

namespace plantlink {

// The measurement log as the plant link's outbox. Parts are read on a connection of the outbox's
// own, in recording order, and become part documents; the broker's acknowledgements are marked in
// the log through the log's writer, which holds the only connection that writes.
//
// Marks go to the writer in batches: one batch at a time, and what the broker acknowledges while
// the writer stores a batch goes with the next, so a backlog that drains fast costs the disk a
// few transactions a second, not one a part. Until the writer has stored a part's mark the outbox
// keeps it as sent, so a reconnection meanwhile does not send it again; a mark the log cannot
// store now is tried again with the next batch. Lives on the client's thread.
class LogOutbox : public QObject, public Outbox {
    Q_OBJECT
public:
    // Reads the log the writer writes. A part recorded without a station name is published under
    // stationName.
    LogOutbox(measurelog::LogWriter &writer, QString stationName, QObject *parent = nullptr);
    // Hands the writer the marks it has not had yet, so they are stored before it ends.
    ~LogOutbox() override;

    void setStationName(const QString &stationName) { m_stationName = stationName; }
    // Why the log could not be read last time; empty when the last read worked.
    const QString &readProblem() const { return m_readProblem; }

    std::vector<OutboxRecord> nextUnsent(qint64 afterId, int limit) override;
    void markSent(const std::vector<qint64> &ids) override;
    qint64 unsentCount() const override;

    // The writer committed a part (its `committed` signal): it counts as waiting from now on.
    void partCommitted(const measurelog::Committed &part);

Q_SIGNALS:
    // A read of the log failed; nothing is published from it until a read works again, which is
    // tried when the outbox is next asked.
    void readFailed(const QString &why);

private:
    struct Tally {
        qint64 unsent = 0; // parts in the log that the broker has not acknowledged
        qint64 lastId = 0; // the newest part counted
    };
    std::optional<Tally> countLog() const;
    const std::optional<Tally> &tally() const;
    void handOverMarks();
    void marked(const QList<qint64> &ids, const measurelog::LogStatus &status);

    QPointer<measurelog::LogWriter> m_writer;
    QString m_logPath;
    QString m_stationName;
    measurelog::LogReader m_reader;
    QString m_readProblem;

    // Counted from the log once it has tables, then kept up to date by commits and marks.
    mutable std::optional<Tally> m_tally;
    // Acknowledged by the broker, not yet confirmed stored as sent.
    QSet<qint64> m_acknowledged;
    QList<qint64> m_toMark;   // not handed to the writer yet
    QList<qint64> m_atWriter; // the batch the writer is storing
};

} // namespace plantlink
