// Text operations and the number readers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/errors.h"
#include "base/numbers.h"
#include "base/text.h"

namespace orvix {
namespace {

TEST(TextOps, TrimAndSubText) {
    EXPECT_EQ(TrimText(" \t12 "), "12");
    EXPECT_EQ(TrimText("    "), "");
    EXPECT_EQ(TrimText(std::string("\0\x1f"
                                   "a b\x20",
                                   5)),
              "a b");
    EXPECT_EQ(TrimText("\xA0x\xA0"), "\xA0x\xA0");  // no-break space stays
    EXPECT_EQ(SubText("abc", 5, 2), "");
    EXPECT_EQ(SubText("abcdef", 0, 2), "ab");
    EXPECT_EQ(SubText("abc", 2, 100), "bc");
    EXPECT_EQ(SubText("abc", 2, -1), "");
    EXPECT_EQ(SubText("", 1, 1), "");
    EXPECT_EQ(SubText("abcdefghijklmnop", 9, 7), "ijklmno");
}

TEST(TextOps, NormalizeLineBreaks) {
    EXPECT_EQ(NormalizeLineBreaks("a\r\nb"), "a\r\nb");
    EXPECT_EQ(NormalizeLineBreaks("a\nb\rc\r"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(NormalizeLineBreaks("\n\r"), "\r\n\r\n");
    EXPECT_EQ(NormalizeLineBreaks("\r\r\n"), "\r\n\r\n");
}

struct IntCase {
    const char* text;
    bool ok;
    std::int32_t value;
};

TEST(Numbers, ParseIntCases) {
    const IntCase cases[] = {
        {" 12", true, 12},
        {"12 ", false, 0},
        {"+7", true, 7},
        {"-0", true, 0},
        {"007", true, 7},
        {"$1F", true, 31},
        {"x1F", true, 31},
        {"X1f", true, 31},
        {"0x1F", true, 31},
        {"0X1F", true, 31},
        {"-$1F", false, 0},
        {"+x1", false, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"1.0", false, 0},
        {"\t12", false, 0},
        {"", false, 0},
        {"   ", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"$FFFFFFFF", true, -1},
        {"$000000001", true, 1},
        {"$100000000", false, 0},
        {"$80000000", true, INT32_MIN},
        {"0", true, 0},
        {"12a", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.ok) {
            EXPECT_EQ(ParseInt(c.text), c.value);
        } else {
            try {
                ParseInt(c.text);
                ADD_FAILURE() << "accepted";
            } catch (const EConvertError& e) {
                EXPECT_EQ(e.Message(),
                          "'" + std::string(c.text) + "' is not a valid integer value");
            }
        }
    }
}

struct RealCase {
    const char* text;
    int position;
    long double value;
};

TEST(Numbers, ScanRealCases) {
    const RealCase cases[] = {
        {"  12.5", 0, 12.5L}, {"12.5 ", 5, 0}, {"12,5", 3, 0},      {"1e3", 0, 1000},
        {"1e", 3, 0},         {".", 0, 0},     {"-.5", 0, -0.5L},   {"", 1, 0},
        {"-", 2, 0},          {"  ", 3, 0},    {"+3.", 0, 3},       {"1E-2", 0, 0.01L},
        {"1e+", 4, 0},        {"1ex", 3, 0},   {"  600.0", 0, 600}, {"1e9999", 2, 0},
        {"0e9999", 0, 0},     {"12 3", 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Extended v = -1;
        EXPECT_EQ(ScanReal(c.text, v), c.position);
        if (c.position == 0) {
            EXPECT_EQ(v, c.value);
        }
    }
    // Short decimal fractions come out as the nearest extended value.
    Extended v = 0;
    ASSERT_EQ(ScanReal("0.1", v), 0);
    EXPECT_EQ(v, 0.1L);
    ASSERT_EQ(ScanReal("123.4", v), 0);
    EXPECT_EQ(v, 123.4L);
}

TEST(Numbers, ParseRealWithEitherSeparator) {
    struct Case {
        const char* text;
        char decimal;
        bool ok;
        long double value;
    };
    const Case cases[] = {
        {" 12,5 ", ',', true, 12.5L},   {"12.5", ',', false, 0},
        {"1,5E2", ',', true, 150},      {",", ',', true, 0},
        {"1E", ',', true, 1},           {"-", ',', false, 0},
        {"1 000", ',', false, 0},       {"12.5", '.', true, 12.5L},
        {"12,5", '.', false, 0},        {"", '.', false, 0},
        {"  ", '.', false, 0},          {"1E+", '.', true, 1},
        {"-2.5e-1", '.', true, -0.25L}, {"E5", '.', false, 0},
        {"1E27", '.', true, 1e27L},     {"1E5000", '.', false, 0},
        {"1E4999", '.', false, 0},      {"1E-5000", '.', false, 0},
        {"1E-4999", '.', true, 0},      {"1.2.3", '.', false, 0},
        {"\t1", '.', false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " with " + c.decimal);
        if (c.ok) {
            EXPECT_EQ(ParseReal(c.text, c.decimal), c.value);
        } else {
            try {
                ParseReal(c.text, c.decimal);
                ADD_FAILURE() << "accepted";
            } catch (const EConvertError& e) {
                EXPECT_EQ(e.Message(),
                          "'" + std::string(c.text) + "' is not a valid floating point value");
            }
        }
    }
    // The one-argument form follows the process-wide separator.
    SetDecimalChar(',');
    EXPECT_EQ(ParseReal("0,25"), 0.25L);
    SetDecimalChar('.');
    EXPECT_EQ(ParseReal("0.25"), 0.25L);
    EXPECT_EQ(DecimalCharFor(","), ',');
    EXPECT_EQ(DecimalCharFor(""), '.');
    EXPECT_EQ(DecimalCharFor("\xd9\xab"), '.');  // a two-byte separator falls back to "."
}

}  // namespace
}  // namespace orvix
