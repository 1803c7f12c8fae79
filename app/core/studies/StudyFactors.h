#pragma once

#include <QString>

// The factors K1, K2 and K3 that turn the average-and-range method's ranges into standard
// deviations. Where the measurement-system-analysis manual's table covers the study's size its
// printed value is used, so a study computed by hand from that table gives the same figures;
// beyond it the factor is 1/d2* computed for the study's own size.
namespace studies {

enum class FactorSource {
    ManualTable,
    Computed, // 1/d2*(subgroupSize, subgroups)
};

struct StudyFactor {
    QString name;    // "K1", "K2", "K3"
    QString counted; // "trials", "appraisers", "parts"
    double value = 0.0;
    FactorSource source = FactorSource::ManualTable;
    int subgroupSize = 0; // readings in one range
    int subgroups = 0;    // ranges averaged

    // How the factor was found, for the report: "K1 = 0.5908 for 3 trials (the manual's table)",
    // "K3 = 1/d2*(12, 1) = 0.3010 for 12 parts (computed from the distribution of the range)".
    QString description() const;
};

// K1 for ranges of `trials` readings; `ranges` (parts × appraisers) of them are averaged. The
// manual's table gives 2 and 3 trials.
StudyFactor trialsFactor(int trials, int ranges);
// K2 for the one range of the appraisers' averages. The manual's table gives 2 and 3 appraisers.
StudyFactor appraisersFactor(int appraisers);
// K3 for the one range of the parts' averages. The manual's table gives 2 to 10 parts.
StudyFactor partsFactor(int parts);

} // namespace studies
