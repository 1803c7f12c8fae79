#pragma once

#include <QString>

#include <optional>
#include <string>

// Times of the measurement log as text: UTC with milliseconds, "2026-12-07T18:54:32.123Z".
namespace measurelog {

// Appends the time (UTC milliseconds since 1970) as above.
void appendUtcText(std::string &out, qint64 ms);
QString utcText(qint64 ms);

// A time typed for a filter, ISO 8601: a date ("2026-12-07", its midnight), or a date and a time
// of day ("2026-12-07T18:54", seconds and milliseconds optional), followed by "Z" or an offset
// ("+01:00"); without either it is the station's local time. Empty for anything else.
std::optional<qint64> parseTimeText(const QString &text);

} // namespace measurelog
