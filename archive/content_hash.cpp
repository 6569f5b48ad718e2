#include "content_hash.h"

namespace orvix::archive {
namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ull;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ull;

constexpr std::uint64_t Rotl(std::uint64_t v, int r) {
    return (v << r) | (v >> (64 - r));
}

// Little-endian on every platform, so the text is the same everywhere.
std::uint64_t Read64(const unsigned char* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

std::uint64_t Round(std::uint64_t acc, std::uint64_t input) {
    acc += input * kPrime2;
    return Rotl(acc, 31) * kPrime1;
}

// Spreads every input bit over the whole word.
std::uint64_t Avalanche(std::uint64_t h) {
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime3;
    h ^= h >> 32;
    return h;
}

}  // namespace

std::string ContentHash(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    // Four lanes over 32-byte stripes.
    std::uint64_t lane[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32)
        for (int k = 0; k < 4; ++k) lane[k] = Round(lane[k], Read64(p + i + 8 * k));
    // The tail: whole words, then the bytes left, each into the lane after the last.
    std::uint64_t tail[4] = {kPrime3, kPrime4, kPrime5, kPrime1};
    int k = 0;
    for (; i + 8 <= n; i += 8, k = (k + 1) & 3) tail[k] = Round(tail[k], Read64(p + i));
    for (; i < n; ++i, k = (k + 1) & 3) tail[k] = Rotl(tail[k] ^ (p[i] * kPrime5), 11) * kPrime1;

    const std::uint64_t length = static_cast<std::uint64_t>(n);
    std::uint64_t a = Rotl(lane[0], 1) + Rotl(lane[1], 7) + Rotl(lane[2], 12) + Rotl(lane[3], 18);
    std::uint64_t b = Rotl(lane[0], 18) + Rotl(lane[1], 12) + Rotl(lane[2], 7) + Rotl(lane[3], 1);
    for (int j = 0; j < 4; ++j) {
        a = (a ^ Round(0, tail[j])) * kPrime1 + kPrime4;
        b = (b ^ Round(0, tail[3 - j] + kPrime5)) * kPrime2 + kPrime3;
    }
    a = Avalanche(a + length);
    b = Avalanche(b ^ (length * kPrime4) ^ a);

    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(32, '0');
    for (int j = 0; j < 16; ++j) {
        text[static_cast<std::size_t>(j)] = kDigits[(a >> (60 - 4 * j)) & 15];
        text[static_cast<std::size_t>(16 + j)] = kDigits[(b >> (60 - 4 * j)) & 15];
    }
    return text;
}

}  // namespace orvix::archive
