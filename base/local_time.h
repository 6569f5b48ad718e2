// The machine's local time, the same way on POSIX and Windows.
#pragma once

#include <ctime>
#include <string>

namespace orvix {

// `moment` broken down in the machine's time zone.
std::tm LocalTime(std::time_t moment);

// The present moment in the machine's time zone, written with strftime's `format`.
std::string LocalTimeText(const char* format);

}  // namespace orvix
