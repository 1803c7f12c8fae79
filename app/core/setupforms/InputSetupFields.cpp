#include "InputSetupFields.h"

#include "TypedNumbers.h"

namespace setupforms {

namespace {

const QString SingleRange = QStringLiteral("from -3.402823E+38 to 3.402823E+38");

std::optional<float> fieldValue(const QString &typed, const ShownValue &shown,
                                QChar decimalSeparator) {
    if (typed == shown.text)
        return shown.value;
    return typedSingle(typed, decimalSeparator);
}

} // namespace

InputFieldsCheck checkInputFields(const InputSetupTexts &texts, const ShownValue &fullScale,
                                  const ShownValue &zeroOffset, QChar decimalSeparator) {
    const std::optional<float> scale = fieldValue(texts.fullScale, fullScale, decimalSeparator);
    if (!scale)
        return {std::nullopt, InputField::FullScale,
                QStringLiteral("Full Scale must be a number ") + SingleRange + QLatin1Char('.')};
    const std::optional<float> zero = fieldValue(texts.zeroOffset, zeroOffset, decimalSeparator);
    if (!zero)
        return {std::nullopt, InputField::ZeroOffset,
                QStringLiteral("Zero must be a number ") + SingleRange + QLatin1Char('.')};
    return {InputSetupRecord{withoutLineBreaks(texts.description), *scale, *zero},
            InputField::Description,
            {}};
}

QString withoutLineBreaks(QString text) {
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace setupforms
