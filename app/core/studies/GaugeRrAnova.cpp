#include "GaugeRrAnova.h"

#include "StudyArithmetic.h"
#include "StudyDistributions.h"

#include <utility>

namespace studies {

namespace {

AnovaRow row(double sumOfSquares, int degreesOfFreedom) {
    return {sumOfSquares, degreesOfFreedom, sumOfSquares / degreesOfFreedom, {}, {}};
}

void test(AnovaRow &tested, const AnovaRow &against) {
    if (!(against.meanSquare > 0.0))
        return;
    tested.f = tested.meanSquare / against.meanSquare;
    tested.p = fUpperTail(*tested.f, tested.degreesOfFreedom, against.degreesOfFreedom);
}

struct SumsOfSquares {
    double parts = 0.0;
    double appraisers = 0.0;
    double interaction = 0.0;
    double repeatability = 0.0;
    double total = 0.0;
};

SumsOfSquares sumsOfSquares(const RrReadings &readings, const RrSummary &summary) {
    const StudyLayout &layout = summary.layout;
    const double g = summary.grandMean;
    SumsOfSquares sums;
    sums.parts = layout.appraisers * layout.trials * squaresAbout(summary.partMeans, g);
    sums.appraisers = layout.parts * layout.trials * squaresAbout(summary.appraiserMeans, g);
    for (int a = 0; a < layout.appraisers; ++a) {
        for (int p = 0; p < layout.parts; ++p) {
            const double cellMean = summary.cellMeans[slot(a)][slot(p)];
            const double residual =
                cellMean - summary.appraiserMeans[slot(a)] - summary.partMeans[slot(p)] + g;
            sums.interaction += layout.trials * residual * residual;
            sums.repeatability += squaresAbout(readings[slot(a)][slot(p)], cellMean);
            sums.total += squaresAbout(readings[slot(a)][slot(p)], g);
        }
    }
    return sums;
}

AnovaTable tableWithInteraction(const SumsOfSquares &sums, const StudyLayout &layout) {
    AnovaTable table;
    table.parts = row(sums.parts, layout.parts - 1);
    table.appraisers = row(sums.appraisers, layout.appraisers - 1);
    table.interaction = row(sums.interaction, (layout.parts - 1) * (layout.appraisers - 1));
    table.repeatability =
        row(sums.repeatability, layout.parts * layout.appraisers * (layout.trials - 1));
    table.total = row(sums.total, layout.parts * layout.appraisers * layout.trials - 1);
    test(table.parts, *table.interaction);
    test(table.appraisers, *table.interaction);
    test(*table.interaction, table.repeatability);
    return table;
}

AnovaTable tableWithoutInteraction(const AnovaTable &full) {
    AnovaTable table = full;
    table.interaction.reset();
    table.repeatability =
        row(full.repeatability.sumOfSquares + full.interaction->sumOfSquares,
            full.repeatability.degreesOfFreedom + full.interaction->degreesOfFreedom);
    table.parts.f.reset();
    table.parts.p.reset();
    table.appraisers.f.reset();
    table.appraisers.p.reset();
    test(table.parts, table.repeatability);
    test(table.appraisers, table.repeatability);
    return table;
}

// The expected mean squares of the random crossed model solved for the components: the parts'
// and appraisers' are measured against the interaction, or the pooled error when it was pooled.
VarianceComponents components(const AnovaTable &table, const StudyLayout &layout) {
    const double error = table.repeatability.meanSquare;
    const double against = table.interaction ? table.interaction->meanSquare : error;
    VarianceComponents estimated;
    estimated.repeatability = error;
    estimated.interaction =
        table.interaction ? (table.interaction->meanSquare - error) / layout.trials : 0.0;
    estimated.appraisers = (table.appraisers.meanSquare - against) / (layout.parts * layout.trials);
    estimated.parts = (table.parts.meanSquare - against) / (layout.appraisers * layout.trials);
    return estimated;
}

double zeroIfNegative(double variance, const QString &name, QStringList &notes) {
    if (variance >= 0.0)
        return variance;
    notes << QStringLiteral("The %1 variance component came out negative (%2) and is set to 0.")
                 .arg(name, QString::number(variance, 'g', 4));
    return 0.0;
}

QString poolingNote(const std::optional<double> &p, bool pooled) {
    if (!p)
        return QStringLiteral("The interaction cannot be tested (repeatability shows no "
                              "variation): it stays in the model.");
    const QString pText = QString::number(*p, 'g', 3);
    if (pooled)
        return QStringLiteral("The interaction's p-value is %1, above 0.25: the interaction is "
                              "pooled into repeatability and the table without interaction gives "
                              "the components.")
            .arg(pText);
    return QStringLiteral("The interaction's p-value is %1, 0.25 or below: the interaction stays "
                          "in the model.")
        .arg(pText);
}

void untestedNotes(const AnovaTable &table, QStringList &notes) {
    const auto untested = [&notes](const AnovaRow &tested, const QString &name) {
        if (!tested.f)
            notes << QStringLiteral("%1 cannot be tested: the mean square they are tested against "
                                    "is 0.")
                         .arg(name);
    };
    untested(table.parts, QStringLiteral("Parts"));
    untested(table.appraisers, QStringLiteral("Appraisers"));
}

QStringList anovaDefinitions(const RrOptions &options) {
    QStringList lines{
        QStringLiteral("Two-way analysis of variance, parts × appraisers crossed, with their "
                       "interaction; parts and appraisers are tested against the interaction, the "
                       "interaction against repeatability; p-values from the F distribution."),
        QStringLiteral("The interaction is pooled into repeatability when its p-value is above "
                       "0.25 (kept at 0.25 or below)."),
        QStringLiteral(
            "With n parts, k appraisers and r trials: EV² = MS(error); interaction² = "
            "(MS(interaction) − MS(error)) / r; AV² = (MS(appraisers) − MS(interaction)) "
            "/ (n · r); PV² = (MS(parts) − MS(interaction)) / (k · r); with the "
            "interaction pooled, the pooled error takes the place of both mean squares "
            "it replaces."),
        QStringLiteral("Negative variance components are set to 0."),
    };
    lines << rrDefinitions(options);
    return lines;
}

} // namespace

bool poolsInteraction(std::optional<double> interactionP) {
    return interactionP && *interactionP > InteractionPoolingLevel;
}

AnovaOutcome analyseAnova(const RrReadings &readings, const RrOptions &options) {
    const RrCheck check = checkRrData(readings, options);
    if (!check.layout)
        return {std::nullopt, check.refusal};
    const StudyLayout &layout = *check.layout;

    AnovaResult result;
    result.summary = summariseRr(readings, layout);
    result.withInteraction = tableWithInteraction(sumsOfSquares(readings, result.summary), layout);
    const std::optional<double> interactionP = result.withInteraction.interaction->p;
    result.interactionPooled = poolsInteraction(interactionP);
    result.notes << poolingNote(interactionP, result.interactionPooled);
    if (result.interactionPooled)
        result.withoutInteraction = tableWithoutInteraction(result.withInteraction);
    const AnovaTable &used =
        result.interactionPooled ? *result.withoutInteraction : result.withInteraction;
    untestedNotes(used, result.notes);

    result.estimatedComponents = components(used, layout);
    VarianceComponents kept = result.estimatedComponents;
    kept.interaction =
        zeroIfNegative(*kept.interaction, QStringLiteral("interaction"), result.notes);
    kept.appraisers = zeroIfNegative(kept.appraisers, QStringLiteral("appraisers'"), result.notes);
    kept.parts = zeroIfNegative(kept.parts, QStringLiteral("parts'"), result.notes);
    result.figures = rrFigures(kept, options, result.notes);
    result.definitions = anovaDefinitions(options);
    return {std::move(result), {}};
}

} // namespace studies
