#include "base/local_time.h"

namespace orvix {

std::tm LocalTime(std::time_t moment) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &moment);
#else
    localtime_r(&moment, &local);
#endif
    return local;
}

std::string LocalTimeText(const char* format) {
    const std::tm local = LocalTime(std::time(nullptr));
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, format, &local);
    return std::string(text, n);
}

}  // namespace orvix
