#include "LogTime.h"

#include <QDateTime>

#include <chrono>

namespace measurelog {

namespace {

void appendDigits(std::string &out, long long value, int width) {
    if (value < 0) {
        out += '-';
        value = -value;
    }
    char digits[24];
    int length = 0;
    do {
        digits[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 || length < width);
    while (length > 0)
        out += digits[--length];
}

} // namespace

void appendUtcText(std::string &out, qint64 ms) {
    using namespace std::chrono;
    const sys_time<milliseconds> time{milliseconds(ms)};
    const sys_days day = floor<days>(time);
    const year_month_day date(day);
    const long long inDay = (time - day).count(); // never negative: floor above
    appendDigits(out, static_cast<int>(date.year()), 4);
    out += '-';
    appendDigits(out, static_cast<unsigned>(date.month()), 2);
    out += '-';
    appendDigits(out, static_cast<unsigned>(date.day()), 2);
    out += 'T';
    appendDigits(out, inDay / 3600000, 2);
    out += ':';
    appendDigits(out, inDay / 60000 % 60, 2);
    out += ':';
    appendDigits(out, inDay / 1000 % 60, 2);
    out += '.';
    appendDigits(out, inDay % 1000, 3);
    out += 'Z';
}

QString utcText(qint64 ms) {
    std::string text;
    appendUtcText(text, ms);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<qint64> parseTimeText(const QString &text) {
    const QDateTime time = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
    if (!time.isValid())
        return std::nullopt;
    return time.toMSecsSinceEpoch();
}

} // namespace measurelog
