#include "ChannelSetupFields.h"

#include "TypedNumbers.h"
#include "UnitTexts.h"
#include "UnreadValues.h"
#include "ValueFormat.h"

namespace setupforms {

namespace {

const char *const FieldNames[] = {"Description", "Formula",        "Decimals", "Master 1",
                                  "Master 2",    "Scaling",        "Zero",     "Hi Tol",
                                  "Hi approach", "Lo approach",    "LoTol",    "Bar Top",
                                  "Bar Bot",     "Use Two Masters"};
static_assert(std::size(FieldNames) == static_cast<size_t>(ChannelField::UseTwoMasters) + 1);

// The fields in the form's tab order, the check box in its place.
const ChannelField TabOrder[] = {
    ChannelField::Description, ChannelField::Formula, ChannelField::Decimals,
    ChannelField::Master1,     ChannelField::Master2, ChannelField::UseTwoMasters,
    ChannelField::Scaling,     ChannelField::Zero,    ChannelField::HiTol,
    ChannelField::HiAppr,      ChannelField::LoAppr,  ChannelField::LoTol,
    ChannelField::BarTop,      ChannelField::BarBot};
static_assert(std::size(TabOrder) == std::size(FieldNames));

// The text of a field's box; nullptr for the check box.
template <typename Form> auto *boxText(Form &form, ChannelField field) {
    switch (field) {
    case ChannelField::Description:
        return &form.description;
    case ChannelField::Formula:
        return &form.formula;
    case ChannelField::Decimals:
        return &form.decimals;
    case ChannelField::UseTwoMasters:
        return static_cast<decltype(&form.description)>(nullptr);
    default:
        break;
    }
    return &form.numbers[static_cast<size_t>(field) - static_cast<size_t>(ChannelField::Master1)];
}

// Whether `field` of `typed` still holds what `shown` put there.
bool untouched(ChannelField field, const ChannelForm &typed, const ChannelForm &shown) {
    if (const QString *text = boxText(typed, field))
        return *text == *boxText(shown, field);
    return typed.useTwoMasters == shown.useTwoMasters;
}

std::optional<int> typedDecimals(const QString &text) {
    bool whole = false;
    const int value = text.trimmed().toInt(&whole);
    if (!whole || value < MinDecimals || value > MaxDecimals)
        return std::nullopt;
    return value;
}

CheckedChannelForm refused(ChannelField field, QString message, bool unread = false) {
    return {std::nullopt, {field, std::move(message), unread}};
}

} // namespace

ChannelField fieldOf(ChannelNumber number) {
    return static_cast<ChannelField>(static_cast<int>(ChannelField::Master1) +
                                     static_cast<int>(number));
}

QString fieldName(ChannelField field) {
    return QLatin1String(FieldNames[static_cast<size_t>(field)]);
}

ChannelForm formOf(const ChannelDefinition &definition) {
    ChannelForm form;
    form.description = definition.description;
    form.formula = definition.formula;
    form.decimals = QString::number(definition.decimals);
    form.useTwoMasters = definition.useTwoMasters;
    for (size_t i = 0; i < form.numbers.size(); ++i)
        form.numbers[i] = formatValue(definition.numbers[i], definition.decimals);
    return form;
}

CheckedChannelForm checkChannelForm(const ChannelForm &typed, const ChannelDefinition &shown,
                                    QChar decimalSeparator) {
    const ChannelForm shownForm = formOf(shown);
    for (const ChannelField field : TabOrder) {
        if (shown.unread.count(field) && untouched(field, typed, shownForm))
            return refused(field, unreadFieldProblem(fieldName(field)), true);
    }

    ChannelDefinition checked;
    checked.description = unitTextFromTyped(typed.description);
    checked.formula = unitTextFromTyped(typed.formula);
    for (const auto &[field, text] : {std::pair{ChannelField::Description, checked.description},
                                      std::pair{ChannelField::Formula, checked.formula}}) {
        if (auto why = whyUnitTextRefused(fieldName(field), text))
            return refused(field, *why);
    }

    const std::optional<int> decimals = typedDecimals(typed.decimals);
    if (!decimals)
        return refused(ChannelField::Decimals,
                       QStringLiteral("Decimals must be a whole number from %1 to %2.")
                           .arg(MinDecimals)
                           .arg(MaxDecimals));
    checked.decimals = *decimals;
    checked.useTwoMasters = typed.useTwoMasters;

    for (int i = 0; i < ChannelNumberCount; ++i) {
        const auto which = static_cast<ChannelNumber>(i);
        if (typed.number(which) == shownForm.number(which)) {
            checked.number(which) = shown.number(which);
            continue;
        }
        const std::optional<float> value = typedSingle(typed.number(which), decimalSeparator);
        if (!value)
            return refused(
                fieldOf(which),
                QStringLiteral("%1 must be a number (such as %2) from -3.402823E+38 "
                               "to 3.402823E+38.")
                    .arg(fieldName(fieldOf(which)),
                         QStringLiteral("12") + decimalSeparator + QStringLiteral("345")));
        checked.number(which) = *value;
    }
    return {checked, {}};
}

ChannelForm formAfterReadingAgain(const ChannelForm &typed, const ChannelDefinition &shown,
                                  const ChannelDefinition &read) {
    const ChannelForm shownForm = formOf(shown);
    ChannelForm form = formOf(read);
    for (const ChannelField field : TabOrder) {
        if (untouched(field, typed, shownForm))
            continue;
        if (QString *text = boxText(form, field))
            *text = *boxText(typed, field);
        else
            form.useTwoMasters = typed.useTwoMasters;
    }
    return form;
}

} // namespace setupforms
