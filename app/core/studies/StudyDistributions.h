#pragma once

// Tail probabilities of the test statistics, from Boost.Math with a policy that reports a domain
// error as a NaN instead of throwing: the callers give only valid arguments, and a study is never
// to end the program.
namespace studies {

// P(F > f) for an F distribution with the given degrees of freedom; f ≥ 0.
double fUpperTail(double f, int numeratorDf, int denominatorDf);

// P(|T| > |t|) for Student's t distribution; degreesOfFreedom ≥ 1.
double tTwoSided(double t, int degreesOfFreedom);

} // namespace studies
