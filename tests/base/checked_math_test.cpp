// The checked arithmetic raises what a trapping floating-point unit would.
#include <gtest/gtest.h>

#include "base/checked_math.h"

namespace orvix {
namespace {

TEST(CheckedMath, TrappedConditions) {
    auto message = [](auto&& f) -> std::string {
        try {
            f();
        } catch (const EMathError& e) {
            return e.Message();
        }
        return "";
    };
    EXPECT_EQ(message([] { checked::Div(1.0L, 0); }), "Floating point division by zero");
    EXPECT_EQ(message([] { checked::Div(-1.0L, 0); }), "Floating point division by zero");
    EXPECT_EQ(message([] { checked::Div(0, 0); }), "Invalid floating point operation");
    EXPECT_EQ(message([] { checked::Sqrt(-1); }), "Invalid floating point operation");
    EXPECT_EQ(message([] { checked::Mul(LDBL_MAX, 2); }), "Floating point overflow");
    EXPECT_EQ(message([] { checked::ToDouble(1e309L); }), "Floating point overflow");
    EXPECT_EQ(message([] { checked::Trunc(1e19L); }), "Invalid floating point operation");
    // The next computation runs normally.
    EXPECT_EQ(checked::Div(1, 4), 0.25L);
    EXPECT_EQ(checked::Sqrt(0), 0);
    EXPECT_EQ(checked::ToDouble(LDBL_MIN), 0.0);  // underflow is silent
    EXPECT_EQ(checked::Trunc(-9999.9L), -9999);
    EXPECT_EQ(checked::Trunc(-9999) / 5, -1999);
    EXPECT_THROW(checked::Trunc(9223372036854775808.0L), EInvalidOp);
    EXPECT_EQ(checked::Trunc(-9223372036854775808.0L), INT64_MIN);
}

}  // namespace
}  // namespace orvix
