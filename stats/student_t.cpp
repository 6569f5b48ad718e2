#include "stats/student_t.h"

#include <cmath>
#include <limits>

namespace orvix::stats {
namespace {

// The continued fraction of the regularized incomplete beta function, evaluated by the modified
// Lentz method; converges quickly for x < (a + 1) / (a + b + 2).
double BetaFraction(double a, double b, double x) {
    constexpr double kTiny = 1e-300;
    constexpr double kEpsilon = 1e-16;
    const double qab = a + b;
    const double qap = a + 1;
    const double qam = a - 1;
    double c = 1;
    double d = 1 - qab * x / qap;
    if (std::fabs(d) < kTiny) d = kTiny;
    d = 1 / d;
    double h = d;
    for (int m = 1; m <= 1000; ++m) {
        const double m2 = 2.0 * m;
        double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
        d = 1 + aa * d;
        if (std::fabs(d) < kTiny) d = kTiny;
        c = 1 + aa / c;
        if (std::fabs(c) < kTiny) c = kTiny;
        d = 1 / d;
        h *= d * c;
        aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
        d = 1 + aa * d;
        if (std::fabs(d) < kTiny) d = kTiny;
        c = 1 + aa / c;
        if (std::fabs(c) < kTiny) c = kTiny;
        d = 1 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1) < kEpsilon) break;
    }
    return h;
}

// I_x(a, b), the regularized incomplete beta function, 0 <= x <= 1.
double RegularizedBeta(double a, double b, double x) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                  a * std::log(x) + b * std::log1p(-x));
    if (x < (a + 1) / (a + b + 2)) return front * BetaFraction(a, b, x) / a;
    return 1 - front * BetaFraction(b, a, 1 - x) / b;
}

}  // namespace

double StudentTTwoSidedP(double t, double df) {
    if (std::isnan(t) || !(df > 0)) return std::numeric_limits<double>::quiet_NaN();
    if (std::isinf(t)) return 0;
    // P(|T| >= |t|) = I_{df / (df + t^2)}(df / 2, 1 / 2)
    return RegularizedBeta(df / 2, 0.5, df / (df + t * t));
}

double StudentTCdf(double t, double df) {
    const double tail = StudentTTwoSidedP(t, df) / 2;
    return t > 0 ? 1 - tail : tail;
}

double StudentTQuantile(double p, double df) {
    if (!(p > 0 && p < 1) || !(df > 0)) return std::numeric_limits<double>::quiet_NaN();
    if (p == 0.5) return 0;
    // Symmetry: find the positive t whose upper tail is min(p, 1 - p).
    const double tail = p > 0.5 ? 1 - p : p;
    auto upperTail = [df](double t) { return StudentTTwoSidedP(t, df) / 2; };
    double low = 0;
    double high = 1;
    while (upperTail(high) > tail && high < 1e300) {
        low = high;
        high *= 2;
    }
    // Bisection to the last bit: the tail falls monotonically in t.
    for (int i = 0; i < 2000 && low < high; ++i) {
        const double mid = low + (high - low) / 2;
        if (mid <= low || mid >= high) break;
        if (upperTail(mid) > tail)
            low = mid;
        else
            high = mid;
    }
    const double t = low + (high - low) / 2;
    return p > 0.5 ? t : -t;
}

}  // namespace orvix::stats
