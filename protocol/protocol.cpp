#include "protocol.h"

#include <cstdint>
#include <cstring>

#include "base/file_io.h"

namespace orvix {

void DescrambleInPlace(std::string& text) noexcept {
    // Nine key bytes repeated to fill 72 bytes (a multiple of both 9 and 8), then XORed eight
    // bytes at a time.
    constexpr std::size_t kBlock = 72;
    unsigned char key[kBlock];
    for (std::size_t i = 0; i < kBlock; ++i)
        key[i] = static_cast<unsigned char>(ProtocolKey[i % 9]);
    std::uint64_t words[kBlock / 8];
    std::memcpy(words, key, kBlock);

    char* p = text.data();
    std::size_t n = text.size();
    while (n >= kBlock) {
        for (std::size_t w = 0; w < kBlock / 8; ++w) {
            std::uint64_t v;
            std::memcpy(&v, p + w * 8, 8);
            v ^= words[w];
            std::memcpy(p + w * 8, &v, 8);
        }
        p += kBlock;
        n -= kBlock;
    }
    for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<char>(p[i] ^ key[i]);
}

std::string DescrambleText(std::string_view text) {
    std::string out(text);
    DescrambleInPlace(out);
    return out;
}

void LoadProtocol(TLineBuffer& buffer, const std::filesystem::path& path) {
    std::string text = ReadWholeFile(path);
    DescrambleInPlace(text);
    buffer.ReplaceText(std::move(text));
}

}  // namespace orvix
