#include "LiveRateLimiter.h"

namespace plantlink {

bool LiveRateLimiter::admit(int channel, const QString &shown, qint64 nowMs) {
    const auto last = m_sent.find(channel);
    if (last != m_sent.end()) {
        if (last->shown == shown || nowMs - last->atMs < m_minIntervalMs)
            return false;
        *last = {shown, nowMs};
        return true;
    }
    m_sent.insert(channel, {shown, nowMs});
    return true;
}

} // namespace plantlink
