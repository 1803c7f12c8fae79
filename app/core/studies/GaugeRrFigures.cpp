#include "GaugeRrFigures.h"

#include <cmath>

namespace studies {

namespace {

constexpr double AcceptableBelow = 10.0;
constexpr double ConditionalUpTo = 30.0;
constexpr double CategoriesFactor = 1.41;

ComponentFigures component(double variance, double totalVariance, const RrOptions &options) {
    ComponentFigures figures;
    const double multiplier = spreadMultiplier(options.spread);
    figures.variance = variance;
    figures.sigma = std::sqrt(variance);
    figures.studyVariation = multiplier * figures.sigma;
    if (totalVariance > 0.0) {
        figures.percentOfTotal = 100.0 * std::sqrt(variance / totalVariance);
        figures.percentContribution = 100.0 * variance / totalVariance;
    }
    if (options.tolerance)
        figures.percentOfTolerance = 100.0 * figures.studyVariation / *options.tolerance;
    return figures;
}

} // namespace

Acceptance acceptanceOf(double percent) {
    if (percent < AcceptableBelow)
        return Acceptance::Acceptable;
    if (percent <= ConditionalUpTo)
        return Acceptance::Conditional;
    return Acceptance::NotAcceptable;
}

QString acceptanceText(Acceptance acceptance) {
    switch (acceptance) {
    case Acceptance::Acceptable:
        return QStringLiteral("acceptable");
    case Acceptance::Conditional:
        return QStringLiteral("conditionally acceptable");
    case Acceptance::NotAcceptable:
        return QStringLiteral("not acceptable");
    }
    return {};
}

RrFigures rrFigures(const VarianceComponents &components, const RrOptions &options,
                    QStringList &notes) {
    const double grrVariance =
        components.repeatability + components.appraisers + components.interaction.value_or(0.0);
    const double totalVariance = grrVariance + components.parts;

    RrFigures figures;
    figures.spread = options.spread;
    figures.multiplier = spreadMultiplier(options.spread);
    figures.ev = component(components.repeatability, totalVariance, options);
    figures.av = component(components.appraisers, totalVariance, options);
    if (components.interaction)
        figures.interaction = component(*components.interaction, totalVariance, options);
    figures.grr = component(grrVariance, totalVariance, options);
    figures.pv = component(components.parts, totalVariance, options);
    figures.tv = component(totalVariance, totalVariance, options);

    if (figures.grr.percentOfTotal)
        figures.acceptanceOfTotal = acceptanceOf(*figures.grr.percentOfTotal);
    if (figures.grr.percentOfTolerance)
        figures.acceptanceOfTolerance = acceptanceOf(*figures.grr.percentOfTolerance);
    if (totalVariance == 0.0)
        notes << QStringLiteral("All readings are equal: with no variation at all there are no "
                                "shares of the total variation and no ndc.");
    else if (grrVariance == 0.0)
        notes << QStringLiteral("The readings show no measurement variation (GRR = 0), so ndc is "
                                "not defined.");
    else
        figures.ndc = std::floor(CategoriesFactor * figures.pv.sigma / figures.grr.sigma);
    return figures;
}

QStringList rrDefinitions(const RrOptions &options) {
    const QString multiplier = QString::number(spreadMultiplier(options.spread));
    QStringList lines{
        QStringLiteral("Study variation: %1 of each standard deviation.")
            .arg(spreadLabel(options.spread)),
        QStringLiteral("GRR² = EV² + AV² + interaction²; TV² = GRR² + PV²."),
        QStringLiteral("%TV = 100 · σ / σ(TV); %contribution = 100 · σ² / σ²(TV)."),
    };
    if (options.tolerance)
        lines << QStringLiteral("%tolerance = 100 · %1 σ / T, T = %2.")
                     .arg(multiplier, QString::number(*options.tolerance));
    lines << QStringLiteral("ndc = ⌊1.41 · PV / GRR⌋.")
          << QStringLiteral("%GRR below 10 %: acceptable; 10 % to 30 %: conditionally acceptable; "
                            "above 30 %: not acceptable.");
    return lines;
}

} // namespace studies
