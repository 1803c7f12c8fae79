#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

// The full scale and offset boxes of the calibration dialog: what a typed text may be, and how a
// value is shown. A text that is not a number, or a number out of range, is refused with a
// message that names the range, and nothing is sent.
namespace procedures {

struct CheckedNumber {
    std::optional<float> value; // empty when refused
    QString refusal;
};

// A number of at least 0.001 that fits a single. `decimalSeparator`: the regional one, read like
// "." (a "." is always read as the point).
CheckedNumber checkFullScale(QStringView text, QChar decimalSeparator = u'.');
// Any number that fits a single.
CheckedNumber checkOffset(QStringView text, QChar decimalSeparator = u'.');

// The boxes show five decimals ("0.00000").
QString boxText(float value);

} // namespace procedures
