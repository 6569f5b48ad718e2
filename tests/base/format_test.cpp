// Number formatting, the failure text rule and safe file names.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/file_io.h"
#include "base/format.h"

namespace orvix {
namespace {

struct FixedCase {
    const char* format;
    long double value;
    const char* expected;
};

TEST(FormatText, FixedPointRoundsHalfAwayFromZero) {
    const FixedCase cases[] = {
        {"%1.0f", 37.5L, "38"},        {"%1.0f", 36.5L, "37"},
        {"%1.0f", 2.5L, "3"},          {"%1.0f", 0.5L, "1"},
        {"%1.0f", -2.5L, "-3"},        {"%1.0f", -0.4L, "0"},
        {"%1.0f", 47.14L, "47"},       {"%4.2f", 0.125L, "0.13"},
        {"%4.2f", 1.005, "1.00"},      {"%4.2f", 0.005L, "0.01"},
        {"%4.2f", 12.5L, "12.50"},     {"%4.2f", 1.5L, "1.50"},
        {"%4.2f", 0.0L, "0.00"},       {"%4.2f", -0.001L, "0.00"},
        {"%3.1f", 12.25L, "12.3"},     {"%3.1f", 5.0L, "5.0"},
        {"%3.1f", 0.04L, "0.0"},       {"%3.1f", 99.96, "100.0"},
        {"%3.1f", 1234.56L, "1234.6"}, {"%3.1f", 0.5L, "0.5"},
        {"%6.1f", 2.0L, "   2.0"},     {"%-6.1f|", 2.0L, "2.0   |"},
        {"%f", 1.0L, "1.00"},          {"%.25f", 1.0L, "1.00"},
        {"%4.2f", -0.0L, "0.00"},      {"%1.0f", 999.5L, "1000"},
        {"%4.2f", 1e-30L, "0.00"},     {"%3.1f", 123456789012345678.0L, "123456789012345678.0"},
        {"%4.2f", 0.0001234L, "0.00"}, {"%4.2f", 0.0099L, "0.01"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + std::to_string(static_cast<double>(c.value)));
        EXPECT_EQ(FormatText(c.format, {static_cast<Extended>(c.value)}, '.'), c.expected);
    }
    EXPECT_EQ(FormatText("%4.2f", {3.14159}, ','), "3,14");
}

TEST(FormatText, OtherDirectives) {
    EXPECT_EQ(FormatText("%d", {-5}, '.'), "-5");
    EXPECT_EQ(FormatText("%s", {'%'}, '.'), "%");
    EXPECT_EQ(FormatText("100%% of %s", {std::string_view("all")}, '.'), "100% of all");
    EXPECT_EQ(FormatText("V = %1.0f%s, N+ = %d", {47.14, "%", 12}, '.'), "V = 47%, N+ = 12");
    EXPECT_EQ(FormatText("%5d|%-3s|", {42, "a"}, '.'), "   42|a  |");
    EXPECT_EQ(IntText(0), "0");
    EXPECT_EQ(IntText(INT32_MIN), "-2147483648");
}

TEST(FailureText, DotRule) {
    EXPECT_EQ(FailureText("Floating point division by zero"), "Floating point division by zero.");
    EXPECT_EQ(FailureText("Done."), "Done.");
    EXPECT_EQ(FailureText("Cannot open file a/b.txt"), "Cannot open file a/b.txt.");
    for (const char* kept : {"a ", "a'", "a)", "a!", "a,", "a-", "a\""})
        EXPECT_EQ(FailureText(kept), kept);
    EXPECT_EQ(FailureText(""), "");
    EXPECT_EQ(FailureText("\xc0"), "\xc0.");  // Cyrillic letters are above "."
}

TEST(SafeFileName, ReplacesCharactersThatCannotStandInAName) {
    EXPECT_EQ(SafeFileName("a/b\\c:d*e?f\"g<h>i|j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(SafeFileName(std::string("x\ty\x01", 4)), "x_y_");
    EXPECT_EQ(SafeFileName("../../etc"), ".._.._etc");
    EXPECT_EQ(SafeFileName("\xcf\xe5\xf2\xf0\xee\xe2 1.2"), "\xcf\xe5\xf2\xf0\xee\xe2 1.2");
}

}  // namespace
}  // namespace orvix
