#pragma once

#include <QString>

#include <optional>

// Texts the unit keeps for a channel (its description and its formula).
//
// A request line to the unit holds at most 256 bytes with its carriage return ("~CM 128 " before
// the text), and the reply line that reads a text back keeps 253 characters, of which "00 128 "
// come before the text. The longest text that reaches the unit for every channel and reads back
// whole is therefore 246 characters; the link library refuses a longer request as a whole
// (error 267), and a text between 247 and 249 characters would be cut on the way back.
inline constexpr int MaxUnitTextLength = 246;

// The text as it can go into one request line: every line break or other control character typed
// or pasted becomes a blank (the unit drops control characters, and a carriage return would end
// the request early).
QString unitTextFromTyped(const QString &text);

// Why `text` (already passed through unitTextFromTyped) cannot go to the unit, naming the field
// `fieldName`: longer than MaxUnitTextLength; a "~", which the unit takes as the start of a new
// request; a character outside Latin-1, which the 8-bit request cannot carry. Empty when it can.
std::optional<QString> whyUnitTextRefused(const QString &fieldName, const QString &text);
