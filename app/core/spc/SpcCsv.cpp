#include "SpcCsv.h"

#include "CsvField.h"
#include "SpcFigures.h"

#include <QStringList>

#include <cmath>

namespace spc {

namespace {

class FigureCsv : public textfile::CsvText {
public:
    // A figure without bounds.
    void figure(const QString &key, const QString &value) { row({key, value, {}, {}}); }
};

QString limitText(const std::optional<double> &limit, int decimals) {
    return limit ? QString::number(*limit, 'f', decimals) : QString();
}

QString originKey(LimitsOrigin origin) {
    switch (origin) {
    case LimitsOrigin::Pending:
        return QStringLiteral("pending");
    case LimitsOrigin::Baseline:
        return QStringLiteral("baseline");
    case LimitsOrigin::Frozen:
        break;
    }
    return QStringLiteral("frozen");
}

void subgroupRows(FigureCsv &csv, const SpcAnalysis &analysis, const ChartNames &names) {
    const int decimals = analysis.channel().decimals;
    csv.row({QStringLiteral("subgroup"), QStringLiteral("first_part"), QStringLiteral("last_part"),
             QStringLiteral("time_utc"), names.locationKey, names.spreadKey,
             QStringLiteral("violations")});
    const auto &violations = analysis.ruleCheck().violations;
    auto violation = violations.begin();
    const SpcSeries &series = analysis.series();
    for (std::size_t g = 0; g < series.subgroupCount(); ++g) {
        QStringList rules;
        for (; violation != violations.end() && violation->subgroup == g; ++violation)
            rules << ruleCode(violation->rule);
        const double spread = series.spreads()[g];
        csv.row({QString::number(g + 1),
                 QString::number(analysis.partId(analysis.subgroupFirstPart(g))),
                 QString::number(analysis.partId(analysis.subgroupLastPart(g))),
                 utcTimeText(analysis.subgroupTimeMs(g)), figureText(series.means()[g], decimals),
                 std::isnan(spread) ? QString() : figureText(spread, decimals),
                 rules.join(QLatin1Char(';'))});
    }
}

void chartRows(FigureCsv &csv, const SpcAnalysis &analysis, const ChartNames &names) {
    const SpcChannel &channel = analysis.channel();
    const std::size_t parts = analysis.partCount();
    const auto partFigure = [&](const QString &key, auto text) {
        csv.figure(key, parts > 0 ? text() : QString());
    };
    csv.figure(QStringLiteral("channel"), QString::number(channel.number));
    csv.figure(QStringLiteral("description"), channel.description);
    csv.figure(QStringLiteral("setup"), analysis.setupName());
    csv.figure(QStringLiteral("chart"), names.pairKey);
    csv.figure(QStringLiteral("subgroup_size"), QString::number(analysis.series().plan().size));
    csv.figure(QStringLiteral("parts"), QString::number(parts));
    csv.figure(QStringLiteral("subgroups"), QString::number(analysis.series().subgroupCount()));
    partFigure(QStringLiteral("first_part"), [&] { return QString::number(analysis.partId(0)); });
    partFigure(QStringLiteral("last_part"),
               [&] { return QString::number(analysis.partId(parts - 1)); });
    partFigure(QStringLiteral("first_time_utc"),
               [&] { return utcTimeText(analysis.partTimeMs(0)); });
    partFigure(QStringLiteral("last_time_utc"),
               [&] { return utcTimeText(analysis.partTimeMs(parts - 1)); });
    const PartLimits &limits = analysis.newestLimits();
    csv.figure(QStringLiteral("lsl"), limitText(limits.tolerance.lower, channel.decimals));
    csv.figure(QStringLiteral("usl"), limitText(limits.tolerance.upper, channel.decimals));
    csv.figure(QStringLiteral("nominal"), limitText(limits.nominal, channel.decimals));
    csv.figure(QStringLiteral("limit_changes"), QString::number(analysis.limitChanges().size()));
    if (!analysis.limitChanges().empty())
        csv.figure(QStringLiteral("limit_change_note"), analysis.limitChangeText());
}

void controlLimitRows(FigureCsv &csv, const SpcAnalysis &analysis, const ChartNames &names) {
    const int decimals = analysis.channel().decimals;
    const LimitsResult &limits = analysis.limits();
    const bool ready = limits.state == LimitsState::Ready;
    csv.figure(QStringLiteral("limits"), originKey(analysis.limitsOrigin()));
    const std::optional<QDateTime> frozenAt = analysis.frozenAt();
    csv.figure(QStringLiteral("limits_set_at"),
               frozenAt ? frozenAt->toUTC().toString(Qt::ISODateWithMs) : QString());
    if (!ready) {
        csv.figure(QStringLiteral("limits_note"), limits.pending);
        return;
    }
    const LimitValues &values = limits.values;
    csv.figure(QStringLiteral("baseline_first_subgroup"),
               QString::number(values.firstBaselineSubgroup + 1));
    csv.figure(QStringLiteral("baseline_subgroups"), QString::number(values.baselineSubgroups));
    const auto lines = [&](const QString &key, const ChartLines &chart) {
        csv.figure(key + QStringLiteral("_lcl"), figureText(chart.lower, decimals));
        csv.figure(key + QStringLiteral("_cl"), figureText(chart.centre, decimals));
        csv.figure(key + QStringLiteral("_ucl"), figureText(chart.upper, decimals));
    };
    lines(names.locationKey, values.location);
    lines(names.spreadKey, values.spread);
    const RuleCheck &check = analysis.ruleCheck();
    csv.figure(QStringLiteral("violations"), QString::number(check.violations.size()));
    if (check.state == RuleCheckState::NotChecked)
        csv.figure(QStringLiteral("rules_note"), check.reason);
}

void capabilityFigureRows(FigureCsv &csv, const SpcAnalysis &analysis) {
    const Capability capability = analysis.capability();
    for (const FigureRow &row : capabilityRows(capability, analysis.channel().decimals))
        csv.row({row.key, row.value, row.lower, row.upper});
    const QString remark = capabilityRemark(capability);
    if (!remark.isEmpty())
        csv.figure(QStringLiteral("capability_note"), remark);
}

} // namespace

QByteArray spcCsv(const SpcAnalysis &analysis) {
    const ChartNames names = chartNames(analysis.series().plan().kind);
    FigureCsv csv;
    subgroupRows(csv, analysis, names);
    csv.blank();
    csv.row({QStringLiteral("figure"), QStringLiteral("value"), QStringLiteral("lower_95"),
             QStringLiteral("upper_95")});
    chartRows(csv, analysis, names);
    controlLimitRows(csv, analysis, names);
    capabilityFigureRows(csv, analysis);
    return csv.bytes();
}

} // namespace spc
