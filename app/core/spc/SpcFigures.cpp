#include "SpcFigures.h"

#include <QStringList>

namespace spc {

namespace {

constexpr int ExtraDecimals = 2;
constexpr int IndexDecimals = 3;
constexpr int PpmDecimals = 1;

QString fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

FigureRow indexRow(const char *key, const char *label,
                   const std::optional<CapabilityIndex> &index) {
    FigureRow row{QLatin1String(key), QLatin1String(label), {}, {}, {}};
    if (index) {
        row.value = fixed(index->value, IndexDecimals);
        row.lower = fixed(index->bounds.lower, IndexDecimals);
        row.upper = fixed(index->bounds.upper, IndexDecimals);
    }
    return row;
}

FigureRow ppmRow(const char *key, const char *label, const std::optional<double> &ppm) {
    return {QLatin1String(key),
            QLatin1String(label),
            ppm ? fixed(*ppm, PpmDecimals) : QString(),
            {},
            {}};
}

} // namespace

QString figureText(double value, int decimals) {
    return fixed(value, decimals + ExtraDecimals);
}

std::vector<FigureRow> capabilityRows(const Capability &c, int decimals) {
    const bool spread = c.n >= 2;
    return {
        {QStringLiteral("n"), QStringLiteral("n"), QString::number(c.n), {}, {}},
        {QStringLiteral("mean"),
         QStringLiteral("Mean"),
         c.n > 0 ? figureText(c.mean, decimals) : QString(),
         {},
         {}},
        {QStringLiteral("sigma_within"),
         QStringLiteral("σ within"),
         c.sigmaWithin ? figureText(*c.sigmaWithin, decimals) : QString(),
         {},
         {}},
        {QStringLiteral("sigma_overall"),
         QStringLiteral("σ overall"),
         spread ? figureText(c.sigmaOverall, decimals) : QString(),
         {},
         {}},
        indexRow("cp", "Cp", c.cp),
        indexRow("cpk", "Cpk", c.cpk),
        indexRow("pp", "Pp", c.pp),
        indexRow("ppk", "Ppk", c.ppk),
        ppmRow("observed_ppm", "Observed ppm", c.observedPpm),
        ppmRow("expected_ppm_within", "Expected ppm (within)", c.expectedPpmWithin),
        ppmRow("expected_ppm_overall", "Expected ppm (overall)", c.expectedPpmOverall),
    };
}

ChartNames chartNames(ChartKind kind) {
    switch (kind) {
    case ChartKind::XbarR:
        return {QStringLiteral("X̄–R"),    QStringLiteral("X̄"),    QStringLiteral("R"),
                QStringLiteral("xbar-r"), QStringLiteral("mean"), QStringLiteral("range")};
    case ChartKind::XbarS:
        return {QStringLiteral("X̄–S"),    QStringLiteral("X̄"),    QStringLiteral("S"),
                QStringLiteral("xbar-s"), QStringLiteral("mean"), QStringLiteral("std_dev")};
    case ChartKind::IndividualsMovingRange:
        break;
    }
    return {QStringLiteral("I–MR"), QStringLiteral("I"),          QStringLiteral("MR"),
            QStringLiteral("i-mr"), QStringLiteral("individual"), QStringLiteral("moving_range")};
}

QString ruleCode(Rule rule) {
    return ruleName(rule).section(QLatin1Char(':'), 0, 0);
}

QString capabilityRemark(const Capability &capability) {
    if (capability.state != CapabilityState::Figures)
        return capability.reason;
    QStringList remarks;
    if (capability.ppk && !capability.pp)
        remarks << QStringLiteral("One tolerance limit: no Cp or Pp; Cpk and Ppk are that side's.");
    if (!capability.note.isEmpty())
        remarks << capability.note;
    return remarks.join(QLatin1Char(' '));
}

} // namespace spc
