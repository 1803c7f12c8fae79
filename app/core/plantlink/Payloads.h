#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// The JSON documents the station publishes, built from plain structs so the measurement log's
// records, the counter and the station's state map onto them without the broker code knowing
// either. The documents are compact UTF-8 JSON; times are ISO 8601 in UTC with milliseconds.
namespace plantlink {

enum class Verdict { Good, Warn, Reject, NoLimits };

// "good", "warn", "reject", "no_limits".
QString verdictText(Verdict verdict);

// A channel's limits when the part was measured; a limit the channel does not have is absent.
struct ChannelLimits {
    std::optional<double> lowerReject;
    std::optional<double> lowerWarn;
    std::optional<double> upperWarn;
    std::optional<double> upperReject;
};

struct PartValue {
    int channel = 0;
    QString description;
    std::optional<double> value; // absent: no reading
    int decimals = 3;
    std::optional<double> nominal;
    ChannelLimits limits;
    Verdict verdict = Verdict::NoLimits;
};

struct PartMessage {
    QString uuid;
    QDateTime time;
    qint64 serial = 0; // the station's automatic serial
    QString lot;       // a typed serial or lot, empty when none was given
    QString operatorName;
    QString setup;
    QString setupHash;
    QString view; // the view or group the part was measured in
    QString station;
    Verdict verdict = Verdict::NoLimits;
    std::vector<PartValue> values;
};

struct CounterState {
    qint64 parts = 0;
    qint64 good = 0;
    qint64 warn = 0;
    qint64 reject = 0;
    double yieldPercent = 0.0;
    QDateTime since; // the last reset
};

struct StationInfo {
    QString version;
    QString setup;
};

// Values and limits are written with the channel's decimals, as the station shows them.
QByteArray partDocument(const PartMessage &part);
QByteArray counterDocument(const CounterState &counter, const QDateTime &time);
QByteArray onlineDocument(const StationInfo &info, const QDateTime &time);
// Also the connection's will, so it carries no time: the broker sends it as it was left.
QByteArray offlineDocument();
// A live value: shown is the value as text with the channel's decimals (written as it is, so
// "2.000" keeps its decimals), or empty for none; time is isoTime()'s text. Built by hand: a
// poll tick may make 128 of them.
QByteArray liveDocument(const QString &shown, const QByteArray &time);
// A time as the documents write it: ISO 8601 in UTC with milliseconds.
QByteArray isoTime(const QDateTime &time);

// A value as the station shows it with its decimals ("12.003"); empty for no value.
QString shownValue(std::optional<double> value, int decimals);

} // namespace plantlink
