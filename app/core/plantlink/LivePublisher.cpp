#include "LivePublisher.h"

#include "PlantLinkClient.h"

#include <cmath>

namespace plantlink {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// "-"? ("0" | [1-9][0-9]*) ("." [0-9]+)?: the decimals JSON takes, without an exponent.
bool isJsonDecimal(QStringView text) {
    qsizetype at = 0;
    if (at < text.size() && text[at] == u'-')
        ++at;
    const qsizetype wholeStart = at;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    const qsizetype whole = at - wholeStart;
    if (whole == 0 || (whole > 1 && text[wholeStart] == u'0'))
        return false;
    if (at == text.size())
        return true;
    if (text[at] != u'.')
        return false;
    const qsizetype fractionStart = ++at;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at == text.size() && at > fractionStart;
}

} // namespace

QString liveNumberText(const LiveReading &reading) {
    if (!reading.value || !std::isfinite(*reading.value))
        return {};
    QStringView shown = QStringView(reading.text).trimmed();
    if (shown.endsWith(u'.'))
        shown.chop(1);
    if (isJsonDecimal(shown))
        return shown.toString();
    return QString::number(*reading.value, 'g', 15);
}

bool LivePublisher::wanted(qint64 tick) {
    if (tick < m_newestTick)
        return false;
    m_newestTick = tick;
    return m_client.wantsLiveValues();
}

void LivePublisher::onReadings(qint64 tick, const std::vector<LiveReading> &readings) {
    if (!wanted(tick))
        return;
    for (const LiveReading &reading : readings)
        m_client.publishLiveText(reading.channel, liveNumberText(reading));
}

void LivePublisher::onReading(qint64 tick, const LiveReading &reading) {
    if (wanted(tick))
        m_client.publishLiveText(reading.channel, liveNumberText(reading));
}

} // namespace plantlink
