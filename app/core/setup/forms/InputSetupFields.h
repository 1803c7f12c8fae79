#pragma once

#include <QChar>
#include <QString>

#include <optional>

// The fields of the probe and analog setup dialogs, checked together before anything is sent.
namespace setupforms {

// A value as the dialog showed it: the text put into its box and the value read from the unit.
// While the box still holds that text, the value read is what is sent back, so programming an
// input whose boxes were not touched never rounds its calibration to the decimals shown. A value
// whose read failed has none: its box shows nothing, and until the operator types a value into it
// the value is unknown and the input cannot be programmed.
struct ShownValue {
    QString text;
    std::optional<float> value;
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

// The field as the dialog's messages name it ("Full Scale").
QString inputFieldName(InputField field);

struct InputFieldsCheck {
    std::optional<InputSetupRecord> record; // empty when a field is refused
    InputField field = InputField::Description;
    QString problem; // names the field and what it takes
    // The field was refused because its value could not be read from the unit: reading the input
    // again is what helps.
    bool unread = false;
};

// Checks every field: a value left as it was shown while its read had failed is refused first
// (UnreadValues.h); then the description must be a text a setup file holds (StationTexts.h), and
// full scale and zero numbers a single holds.
InputFieldsCheck checkInputFields(const InputSetupTexts &texts, const ShownValue &fullScale,
                                  const ShownValue &zeroOffset, QChar decimalSeparator = u'.');

// What a value box shows once its input has been read again: the new reading while the box still
// held what it was shown with, else what the operator typed into it.
QString textAfterReadingAgain(const QString &typed, const ShownValue &before,
                              const ShownValue &now);

// Line breaks typed or pasted into a description become blanks: a description is one line of a
// setup file.
QString withoutLineBreaks(QString text);

} // namespace setupforms
