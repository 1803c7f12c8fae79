#pragma once

#include <QByteArray>

#include <map>
#include <vector>

namespace plantlink {

// A recorded part waiting for the broker: its id in recording order and its JSON document.
struct OutboxRecord {
    qint64 id = 0;
    QByteArray payload;
};

// Where the parts to publish come from: the measurement log, or memory in tests. Ids grow in
// recording order. The client reads and marks on the thread it lives on.
class Outbox {
public:
    virtual ~Outbox() = default;
    // Unsent records with ids above afterId, in recording order, at most limit of them.
    virtual std::vector<OutboxRecord> nextUnsent(qint64 afterId, int limit) = 0;
    // The broker acknowledged these records. An id that is already marked is left as it is.
    virtual void markSent(const std::vector<qint64> &ids) = 0;
    virtual qint64 unsentCount() const = 0;
};

// An outbox in memory, for tests, benchmarks and a station without a log.
class MemoryOutbox : public Outbox {
public:
    // Adds a record and returns its id.
    qint64 add(QByteArray payload);

    std::vector<OutboxRecord> nextUnsent(qint64 afterId, int limit) override;
    void markSent(const std::vector<qint64> &ids) override;
    qint64 unsentCount() const override;

private:
    std::map<qint64, QByteArray> m_unsent;
    qint64 m_lastId = 0;
};

} // namespace plantlink
