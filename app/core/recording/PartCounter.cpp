#include "PartCounter.h"

namespace recording {

PartCounter::PartCounter(QObject *parent) : QObject(parent) {}

std::optional<double> PartCounter::yield() const {
    const qint64 judged = m_counters.good + m_counters.warn + m_counters.reject;
    if (judged <= 0)
        return std::nullopt;
    return static_cast<double>(m_counters.good + m_counters.warn) / static_cast<double>(judged);
}

QString PartCounter::yieldText() const {
    const std::optional<double> share = yield();
    if (!share)
        return QStringLiteral("\u2013");
    return QStringLiteral("%1 %").arg(*share * 100.0, 0, 'f', 1);
}

void PartCounter::opened(const measurelog::LogStatus &, const measurelog::Counters &counters) {
    // A log that could not be opened reports no parts: nothing is known to be counted then.
    take(counters);
}

void PartCounter::committed(const measurelog::Committed &part) {
    take(part.counters);
}

void PartCounter::countersReset(const measurelog::LogStatus &,
                                const measurelog::Counters &counters) {
    // A reset that failed reports the counter as it still stands.
    take(counters);
}

void PartCounter::take(const measurelog::Counters &counters) {
    if (counters == m_counters)
        return;
    m_counters = counters;
    Q_EMIT changed();
}

} // namespace recording
