#pragma once

#include "GaugeRrData.h"
#include "GaugeRrFigures.h"

#include <QStringList>

#include <optional>

// Repeatability and reproducibility by the analysis of variance: parts and appraisers crossed,
// both random, with their interaction, every cell holding the same number of trials. Parts and
// appraisers are tested against the interaction, the interaction against repeatability. An
// interaction whose p-value is above 0.25 is taken as noise and pooled into repeatability; the
// variance components then come from the table without it.
namespace studies {

inline constexpr double InteractionPoolingLevel = 0.25;

// Whether an interaction with this p-value is pooled: above the level only, so 0.25 itself is
// kept. An interaction that cannot be tested is kept.
bool poolsInteraction(std::optional<double> interactionP);

struct AnovaRow {
    double sumOfSquares = 0.0;
    int degreesOfFreedom = 0;
    double meanSquare = 0.0;
    // Empty for the error and total rows, and where the row tested against has a mean square of 0.
    std::optional<double> f;
    std::optional<double> p;
};

struct AnovaTable {
    AnovaRow parts;
    AnovaRow appraisers;
    std::optional<AnovaRow> interaction; // empty in the table without interaction
    AnovaRow repeatability;              // the error: with the interaction pooled into it there
    AnovaRow total;
};

struct AnovaResult {
    RrSummary summary;
    AnovaTable withInteraction;
    std::optional<AnovaTable> withoutInteraction; // when the interaction was pooled
    bool interactionPooled = false;
    // Before negative ones were set to 0; figures holds them as used.
    VarianceComponents estimatedComponents;
    RrFigures figures;
    QStringList definitions;
    QStringList notes; // the pooling decision, components set to 0, tests not defined
};

struct AnovaOutcome {
    std::optional<AnovaResult> result;
    QString refusal; // why there is no result
};

AnovaOutcome analyseAnova(const RrReadings &readings, const RrOptions &options);

} // namespace studies
