#pragma once

#include "GaugeRrData.h"
#include "GaugeRrFigures.h"
#include "StudyFactors.h"

#include <QStringList>

#include <optional>
#include <vector>

// Repeatability and reproducibility by the average-and-range method, the way it is done by hand:
// EV = R̄̄ · K1, AV = √((X̄diff · K2)² − EV² / (n · r)) (0 when the difference is negative),
// PV = Rp · K3. It does not separate the interaction. The range chart by appraiser, with its
// limits, shows which cells to measure again before the figures are trusted.
namespace studies {

// What the method takes from the readings, so a study worked by hand can be checked from its
// printed intermediate results.
struct AverageRangeInputs {
    StudyLayout layout;
    double averageRange = 0.0;        // R̄̄: the appraisers' average ranges, averaged
    double appraiserDifference = 0.0; // X̄diff: largest − smallest appraiser average
    double partRange = 0.0;           // Rp: largest − smallest part average
};

struct RangeChart {
    double centre = 0.0;              // R̄̄
    double upperLimit = 0.0;          // D4 · R̄̄
    double lowerLimit = 0.0;          // D3 · R̄̄
    std::vector<RrCell> beyondLimits; // cells whose range lies above the upper limit
};

struct AverageRangeResult {
    AverageRangeInputs inputs;
    StudyFactor k1;
    StudyFactor k2;
    StudyFactor k3;
    RrFigures figures; // interaction empty
    QStringList definitions;
    QStringList notes;
};

AverageRangeResult averageRangeFigures(const AverageRangeInputs &inputs, const RrOptions &options);

struct AverageRangeAnalysis {
    RrSummary summary;
    RangeChart rangeChart;
    AverageRangeResult result;
};

struct AverageRangeOutcome {
    std::optional<AverageRangeAnalysis> analysis;
    QString refusal; // why there is no analysis
};

AverageRangeOutcome analyseAverageRange(const RrReadings &readings, const RrOptions &options);

} // namespace studies
