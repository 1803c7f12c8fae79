#include "Outbox.h"

namespace plantlink {

qint64 MemoryOutbox::add(QByteArray payload) {
    m_unsent.emplace(++m_lastId, std::move(payload));
    return m_lastId;
}

std::vector<OutboxRecord> MemoryOutbox::nextUnsent(qint64 afterId, int limit) {
    std::vector<OutboxRecord> records;
    for (auto at = m_unsent.upper_bound(afterId);
         at != m_unsent.end() && static_cast<int>(records.size()) < limit; ++at)
        records.push_back({at->first, at->second});
    return records;
}

void MemoryOutbox::markSent(const std::vector<qint64> &ids) {
    for (const qint64 id : ids)
        m_unsent.erase(id);
}

qint64 MemoryOutbox::unsentCount() const {
    return static_cast<qint64>(m_unsent.size());
}

} // namespace plantlink
