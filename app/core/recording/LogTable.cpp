#include "LogTable.h"

#include "ShownDecimal.h"

#include <QDateTime>

#include <string>
#include <utility>

namespace recording {

using measurelog::PartRecord;
using measurelog::ValueRecord;
using measurelog::Verdict;

namespace {

struct FieldTitle {
    PartField field;
    const char *title;
};
constexpr FieldTitle FieldTitles[] = {
    {PartField::Time, "Time"},
    {PartField::Serial, "No."},
    {PartField::SerialText, "Serial/lot"},
    {PartField::Setup, "Setup"},
    {PartField::Operator, "Operator"},
    {PartField::Verdict, "Verdict"},
};

QString fieldText(const PartRecord &part, PartField field) {
    switch (field) {
    case PartField::Time:
        return localTimeText(part.timeMs);
    case PartField::Serial:
        return QString::number(part.serialNumber);
    case PartField::SerialText:
        return part.serialText;
    case PartField::Setup:
        return setupFileLabel(part.setupFile);
    case PartField::Operator:
        return part.operatorName;
    case PartField::Verdict:
        break;
    }
    return measurelog::verdictName(part.verdict);
}

} // namespace

LogColumns::LogColumns() {
    for (const FieldTitle &f : FieldTitles)
        m_columns.push_back({f.field, 0, QString::fromLatin1(f.title)});
}

LogColumns::LogColumns(QString setupFile, const std::vector<measurelog::ChannelSeen> &channels)
    : LogColumns() {
    m_setup = std::move(setupFile);
    for (const measurelog::ChannelSeen &seen : channels) {
        QString title = QStringLiteral("ch%1").arg(seen.channel);
        if (!seen.description.isEmpty())
            title += QLatin1Char(' ') + seen.description;
        m_columns.push_back({std::nullopt, seen.channel, title});
    }
}

const ValueRecord *LogColumns::valueOf(const PartRecord &part, int column) const {
    const LogColumn &c = at(column);
    if (c.field || !m_setup || part.setupFile != *m_setup)
        return nullptr;
    for (const ValueRecord &value : part.values) {
        if (value.channel == c.channel)
            return &value;
    }
    return nullptr;
}

QString LogColumns::text(const PartRecord &part, int column) const {
    const LogColumn &c = at(column);
    if (c.field)
        return fieldText(part, *c.field);
    const ValueRecord *value = valueOf(part, column);
    return value ? shownNumber(value->value, value->decimals) : QString();
}

std::optional<Verdict> LogColumns::verdict(const PartRecord &part, int column) const {
    const LogColumn &c = at(column);
    if (c.field)
        return c.field == PartField::Verdict ? std::optional(part.verdict) : std::nullopt;
    const ValueRecord *value = valueOf(part, column);
    return value ? std::optional(value->verdict) : std::nullopt;
}

QString setupFileLabel(const QString &setupFile) {
    return setupFile.isEmpty() ? QStringLiteral("(no setup file)") : setupFile;
}

QString localTimeText(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString shownNumber(std::optional<double> value, int decimals) {
    if (!value)
        return {};
    std::string text;
    measurelog::appendShownDecimal(text, *value, decimals);
    return QString::fromStdString(text);
}

QStringList detailHeader() {
    return {QStringLiteral("Channel"),       QStringLiteral("Description"),
            QStringLiteral("Value"),         QStringLiteral("Nominal"),
            QStringLiteral("Low tolerance"), QStringLiteral("Low approach"),
            QStringLiteral("High approach"), QStringLiteral("High tolerance"),
            QStringLiteral("Verdict")};
}

QStringList detailRow(const ValueRecord &value) {
    const int d = value.decimals;
    return {QString::number(value.channel),        value.description,
            shownNumber(value.value, d),           shownNumber(value.nominal, d),
            shownNumber(value.lowTolerance, d),    shownNumber(value.lowApproach, d),
            shownNumber(value.highApproach, d),    shownNumber(value.highTolerance, d),
            measurelog::verdictName(value.verdict)};
}

std::span<const VerdictChoice> verdictChoices() {
    static const VerdictChoice choices[] = {
        {QStringLiteral("All verdicts"), {}},
        {QStringLiteral("Good"), {Verdict::Good}},
        {QStringLiteral("Warn"), {Verdict::Warn}},
        {QStringLiteral("Reject"), {Verdict::Reject}},
        {QStringLiteral("Warn or reject"), {Verdict::Warn, Verdict::Reject}},
        {QStringLiteral("No limits"), {Verdict::NoLimits}},
    };
    return choices;
}

} // namespace recording
