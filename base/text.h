// Text operations on Windows-1251 byte strings. Positions are counted from 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvix {

// Removes at both ends every character whose code is 0 to 32. The result views `text`.
inline std::string_view TrimText(std::string_view text) noexcept {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
    return text.substr(begin, end - begin);
}

// The characters from position `start` on, at most `count` of them. A start below 1 counts
// as 1; a start past the end or a negative count give the empty text. The result views `text`.
inline std::string_view SubText(std::string_view text, std::int64_t start,
                                std::int64_t count) noexcept {
    if (start < 1) start = 1;
    const auto size = static_cast<std::int64_t>(text.size());
    if (count <= 0 || start > size) return {};
    const std::int64_t available = size - (start - 1);
    return text.substr(static_cast<std::size_t>(start - 1),
                       static_cast<std::size_t>(count < available ? count : available));
}

// Every lone CR and every lone LF becomes CR LF.
std::string NormalizeLineBreaks(std::string_view text);

}  // namespace orvix
