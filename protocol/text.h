// Text operations on Windows-1251 byte strings. Positions are counted from 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvix {

// Removes at both ends every character whose code is 0 to 32. The result views `text`.
std::string_view TrimText(std::string_view text) noexcept;

// The characters from position `start` on, at most `count` of them. A start below 1 counts
// as 1; a start past the end or a negative count give the empty text. The result views `text`.
std::string_view SubText(std::string_view text, std::int64_t start, std::int64_t count) noexcept;

// Every lone CR and every lone LF becomes CR LF.
std::string NormalizeLineBreaks(std::string_view text);

}  // namespace orvix
