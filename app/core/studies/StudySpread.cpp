#include "StudySpread.h"

namespace studies {

double spreadMultiplier(Spread spread) {
    return spread == Spread::SixSigma ? 6.0 : 5.15;
}

QString spreadLabel(Spread spread) {
    return spread == Spread::SixSigma
               ? QStringLiteral("6 σ (99.73 % of a normal distribution)")
               : QStringLiteral("5.15 σ (99 % of a normal distribution, as in older reports)");
}

} // namespace studies
