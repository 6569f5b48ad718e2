#include "text.h"

namespace orvix {

std::string_view TrimText(std::string_view text) noexcept {
    auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string_view SubText(std::string_view text, std::int64_t start, std::int64_t count) noexcept {
    if (start < 1) start = 1;
    const auto size = static_cast<std::int64_t>(text.size());
    if (count <= 0 || start > size) return {};
    const std::int64_t available = size - (start - 1);
    return text.substr(static_cast<std::size_t>(start - 1),
                       static_cast<std::size_t>(count < available ? count : available));
}

std::string NormalizeLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace orvix
