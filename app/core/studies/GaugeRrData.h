#pragma once

#include "StudyLayout.h"
#include "StudySpread.h"

#include <QString>

#include <optional>
#include <vector>

// The readings of a repeatability and reproducibility study as both methods take them, the checks
// that make a data set fit for them, and the means and ranges the charts and both methods start
// from. Indices are 0-based; texts count from 1 and name appraisers by letter.
namespace studies {

// readings[appraiser][part] holds that cell's trials in the order they were taken.
using RrReadings = std::vector<std::vector<std::vector<double>>>;

struct RrOptions {
    Spread spread = Spread::SixSigma;
    std::optional<double> tolerance; // USL − LSL, when the characteristic has both limits
};

// The layout of a data set both methods can analyse, or why it cannot be: at least 2 appraisers,
// 2 parts and 2 trials, every appraiser with the same parts, the same number of trials in every
// cell (a crossed analysis of unequal cells would weigh them wrongly), every reading a number and
// a given tolerance above 0.
struct RrCheck {
    std::optional<StudyLayout> layout;
    QString refusal;
};
RrCheck checkRrData(const RrReadings &readings, const RrOptions &options);

// "A", "B", … "Z", then numbers from 27.
QString appraiserLabel(int appraiser);

struct RrCell {
    int appraiser = 0;
    int part = 0;

    bool operator==(const RrCell &) const = default;
};

struct RrSummary {
    StudyLayout layout;
    std::vector<std::vector<double>> cellMeans;  // [appraiser][part]
    std::vector<std::vector<double>> cellRanges; // [appraiser][part]: largest − smallest trial
    std::vector<double> appraiserMeans;
    std::vector<double> appraiserAverageRanges;
    std::vector<double> partMeans;
    double grandMean = 0.0;
};
// For a data set checkRrData accepted with that layout.
RrSummary summariseRr(const RrReadings &readings, const StudyLayout &layout);

} // namespace studies
