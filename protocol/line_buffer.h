// The line store through which a protocol is read: one text, split into lines at CR LF, at a
// lone CR and at a lone LF, read through a window of 4096 characters per line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvix {

class TLineBuffer {
  public:
    static constexpr std::size_t kLineWindow = 4096;

    // Makes `text`, up to its first byte 0, the current text. Line breaks are kept as they are.
    void ReplaceText(std::string text);

    // The current text as one string, line breaks included.
    const std::string& WholeText() const noexcept { return text_; }

    // Line `index` (0-based) without its line break, cut to 4096 characters. An index below 0
    // or at or past the number of lines gives the empty text. The view is valid until the
    // next ReplaceText.
    std::string_view LineAt(std::int64_t index) const noexcept;

    // The number of lines: 0 for an empty text; a text ending in a line break has an empty
    // last line after it.
    std::int64_t LineCount() const noexcept { return static_cast<std::int64_t>(starts_.size()); }

  private:
    std::string text_;
    // For each line, the offset of its first character; the line ends where its break starts.
    std::vector<std::uint32_t> starts_;
    std::vector<std::uint32_t> ends_;
};

}  // namespace orvix
