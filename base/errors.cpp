#include "errors.h"

#include <cstring>

namespace orvix {

std::string WithArgument(const char* pattern, const std::string& argument) {
    std::string out(pattern);
    for (const char* directive : {"%s", "%d"}) {
        const auto at = out.find(directive);
        if (at != std::string::npos) {
            out.replace(at, 2, argument);
            break;
        }
    }
    return out;
}

std::string FailureText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

}  // namespace orvix
