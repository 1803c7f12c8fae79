#include "PartMessages.h"

#include "ShownDecimal.h"

#include <string>

namespace plantlink {

namespace {

// The double the shown text reads back as. The documents write it with the same decimals, and
// the nearest double to a decimal of at most 15 digits prints back as that decimal, so a value
// the gauges showed as 12.012 is 12.012 in the document too, not its binary neighbour rounded
// down.
double asShown(double value, int decimals) {
    std::string text;
    measurelog::appendShownDecimal(text, value, decimals);
    return QByteArray::fromStdString(text).toDouble();
}

std::optional<double> asShown(const std::optional<double> &value, int decimals) {
    if (!value)
        return std::nullopt;
    return asShown(*value, decimals);
}

Verdict verdictOf(measurelog::Verdict verdict) {
    switch (verdict) {
    case measurelog::Verdict::Good:
        return Verdict::Good;
    case measurelog::Verdict::Warn:
        return Verdict::Warn;
    case measurelog::Verdict::Reject:
        return Verdict::Reject;
    case measurelog::Verdict::NoLimits:
        break;
    }
    return Verdict::NoLimits;
}

PartValue partValue(const measurelog::ValueRecord &recorded) {
    const int decimals = recorded.decimals;
    PartValue value;
    value.channel = recorded.channel;
    value.description = recorded.description;
    value.value = asShown(recorded.value, decimals);
    value.decimals = decimals;
    value.nominal = asShown(recorded.nominal, decimals);
    // The tolerance limits reject, the approach limits warn.
    value.limits.lowerReject = asShown(recorded.lowTolerance, decimals);
    value.limits.lowerWarn = asShown(recorded.lowApproach, decimals);
    value.limits.upperWarn = asShown(recorded.highApproach, decimals);
    value.limits.upperReject = asShown(recorded.highTolerance, decimals);
    value.verdict = verdictOf(recorded.verdict);
    return value;
}

} // namespace

PartMessage partMessage(const measurelog::PartRecord &part, const QString &stationName) {
    PartMessage message;
    message.uuid = part.uuid;
    message.time = QDateTime::fromMSecsSinceEpoch(part.timeMs, Qt::UTC);
    message.serial = part.serialNumber;
    message.lot = part.serialText;
    message.operatorName = part.operatorName;
    message.setup = part.setupFile;
    message.setupHash = part.setupHash;
    message.view = part.viewName;
    message.station = part.station.isEmpty() ? stationName : part.station;
    message.verdict = verdictOf(part.verdict);
    message.values.reserve(part.values.size());
    for (const measurelog::ValueRecord &value : part.values)
        message.values.push_back(partValue(value));
    return message;
}

CounterState counterState(const measurelog::Counters &counters) {
    CounterState state;
    state.parts = counters.parts;
    state.good = counters.good;
    state.warn = counters.warn;
    state.reject = counters.reject;
    if (counters.parts > 0)
        state.yieldPercent = 100.0 * static_cast<double>(counters.parts - counters.reject) /
                             static_cast<double>(counters.parts);
    if (counters.resetMs > 0)
        state.since = QDateTime::fromMSecsSinceEpoch(counters.resetMs, Qt::UTC);
    return state;
}

} // namespace plantlink
