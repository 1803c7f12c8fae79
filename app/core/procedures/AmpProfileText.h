#pragma once

#include "AmplifierSettings.h"

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

// Lines and numbers of an amplifier profile file.
namespace procedures::profile {

// Splits bytes into lines. A line ends with a line feed, with or without a carriage return before
// it; the last line needs no end. Lines are views into the bytes, so an enormous line costs one
// scan.
class LineSplitter {
public:
    explicit LineSplitter(QByteArrayView bytes) : m_bytes(bytes) {}

    // The next line without its end; empty at the end of the bytes.
    std::optional<std::string_view> next();
    // 1-based number of the line next() returned last; 0 before the first.
    int lineNumber() const { return m_lineNumber; }

private:
    QByteArrayView m_bytes;
    qsizetype m_next = 0;
    int m_lineNumber = 0;
};

// Why a line cannot be part of a profile (too long, or a control character other than a tab);
// empty when it can.
std::optional<QString> whyNotText(std::string_view line);

// A line as a message shows it: its first 200 characters (with "…" when there were more),
// control characters as U+FFFD.
QString displayText(std::string_view line);

// The whole number a line holds: a number (blanks around it allowed), rounded to the nearest
// integer with ties to the even one; empty when the line holds no number or it lies outside
// `range`.
std::optional<int> numberInRange(std::string_view line, SettingRange range);

// A number in print style: a blank before it unless it is negative, and a blank after it
// (" 85 ", "-20 ").
std::string printStyle(int value);

} // namespace procedures::profile
