#include "InputSetupFields.h"

#include "StationTexts.h"
#include "TypedNumbers.h"
#include "UnreadValues.h"

namespace setupforms {

namespace {

const QString SingleRange = QStringLiteral("from -3.402823E+38 to 3.402823E+38");

bool untouched(const QString &typed, const ShownValue &shown) {
    return typed == shown.text;
}

std::optional<float> fieldValue(const QString &typed, const ShownValue &shown,
                                QChar decimalSeparator) {
    if (untouched(typed, shown) && shown.value)
        return shown.value;
    return typedSingle(typed, decimalSeparator);
}

struct ValueBox {
    InputField field;
    const QString &typed;
    const ShownValue &shown;
};

InputFieldsCheck refused(InputField field, QString problem, bool unread = false) {
    return {std::nullopt, field, std::move(problem), unread};
}

} // namespace

QString inputFieldName(InputField field) {
    switch (field) {
    case InputField::Description:
        return QStringLiteral("Description");
    case InputField::FullScale:
        return QStringLiteral("Full Scale");
    case InputField::ZeroOffset:
        break;
    }
    return QStringLiteral("Zero");
}

InputFieldsCheck checkInputFields(const InputSetupTexts &texts, const ShownValue &fullScale,
                                  const ShownValue &zeroOffset, QChar decimalSeparator) {
    const ValueBox boxes[] = {{InputField::FullScale, texts.fullScale, fullScale},
                              {InputField::ZeroOffset, texts.zeroOffset, zeroOffset}};
    for (const ValueBox &box : boxes) {
        if (untouched(box.typed, box.shown) && !box.shown.value)
            return refused(box.field, unreadFieldProblem(inputFieldName(box.field)), true);
    }

    const QString description = withoutLineBreaks(texts.description);
    if (auto why = whyStationTextRefused(inputFieldName(InputField::Description), description))
        return refused(InputField::Description, *why);

    InputSetupRecord record{description, 0.0f, 0.0f};
    for (const ValueBox &box : boxes) {
        const std::optional<float> value = fieldValue(box.typed, box.shown, decimalSeparator);
        if (!value)
            return refused(box.field, inputFieldName(box.field) +
                                          QStringLiteral(" must be a number ") + SingleRange +
                                          QLatin1Char('.'));
        (box.field == InputField::FullScale ? record.fullScale : record.zeroOffset) = *value;
    }
    return {record, InputField::Description, {}, false};
}

QString textAfterReadingAgain(const QString &typed, const ShownValue &before,
                              const ShownValue &now) {
    return untouched(typed, before) ? now.text : typed;
}

QString withoutLineBreaks(QString text) {
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace setupforms
