#include "StudyDistributions.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <cmath>

namespace studies {

namespace {

namespace policies = boost::math::policies;
using NoThrow = policies::policy<policies::domain_error<policies::errno_on_error>,
                                 policies::overflow_error<policies::errno_on_error>,
                                 policies::evaluation_error<policies::errno_on_error>>;

} // namespace

double fUpperTail(double f, int numeratorDf, int denominatorDf) {
    const boost::math::fisher_f_distribution<double, NoThrow> distribution(numeratorDf,
                                                                           denominatorDf);
    return boost::math::cdf(boost::math::complement(distribution, f));
}

double tTwoSided(double t, int degreesOfFreedom) {
    const boost::math::students_t_distribution<double, NoThrow> distribution(degreesOfFreedom);
    return 2.0 * boost::math::cdf(boost::math::complement(distribution, std::fabs(t)));
}

} // namespace studies
