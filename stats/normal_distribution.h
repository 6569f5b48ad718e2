// The standard normal distribution: its distribution function and its quantiles.
#pragma once

namespace orvix::stats {

// Φ(z) = P(Z <= z).
double NormalCdf(double z) noexcept;

// The z with Φ(z) = p, 0 < p < 1 (NaN outside).
double NormalQuantile(double p) noexcept;

}  // namespace orvix::stats
