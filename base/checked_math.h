// Checked extended-precision arithmetic. Every real-number computation of the analysis goes
// through these helpers, which raise the failure a trapping floating-point unit would raise
// (invalid operation, division by zero, overflow) at the operation where it arises.
// Underflow and inexact results pass silently, as they would with those traps masked.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#include "errors.h"

namespace orvix {

using Extended = long double;
static_assert(std::numeric_limits<Extended>::digits == 64,
              "the analysis needs 80-bit extended precision (a 64-bit significand)");

[[noreturn]] void RaiseZeroDivide();
[[noreturn]] void RaiseInvalidOp();
[[noreturn]] void RaiseOverflow();
[[noreturn]] void RaiseRangeError();

namespace checked {

inline void CheckOperands(Extended a, Extended b) {
    if (std::isnan(a) || std::isnan(b)) RaiseInvalidOp();
}

inline Extended Result(Extended r) {
    if (std::isinf(r)) RaiseOverflow();
    if (std::isnan(r)) RaiseInvalidOp();
    return r;
}

inline Extended Add(Extended a, Extended b) {
    CheckOperands(a, b);
    return Result(a + b);
}

inline Extended Sub(Extended a, Extended b) {
    CheckOperands(a, b);
    return Result(a - b);
}

inline Extended Mul(Extended a, Extended b) {
    CheckOperands(a, b);
    return Result(a * b);
}

// a / b: 0 / 0 is an invalid operation, any other x / 0 a division by zero.
inline Extended Div(Extended a, Extended b) {
    CheckOperands(a, b);
    if (b == 0) {
        if (a == 0) RaiseInvalidOp();
        RaiseZeroDivide();
    }
    return Result(a / b);
}

// The square root of a negative number is an invalid operation (-0 is allowed: it gives -0).
inline Extended Sqrt(Extended a) {
    if (std::isnan(a) || a < 0) RaiseInvalidOp();
    return std::sqrt(a);
}

// Storing an extended value as a double: beyond the double range is an overflow.
inline double ToDouble(Extended a) {
    if (std::isnan(a)) RaiseInvalidOp();
    if (std::isinf(a) || std::fabs(a) > static_cast<Extended>(DBL_MAX)) {
        // Values that round down to DBL_MAX are representable.
        const double d = static_cast<double>(a);
        if (std::isinf(d)) RaiseOverflow();
        return d;
    }
    return static_cast<double>(a);
}

// Conversion to a 64-bit integer, truncating toward zero. Outside the 64-bit range the
// operation has no defined result.
inline std::int64_t Trunc(Extended a) {
    if (std::isnan(a)) RaiseInvalidOp();
    const Extended t = std::trunc(a);
    constexpr Extended kLow = -9223372036854775808.0L;  // -2^63
    constexpr Extended kHigh = 9223372036854775808.0L;  // 2^63
    if (t < kLow || t >= kHigh) RaiseInvalidOp();
    return static_cast<std::int64_t>(t);
}

}  // namespace checked
}  // namespace orvix
