#include "StudyTexts.h"

#include <algorithm>
#include <cmath>

namespace studyrun {

namespace {

const QString Missing = QStringLiteral("—");
const QString AcceptanceBands =
    QStringLiteral("%GRR below 10 % is acceptable, from 10 % to 30 % conditionally acceptable, "
                   "above 30 % not acceptable.");
constexpr int MostDecimals = 9;
constexpr int SignificantDigits = 3;

QString optionalLength(const std::optional<double> &value, int decimals) {
    return value ? lengthText(*value, decimals) : Missing;
}

QString ratioText(const std::optional<double> &value) {
    return value ? QString::number(*value, 'f', 2) : Missing;
}

QString yesNo(const std::optional<bool> &value, const char *yes, const char *no) {
    if (!value)
        return Missing;
    return QString::fromUtf8(*value ? yes : no);
}

QString biasTestText(const studies::Type1Result &result) {
    if (!result.t)
        return Missing;
    return QStringLiteral("t = %1, p = %2: %3")
        .arg(QString::number(*result.t, 'f', 2), pText(result.p),
             *result.biasSignificant ? QStringLiteral("significant")
                                     : QStringLiteral("not significant"));
}

QString percentOf(double part, double whole) {
    return whole > 0.0 ? percentText(100.0 * part / whole) + QStringLiteral(" %") : Missing;
}

void appendComponent(QStringList &row, const studies::ComponentFigures *figures, int decimals) {
    if (figures == nullptr) {
        row << Missing << Missing << Missing << Missing << Missing;
        return;
    }
    row << lengthText(figures->sigma, decimals) << lengthText(figures->studyVariation, decimals)
        << percentText(figures->percentOfTotal) << percentText(figures->percentContribution)
        << percentText(figures->percentOfTolerance);
}

using Component = const studies::ComponentFigures *(*)(const studies::RrFigures &);

const studies::ComponentFigures *interactionOf(const studies::RrFigures &figures) {
    return figures.interaction ? &*figures.interaction : nullptr;
}

struct ComponentRow {
    const char *label;
    Component component;
};
const ComponentRow ComponentRows[] = {
    {"EV (repeatability)",
     [](const studies::RrFigures &f) {
         return &f.ev;
     }},
    {"AV (reproducibility)",
     [](const studies::RrFigures &f) {
         return &f.av;
     }},
    {"Interaction", interactionOf},
    {"GRR",
     [](const studies::RrFigures &f) {
         return &f.grr;
     }},
    {"PV (parts)",
     [](const studies::RrFigures &f) {
         return &f.pv;
     }},
    {"TV (total)",
     [](const studies::RrFigures &f) {
         return &f.tv;
     }},
};

// "27.9 % (ANOVA, conditionally acceptable), 26.7 % (average and range, ...)"; the methods
// without the figure are left out.
QString bothMethods(const std::optional<double> &anova, const std::optional<double> &averageRange) {
    const auto one = [](double percent, const char *method) {
        return QStringLiteral("%1 % (%2, %3)")
            .arg(percentText(percent), QString::fromUtf8(method),
                 studies::acceptanceText(studies::acceptanceOf(percent)));
    };
    QStringList parts;
    if (anova)
        parts << one(*anova, "ANOVA");
    if (averageRange)
        parts << one(*averageRange, "average and range");
    return parts.isEmpty() ? Missing : parts.join(QStringLiteral(", "));
}

template <typename Figure>
std::optional<double> figureOf(const studies::RrFigures *figures, Figure figure) {
    return figures ? figure(*figures) : std::nullopt;
}

} // namespace

QString lengthText(double value, int decimals) {
    if (!std::isfinite(value))
        return Missing;
    int shown = std::max(decimals + 1, 0);
    if (value != 0.0) {
        const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
        shown = std::max(shown, SignificantDigits - 1 - magnitude);
    }
    return QString::number(value, 'f', std::min(shown, MostDecimals));
}

QString percentText(const std::optional<double> &percent) {
    return percent ? QString::number(*percent, 'f', 1) : Missing;
}

QString statisticText(double value) {
    return QString::number(value, 'g', 6);
}

QString fText(const std::optional<double> &f) {
    return f ? QString::number(*f, 'f', 2) : Missing;
}

QString pText(const std::optional<double> &p) {
    if (!p)
        return Missing;
    if (*p < 0.001)
        return QStringLiteral("< 0.001");
    return QString::number(*p, 'f', 3);
}

std::vector<FigureRow> type1Rows(const studies::Type1Result &result,
                                 const measurelog::StudyRecord &study) {
    const int decimals = study.channels.front().decimals;
    const double tolerance = study.channels.front().tolerance.value_or(0.0);
    const double spread = 6.0 * result.s;
    return {
        {QStringLiteral("Readings"), QString::number(result.count)},
        {QStringLiteral("Reference"), optionalLength(study.reference, decimals)},
        {QStringLiteral("Mean"), lengthText(result.mean, decimals)},
        {QStringLiteral("Bias (mean − reference)"), lengthText(result.bias, decimals)},
        {QStringLiteral("s (n − 1)"), lengthText(result.s, decimals)},
        {QStringLiteral("6 s (the gauge's spread)"), lengthText(spread, decimals)},
        {QStringLiteral("Tolerance T"), lengthText(tolerance, decimals)},
        {QStringLiteral("6 s as a share of T"), percentOf(spread, tolerance)},
        {QStringLiteral("0.2 T (the share Cg allows)"), lengthText(0.2 * tolerance, decimals)},
        {QStringLiteral("Cg = 0.2 T / 6 s"), ratioText(result.cg)},
        {QStringLiteral("Cgk = (0.1 T − |bias|) / 3 s"), ratioText(result.cgk)},
        {QStringLiteral("Capable (Cg and Cgk ≥ 1.33)"), yesNo(result.capable, "yes", "no")},
        {QStringLiteral("Bias test"), biasTestText(result)},
        {QStringLiteral("Outside reference ± 0.1 T"),
         QStringLiteral("%1 of %2").arg(result.outsideBand).arg(result.count)},
    };
}

QStringList anovaHeader() {
    return {QStringLiteral("Source"), QStringLiteral("DF"), QStringLiteral("SS"),
            QStringLiteral("MS"),     QStringLiteral("F"),  QStringLiteral("p")};
}

std::vector<QStringList> anovaRows(const studies::AnovaTable &table) {
    const auto row = [](const char *source, const studies::AnovaRow &r, bool withMs) {
        return QStringList{QString::fromUtf8(source),
                           QString::number(r.degreesOfFreedom),
                           statisticText(r.sumOfSquares),
                           withMs ? statisticText(r.meanSquare) : QString(),
                           fText(r.f),
                           pText(r.p)};
    };
    std::vector<QStringList> rows{row("Parts", table.parts, true),
                                  row("Appraisers", table.appraisers, true)};
    if (table.interaction)
        rows.push_back(row("Parts × appraisers", *table.interaction, true));
    rows.push_back(row("Repeatability", table.repeatability, true));
    rows.push_back(row("Total", table.total, false));
    for (QStringList &r : rows)
        for (QString &cell : r)
            if (cell == Missing)
                cell.clear();
    return rows;
}

QStringList comparisonHeader(double multiplier) {
    const QString sv = QStringLiteral("%1 σ").arg(QString::number(multiplier));
    QStringList header{QStringLiteral("Source")};
    for (int method = 0; method < 2; ++method)
        header << QStringLiteral("σ") << sv << QStringLiteral("% TV") << QStringLiteral("% contr.")
               << QStringLiteral("% tol.");
    return header;
}

std::vector<QStringList> comparisonRows(const studies::RrFigures *anova,
                                        const studies::RrFigures *averageRange, int decimals) {
    std::vector<QStringList> rows;
    for (const ComponentRow &component : ComponentRows) {
        QStringList row{QString::fromUtf8(component.label)};
        appendComponent(row, anova ? component.component(*anova) : nullptr, decimals);
        appendComponent(row, averageRange ? component.component(*averageRange) : nullptr, decimals);
        rows.push_back(row);
    }
    return rows;
}

QStringList rrSummaryLines(const studies::RrFigures *anova,
                           const studies::RrFigures *averageRange) {
    const auto grrOfTotal = [](const studies::RrFigures &f) {
        return f.grr.percentOfTotal;
    };
    const auto grrOfTolerance = [](const studies::RrFigures &f) {
        return f.grr.percentOfTolerance;
    };
    const auto ndc = [](const studies::RrFigures &f) {
        return f.ndc;
    };
    QStringList lines{
        QStringLiteral("%GRR of the total variation: %1")
            .arg(bothMethods(figureOf(anova, grrOfTotal), figureOf(averageRange, grrOfTotal))),
        QStringLiteral("%GRR of the tolerance: %1")
            .arg(bothMethods(figureOf(anova, grrOfTolerance),
                             figureOf(averageRange, grrOfTolerance))),
    };
    QStringList categories;
    if (const std::optional<double> value = figureOf(anova, ndc))
        categories << QStringLiteral("%1 (ANOVA)").arg(*value);
    if (const std::optional<double> value = figureOf(averageRange, ndc))
        categories << QStringLiteral("%1 (average and range)").arg(*value);
    lines << QStringLiteral("Number of distinct categories (ndc): %1")
                 .arg(categories.isEmpty() ? Missing : categories.join(QStringLiteral(", ")));
    lines << AcceptanceBands;
    return lines;
}

} // namespace studyrun
