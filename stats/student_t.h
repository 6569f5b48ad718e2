// Student's t distribution: the distribution function, two-sided p-values and quantiles for
// any positive (also fractional) number of degrees of freedom.
#pragma once

namespace orvix::stats {

// P(T <= t) for T with `df` degrees of freedom (df > 0).
double StudentTCdf(double t, double df);

// P(|T| >= |t|).
double StudentTTwoSidedP(double t, double df);

// The t with P(T <= t) = p, 0 < p < 1.
double StudentTQuantile(double p, double df);

}  // namespace orvix::stats
