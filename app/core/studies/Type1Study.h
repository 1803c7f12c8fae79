#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The type-1 study: one reference part of known size measured again and again on one channel.
// Its bias and spread are set against the tolerance: 20 % of the tolerance against the 6 s spread
// (Cg) and, less the bias, 10 % of it against 3 s (Cgk). The run chart's band is the reference
// ± 10 % of the tolerance.
namespace studies {

inline constexpr double CapabilityLimit = 1.33;
inline constexpr double BiasSignificanceLevel = 0.05;

struct Type1Input {
    std::vector<double> readings; // in the order taken
    double reference = 0.0;       // the reference part's known size
    double tolerance = 0.0;       // T = USL − LSL of the characteristic
};

struct Type1Result {
    int count = 0;
    double mean = 0.0;
    double bias = 0.0; // mean − reference
    double s = 0.0;    // sample standard deviation, n − 1
    double bandLow = 0.0;
    double bandHigh = 0.0;
    int outsideBand = 0; // readings beyond reference ± 10 % of T
    // Empty when s = 0: nothing to divide by (the notes say so).
    std::optional<double> cg;
    std::optional<double> cgk;
    std::optional<bool> capable;         // Cg and Cgk both at least 1.33
    std::optional<double> t;             // bias / (s / √n)
    std::optional<double> p;             // two-sided, n − 1 degrees of freedom
    std::optional<bool> biasSignificant; // p below 5 %
    QStringList definitions;
    QStringList notes;
};

struct Type1Outcome {
    std::optional<Type1Result> result;
    QString refusal; // why there is no result
};

Type1Outcome analyseType1(const Type1Input &input);

} // namespace studies
