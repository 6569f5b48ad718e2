// Numbers from text: integers, and real numbers with the fixed "." or the user's decimal
// separator. The Scan functions report a bad text through an error position (1-based; one
// past the end when the text ended too early; 0 on success); the Parse functions fail with
// EConvertError.
#pragma once

#include <cstdint>
#include <string_view>

#include "checked_math.h"

namespace orvix {

// The process-wide decimal separator used by ParseReal and FormatText. Set between commands
// only (at start-up and when the user's regional settings change).
char DecimalChar() noexcept;
void SetDecimalChar(char c) noexcept;

// The separator to use for a locale's decimal-point text: that text when it is exactly one
// character, "." otherwise.
char DecimalCharFor(std::string_view localeDecimalPoint) noexcept;

// Decimal ("+"/"-" allowed) or hexadecimal ("$", "x", "X", "0x", "0X"; up to 8 significant
// digits, a 32-bit two's-complement pattern) after leading blanks; nothing may follow.
int ScanInt(std::string_view text, std::int32_t& value) noexcept;

// ScanInt, failing with "'%s' is not a valid integer value".
std::int32_t ParseInt(std::string_view text);

// A decimal number with "." as its only decimal point and an optional exponent, after leading
// blanks; nothing may follow. An exponent that takes the value beyond the extended range is
// an error (at the exponent's "E").
int ScanReal(std::string_view text, Extended& value) noexcept;

// A decimal number with `decimal` as its decimal mark, blanks allowed on both sides, a
// possibly empty exponent; fails with "'%s' is not a valid floating point value".
Extended ParseReal(std::string_view text, char decimal);
inline Extended ParseReal(std::string_view text) {
    return ParseReal(text, DecimalChar());
}

}  // namespace orvix
