#include "FreshReading.h"

namespace procedures {

void FreshReadingGate::prepare(int channel, uint64_t latestSequence) {
    m_channel = channel;
    m_usedUpTo = latestSequence;
}

ReadingForPress FreshReadingGate::take(const StoredReading &latest) {
    if (m_channel <= 0 || latest.channel != m_channel || latest.sequence <= m_usedUpTo ||
        !latest.valid)
        return {std::nullopt, noReadingYetText(m_channel)};
    m_usedUpTo = latest.sequence;
    return {latest.value, {}};
}

QString noReadingYetText(int channel) {
    return QStringLiteral("No reading of channel %1 is available yet. Press again once its live "
                          "value has been read.")
        .arg(channel);
}

} // namespace procedures
