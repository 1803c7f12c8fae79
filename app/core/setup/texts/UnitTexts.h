#pragma once

#include <QString>

#include <optional>

// Texts the unit keeps for a channel (its description and its formula), wherever they come from:
// typed into Channel Setup or read from a setup file. Both are judged by these two functions, so
// a file can send nothing that the dialog would have refused.
//
// A request line to the unit holds at most 256 bytes with its carriage return ("~CM 128 " before
// the text), and the reply line that reads a text back keeps 253 characters, of which "00 128 "
// come before the text. The longest text that reaches the unit for every channel and reads back
// whole is therefore 246 characters; the link library refuses a longer request as a whole
// (error 267), and a text between 247 and 249 characters would be cut on the way back.
inline constexpr int MaxUnitTextLength = 246;

// The text as it can go into one request line: every line break, tab or other control character
// becomes a blank (the unit drops control characters, and a carriage return would end the request
// early). The length does not change.
QString unitTextFromTyped(const QString &text);

// Why `text` cannot go to the unit, naming the field `fieldName`: longer than MaxUnitTextLength; a
// "~", which the unit takes as the start of a new request; a character outside Latin-1, which the
// 8-bit request cannot carry, or one of the codes 0x80 to 0x9F, to which Latin-1 gives no
// character. Empty when it can.
//
// Typed text is passed through unitTextFromTyped first, which blanks those codes with the other
// control characters. A file's line is judged before that: a file holds such a code only when it
// was written in another encoding (a typographic dash or quote of an 8-bit code page, a piece of a
// UTF-8 character), and a blank in its place would change the text without a word.
std::optional<QString> whyUnitTextRefused(const QString &fieldName, const QString &text);
