#pragma once

#include <QString>

// How many standard deviations a study variation spans. Six covers 99.73 % of a normal
// distribution and is what current quality systems ask for; 5.15 (99 %) is what older reports
// used and is offered only as a labelled choice, so a figure is never read against the wrong one.
namespace studies {

enum class Spread { SixSigma, FiveFifteenSigma };

double spreadMultiplier(Spread spread);

// "6 σ (99.73 % of a normal distribution)", "5.15 σ (99 % of a normal distribution, as in older
// reports)".
QString spreadLabel(Spread spread);

} // namespace studies
