#pragma once

#include <QChar>
#include <QString>

#include <optional>

// The fields of the probe and analog setup dialogs, checked together before anything is sent.
namespace setupforms {

// A value as the dialog showed it: the text put into its box and the value read from the unit.
// While the box still holds that text, the value read is what is sent back, so programming an
// input whose boxes were not touched never rounds its calibration to the decimals shown.
struct ShownValue {
    QString text;
    float value = 0.0f;
};

struct InputSetupTexts {
    QString description;
    QString fullScale;
    QString zeroOffset;
};

// What Program sends, in that order: the description (kept by the station), the full scale and
// the zero offset.
struct InputSetupRecord {
    QString description;
    float fullScale = 0.0f;
    float zeroOffset = 0.0f;
};

enum class InputField { Description, FullScale, ZeroOffset };

struct InputFieldsCheck {
    std::optional<InputSetupRecord> record; // empty when a field is refused
    InputField field = InputField::Description;
    QString problem; // names the field and what it takes
};

// Checks every field: full scale and zero must be numbers a single holds.
InputFieldsCheck checkInputFields(const InputSetupTexts &texts, const ShownValue &fullScale,
                                  const ShownValue &zeroOffset, QChar decimalSeparator = u'.');

// Line breaks typed or pasted into a description become blanks: a description is one line of a
// setup file.
QString withoutLineBreaks(QString text);

} // namespace setupforms
