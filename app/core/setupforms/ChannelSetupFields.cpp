#include "ChannelSetupFields.h"

#include "LocaleFreeNumbers.h"
#include "UnitTexts.h"
#include "ValueFormat.h"

#include <cmath>
#include <limits>

namespace setupforms {

namespace {

const char *const FieldNames[] = {
    "Description", "Formula",     "Decimals",    "Master 1", "Master 2", "Scaling", "Zero",
    "Hi Tol",      "Hi approach", "Lo approach", "LoTol",    "Bar Top",  "Bar Bot"};
static_assert(std::size(FieldNames) == static_cast<size_t>(ChannelField::BarBot) + 1);

// The typed text as a number, the regional separator read as the point.
std::optional<double> typedNumber(const QString &text, QChar decimalSeparator) {
    QString pointed = text;
    if (decimalSeparator != u'.' && !pointed.contains(u'.'))
        pointed.replace(decimalSeparator, u'.');
    // A character beyond Latin-1 is never part of a number; toLatin1 makes it '?', which refuses.
    const QByteArray bytes = pointed.toLatin1();
    return textfile::parseNumber<double>(
        std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

std::optional<float> typedSingle(const QString &text, QChar decimalSeparator) {
    const std::optional<double> number = typedNumber(text, decimalSeparator);
    if (!number || std::fabs(*number) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*number);
}

std::optional<int> typedDecimals(const QString &text) {
    bool whole = false;
    const int value = text.trimmed().toInt(&whole);
    if (!whole || value < MinDecimals || value > MaxDecimals)
        return std::nullopt;
    return value;
}

CheckedChannelForm refused(ChannelField field, QString message) {
    return {std::nullopt, {field, std::move(message)}};
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

    const ChannelForm shownForm = formOf(shown);
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

} // namespace setupforms
