#pragma once

#include <QHash>
#include <QString>

namespace plantlink {

// Decides which live values go out: a channel's value is sent when it differs from the last one
// sent for that channel and at least the minimum interval has passed since then. Values are
// compared as shown (with the channel's decimals), so noise below the last digit sends nothing.
// A value held back is not lost: the next reading that still differs goes out once the interval
// has passed, so subscribers always converge on the value the station shows.
class LiveRateLimiter {
public:
    explicit LiveRateLimiter(qint64 minIntervalMs) : m_minIntervalMs(minIntervalMs) {}

    // Whether to send shown for channel at nowMs (a monotonic clock); remembers it when so.
    bool admit(int channel, const QString &shown, qint64 nowMs);
    // Forget what was sent, so every channel's next value goes out (after a reconnect).
    void clear() { m_sent.clear(); }

private:
    struct Sent {
        QString shown;
        qint64 atMs = 0;
    };
    qint64 m_minIntervalMs;
    QHash<int, Sent> m_sent;
};

} // namespace plantlink
