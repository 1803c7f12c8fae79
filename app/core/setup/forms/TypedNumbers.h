#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

// Numbers as the operator types them into the setup dialogs: blanks around them allowed, "." or
// the regional decimal separator as the point, never the locale's thousands separator.
namespace setupforms {

// The station's regional decimal separator.
QChar regionalDecimalSeparator();

// The number the whole text holds; empty for anything else.
std::optional<double> typedNumber(QStringView text, QChar decimalSeparator);

// The whole text as a number rounded to an integer (a tie to the even one), when that lies in
// low..high.
std::optional<int> typedInteger(QStringView text, QChar decimalSeparator, int low, int high);

// The whole text as a single, when it is a number a single holds.
std::optional<float> typedSingle(QStringView text, QChar decimalSeparator);

// "from 1 to 128": the words that name a range in the dialogs' messages.
QString rangeWords(int low, int high);

} // namespace setupforms
