#pragma once

#include "AmplifierSettings.h"
#include "TextLines.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// Lines and numbers of an amplifier profile file.
namespace procedures::profile {

using textfile::displayText;
using textfile::LineSplitter;

// Why a line cannot be part of a profile (longer than MaxLineLength, or a control character other
// than a tab); empty when it can.
std::optional<QString> whyNotText(std::string_view line);

// The whole number a line holds: a number (blanks around it allowed), rounded to the nearest
// integer with ties to the even one; empty when the line holds no number or it lies outside
// `range`.
std::optional<int> numberInRange(std::string_view line, SettingRange range);

// A number in print style: a blank before it unless it is negative, and a blank after it
// (" 85 ", "-20 ").
std::string printStyle(int value);

} // namespace procedures::profile
