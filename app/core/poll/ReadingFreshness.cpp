#include "ReadingFreshness.h"

std::optional<bool> ReadingFreshness::noteRead(int row, bool fresh) {
    if (row < 1)
        return std::nullopt;
    if (static_cast<size_t>(row) > m_rows.size())
        m_rows.resize(static_cast<size_t>(row));
    Row &r = m_rows[static_cast<size_t>(row - 1)];
    const bool wasStale = r.stale;
    if (fresh) {
        r = {true, 0, false};
    } else if (r.hasReading) {
        ++r.missedTicks;
        r.stale = r.missedTicks >= StaleAfterMissedTicks;
    }
    if (r.stale == wasStale)
        return std::nullopt;
    return r.stale;
}

bool ReadingFreshness::isStale(int row) const {
    return row >= 1 && static_cast<size_t>(row) <= m_rows.size() &&
           m_rows[static_cast<size_t>(row - 1)].stale;
}
