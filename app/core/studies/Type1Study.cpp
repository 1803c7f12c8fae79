#include "Type1Study.h"

#include "StudyArithmetic.h"
#include "StudyDistributions.h"

#include <cmath>
#include <utility>

namespace studies {

namespace {

constexpr double CgShare = 0.2;   // of the tolerance, against 6 s
constexpr double CgkShare = 0.1;  // of the tolerance, less the bias, against 3 s
constexpr double BandShare = 0.1; // of the tolerance either side of the reference

QString refusalOf(const Type1Input &input) {
    if (input.readings.size() < 2)
        return QStringLiteral("A type-1 study needs at least 2 readings.");
    if (!std::isfinite(input.reference))
        return QStringLiteral("The reference size must be a number.");
    if (!(std::isfinite(input.tolerance) && input.tolerance > 0.0))
        return QStringLiteral("The tolerance must be a number above 0.");
    for (std::size_t i = 0; i < input.readings.size(); ++i)
        if (!std::isfinite(input.readings[i]))
            return QStringLiteral("Reading %1 is not a number.").arg(i + 1);
    return {};
}

QStringList definitions() {
    return {
        QStringLiteral("Bias = mean − reference; s = the readings' standard deviation (n − 1)."),
        QStringLiteral("Cg = 0.2 · T / (6 · s): 20 % of the tolerance T against the 6 s spread."),
        QStringLiteral("Cgk = (0.1 · T − |bias|) / (3 · s)."),
        QStringLiteral("Capable when Cg and Cgk are both 1.33 or more."),
        QStringLiteral("Band: the reference ± 10 % of the tolerance."),
        QStringLiteral("Bias test: t = bias / (s / √n), two-sided, n − 1 degrees of freedom; "
                       "significant when p is below 0.05."),
    };
}

} // namespace

Type1Outcome analyseType1(const Type1Input &input) {
    if (const QString refusal = refusalOf(input); !refusal.isEmpty())
        return {std::nullopt, refusal};

    Type1Result result;
    const std::vector<double> &readings = input.readings;
    const double tolerance = input.tolerance;
    result.count = static_cast<int>(readings.size());
    result.mean = meanOf(readings);
    result.bias = result.mean - input.reference;
    result.s = std::sqrt(squaresAbout(readings, result.mean) / (result.count - 1));
    result.bandLow = input.reference - BandShare * tolerance;
    result.bandHigh = input.reference + BandShare * tolerance;
    for (double reading : readings)
        if (reading < result.bandLow || reading > result.bandHigh)
            ++result.outsideBand;

    if (result.s > 0.0) {
        result.cg = CgShare * tolerance / (6.0 * result.s);
        result.cgk = (CgkShare * tolerance - std::fabs(result.bias)) / (3.0 * result.s);
        result.capable = *result.cg >= CapabilityLimit && *result.cgk >= CapabilityLimit;
        result.t = result.bias / (result.s / std::sqrt(static_cast<double>(result.count)));
        result.p = tTwoSided(*result.t, result.count - 1);
        result.biasSignificant = *result.p < BiasSignificanceLevel;
    } else {
        result.notes << QStringLiteral(
                            "All %1 readings are equal (s = 0): the gauge shows no spread at its "
                            "resolution, so Cg and Cgk are not defined and the bias cannot be "
                            "tested.")
                            .arg(result.count);
    }
    result.definitions = definitions();
    return {std::move(result), {}};
}

} // namespace studies
