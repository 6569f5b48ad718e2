#include "line_buffer.h"

#include <algorithm>
#include <cstring>

#include "base/errors.h"
#include "base/file_io.h"

namespace orvix {

void TLineBuffer::ReplaceText(std::string text) {
    if (const auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    // Offsets are 32-bit; ReadWholeFile keeps protocol texts far below that.
    if (text.size() > kMaxTextBytes) throw EInvalidOperation(msg::kTextExceedsCapacity);
    text_ = std::move(text);
    starts_.clear();
    ends_.clear();
    if (text_.empty()) return;

    const char* const base = text_.data();
    const std::size_t n = text_.size();
    // The next CR and the next LF at or after `pos` (n when there is none); each is searched
    // again only once passed, so a text of one kind of break is still scanned once.
    auto find = [&](char c, std::size_t from) {
        const void* hit = std::memchr(base + from, c, n - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : n;
    };
    std::size_t pos = 0;
    std::size_t nextCr = find('\r', 0);
    std::size_t nextLf = find('\n', 0);
    for (;;) {
        if (nextCr < pos) nextCr = find('\r', pos);
        if (nextLf < pos) nextLf = find('\n', pos);
        const std::size_t brk = std::min(nextCr, nextLf);
        starts_.push_back(static_cast<std::uint32_t>(pos));
        ends_.push_back(static_cast<std::uint32_t>(brk));
        if (brk == n) break;
        pos = brk + 1;
        if (base[brk] == '\r' && pos < n && base[pos] == '\n') ++pos;
        if (pos == n) {  // a text ending in a break has an empty last line
            starts_.push_back(static_cast<std::uint32_t>(n));
            ends_.push_back(static_cast<std::uint32_t>(n));
            break;
        }
    }
}

std::string_view TLineBuffer::LineAt(std::int64_t index) const noexcept {
    if (index < 0 || index >= LineCount()) return {};
    const auto i = static_cast<std::size_t>(index);
    const std::size_t length = std::min<std::size_t>(ends_[i] - starts_[i], kLineWindow);
    return std::string_view(text_).substr(starts_[i], length);
}

}  // namespace orvix
