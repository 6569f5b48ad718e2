// Failures of the chart component's property checks.
#pragma once

#include "base/errors.h"

namespace orvix {

class AxisException : public Exception {
  public:
    using Exception::Exception;
};

class ChartException : public Exception {
  public:
    using Exception::Exception;
};

class BarException : public Exception {
  public:
    using Exception::Exception;
};

namespace msg {
inline constexpr const char* kAxisMinimum = "Axis Minimum Value must be <= Maximum";
inline constexpr const char* kAxisMaximum = "Axis Maximum Value must be >= Minimum";
inline constexpr const char* kMaxPointsPerPage = "MaxPointsPerPage must be >= 0";
inline constexpr const char* kBarWidthPercent = "Bar Width Percent must be between 1 and 100";
inline constexpr const char* kPointerSize = "Pointer size must be greater than zero";
}  // namespace msg

// Raises EListError "List index out of bounds (i)".
[[noreturn]] void RaiseListIndex(int index);

}  // namespace orvix
