// Numbers to text: integers, and fixed-point reals rounded half away from zero on their
// 18-digit decimal form, with the process-wide decimal separator.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

#include "checked_math.h"
#include "numbers.h"

namespace orvix {

// Decimal digits of a 32-bit integer, "-" before a negative one.
std::string IntText(std::int32_t value);

// `x` in fixed notation with `decimals` digits after `decimal`.
std::string FixedText(Extended x, int decimals, char decimal);

// One argument of FormatText: an integer for "%d", a real for "%f", a text or a single
// character for "%s".
using FormatArg = std::variant<std::int32_t, Extended, std::string_view, char>;

// Replaces, left to right, each directive of `format` by the next argument: "%%", "%d",
// "%s" and "%[-][W][.P]f" (P absent or above 18 means 2). A width pads with blanks on the
// left (on the right after "-") and never cuts.
std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args,
                       char decimal);
inline std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args) {
    return FormatText(format, args, DecimalChar());
}

}  // namespace orvix
