#include "Payloads.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace plantlink {

namespace {

constexpr int MaxDecimals = 9;

int clampedDecimals(int decimals) {
    return std::clamp(decimals, 0, MaxDecimals);
}

// The double nearest to the value rounded to its decimals, so the document's number reads
// "12.003" and not the binary neighbour of a float the unit reported.
QJsonValue number(std::optional<double> value, int decimals) {
    if (!value || !std::isfinite(*value))
        return QJsonValue(QJsonValue::Null);
    return QString::number(*value, 'f', clampedDecimals(decimals)).toDouble();
}

QString isoTimeString(const QDateTime &time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

void putOptional(QJsonObject &object, const char *key, std::optional<double> value, int decimals) {
    if (value)
        object.insert(QLatin1String(key), number(value, decimals));
}

QJsonObject valueObject(const PartValue &v) {
    QJsonObject limits;
    putOptional(limits, "lower_reject", v.limits.lowerReject, v.decimals);
    putOptional(limits, "lower_warn", v.limits.lowerWarn, v.decimals);
    putOptional(limits, "upper_warn", v.limits.upperWarn, v.decimals);
    putOptional(limits, "upper_reject", v.limits.upperReject, v.decimals);
    QJsonObject object{
        {"channel", v.channel},
        {"description", v.description},
        {"value", number(v.value, v.decimals)},
        {"decimals", clampedDecimals(v.decimals)},
        {"limits", limits},
        {"verdict", verdictText(v.verdict)},
    };
    putOptional(object, "nominal", v.nominal, v.decimals);
    return object;
}

QByteArray compact(const QJsonObject &object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

QString verdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Good:
        return QStringLiteral("good");
    case Verdict::Warn:
        return QStringLiteral("warn");
    case Verdict::Reject:
        return QStringLiteral("reject");
    case Verdict::NoLimits:
        break;
    }
    return QStringLiteral("no_limits");
}

QString shownValue(std::optional<double> value, int decimals) {
    if (!value || !std::isfinite(*value))
        return {};
    return QString::number(*value, 'f', clampedDecimals(decimals));
}

QByteArray partDocument(const PartMessage &part) {
    QJsonArray values;
    for (const PartValue &v : part.values)
        values.append(valueObject(v));
    QJsonObject object{
        {"uuid", part.uuid},
        {"time", isoTimeString(part.time)},
        {"station", part.station},
        {"serial", part.serial},
        {"operator", part.operatorName},
        {"setup", part.setup},
        {"setup_hash", part.setupHash},
        {"view", part.view},
        {"verdict", verdictText(part.verdict)},
        {"values", values},
    };
    if (!part.lot.isEmpty())
        object.insert(QLatin1String("lot"), part.lot);
    return compact(object);
}

QByteArray counterDocument(const CounterState &counter, const QDateTime &time) {
    QJsonObject object{
        {"parts", counter.parts},
        {"good", counter.good},
        {"warn", counter.warn},
        {"reject", counter.reject},
        {"yield_percent", number(counter.yieldPercent, 2)},
        {"time", isoTimeString(time)},
    };
    if (counter.since.isValid())
        object.insert(QLatin1String("since"), isoTimeString(counter.since));
    return compact(object);
}

QByteArray onlineDocument(const StationInfo &info, const QDateTime &time) {
    return compact(QJsonObject{
        {"state", "online"},
        {"version", info.version},
        {"setup", info.setup},
        {"time", isoTimeString(time)},
    });
}

QByteArray offlineDocument() {
    return compact(QJsonObject{{"state", "offline"}});
}

QByteArray liveDocument(const QString &shown, const QByteArray &time) {
    return R"({"time":")" + time + R"(","value":)" +
           (shown.isEmpty() ? QByteArray("null") : shown.toLatin1()) + '}';
}

QByteArray isoTime(const QDateTime &time) {
    return isoTimeString(time).toLatin1();
}

} // namespace plantlink
