#pragma once

#include "GaugeRrData.h"

#include <QString>
#include <QStringList>

#include <optional>

// What both methods report once they have their variance components: each source as a standard
// deviation, as a study variation (the spread multiplier times it), as a share of the total
// variation, of the total variance and of the tolerance; the number of distinct categories and
// where %GRR falls in the acceptance bands.
namespace studies {

enum class Acceptance {
    Acceptable,    // below 10 %
    Conditional,   // 10 % to 30 %, both ends included
    NotAcceptable, // above 30 %
};

Acceptance acceptanceOf(double percent);
QString acceptanceText(Acceptance acceptance);

struct VarianceComponents {
    double repeatability = 0.0;
    double appraisers = 0.0;
    std::optional<double> interaction; // empty where the method does not estimate it
    double parts = 0.0;
};

struct ComponentFigures {
    double variance = 0.0;
    double sigma = 0.0;
    double studyVariation = 0.0; // multiplier × sigma
    // Empty when there is nothing to divide by: no variation at all, or no tolerance given.
    std::optional<double> percentOfTotal;      // 100 σ / σ_TV
    std::optional<double> percentContribution; // 100 σ² / σ²_TV
    std::optional<double> percentOfTolerance;  // 100 · multiplier · σ / T
};

struct RrFigures {
    Spread spread = Spread::SixSigma;
    double multiplier = 6.0;
    ComponentFigures ev; // repeatability, equipment variation
    ComponentFigures av; // reproducibility between appraisers
    std::optional<ComponentFigures> interaction;
    ComponentFigures grr;
    ComponentFigures pv;
    ComponentFigures tv;
    std::optional<double> ndc;                       // ⌊1.41 · PV / GRR⌋; empty when GRR = 0
    std::optional<Acceptance> acceptanceOfTotal;     // by %GRR of the total variation
    std::optional<Acceptance> acceptanceOfTolerance; // by %GRR of the tolerance
};

// The figures for variance components that are already 0 or above. What cannot be computed is
// said in notes.
RrFigures rrFigures(const VarianceComponents &components, const RrOptions &options,
                    QStringList &notes);

// The definitions both methods share, for the report.
QStringList rrDefinitions(const RrOptions &options);

} // namespace studies
