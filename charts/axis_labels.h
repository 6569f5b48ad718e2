// Axis label maths: label steps, the label values of a range, minor tick places and the number
// patterns of the labels.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvix {

// The step that follows s in the sequence 1e-12, 2e-12, 5e-12, 1e-11 ... 0.5, 1, 2, 5, 10, 20 ...
double NextLabelStep(double s) noexcept;

// The label step of a range of `width` over `length` pixels for labels `labelSize` pixels
// big (text width along a horizontal axis, text height along a vertical one). `increment` > 0
// is the wanted step; `separationPercent` is the extra room kept between two labels.
double AxisLabelStep(double width, int length, int labelSize, double increment,
                     int separationPercent) noexcept;

// The label values of low..high for `step`, from the top of the range downwards. None when the
// range holds 10000 steps or more. `roundFirst` puts the labels at whole multiples of the step.
std::vector<double> AxisLabelValues(double low, double high, double step, bool roundFirst);

// `value` rounded towards zero to a whole multiple of `step` (the value itself unless roundFirst).
double RoundedLabelValue(double value, double step, bool roundFirst) noexcept;

// Minor tick pixels for major ticks given in label order (highest value first): `count` ticks
// evenly between two neighbours, and `count` more beyond each outermost major tick with the
// spacing of the first pair. Only pixels strictly between `spanStart` and `spanEnd` are kept.
std::vector<int> MinorTickPixels(const std::vector<int>& majorPixels, int count, int spanStart,
                                 int spanEnd);

// `value` written under a number pattern: '0' a digit always written, '#' a digit written when
// significant, '.' the decimal separator (written only with a fraction digit after it); ','
// (grouping) is ignored, since the program never groups digits. Rounds to the nearest, halves
// away from zero; a value that rounds to zero has no minus sign.
std::string FormatAxisValue(double value, std::string_view pattern, char decimalSeparator);

}  // namespace orvix
