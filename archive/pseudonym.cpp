#include "pseudonym.h"

#include <cstring>
#include <random>

namespace orvix::archive {
namespace {

constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t Rotr(std::uint32_t v, int r) {
    return (v >> r) | (v << (32 - r));
}

class TSha256 {
  public:
    void Add(std::string_view bytes) {
        for (const char c : bytes) {
            block_[fill_++] = static_cast<std::uint8_t>(c);
            if (fill_ == 64) Compress();
        }
        length_ += bytes.size();
    }

    TSha256Digest Finish() {
        const std::uint64_t bits = length_ * 8;
        block_[fill_++] = 0x80;
        if (fill_ > 56) {
            while (fill_ < 64) block_[fill_++] = 0;
            Compress();
        }
        while (fill_ < 56) block_[fill_++] = 0;
        for (int i = 7; i >= 0; --i) block_[fill_++] = static_cast<std::uint8_t>(bits >> (8 * i));
        Compress();
        TSha256Digest digest{};
        for (int i = 0; i < 8; ++i)
            for (int b = 0; b < 4; ++b)
                digest[static_cast<std::size_t>(4 * i + b)] =
                    static_cast<std::uint8_t>(state_[i] >> (24 - 8 * b));
        return digest;
    }

  private:
    void Compress() {
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = std::uint32_t{block_[4 * i]} << 24 | std::uint32_t{block_[4 * i + 1]} << 16 |
                   std::uint32_t{block_[4 * i + 2]} << 8 | std::uint32_t{block_[4 * i + 3]};
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
        std::uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t s1 = Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25);
            const std::uint32_t ch = (e & f) ^ (~e & g);
            const std::uint32_t t1 = h + s1 + ch + kRound[i] + w[i];
            const std::uint32_t s0 = Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22);
            const std::uint32_t maj = (a & b) ^ (a & c) ^ (b & c);
            const std::uint32_t t2 = s0 + maj;
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state_[0] += a;
        state_[1] += b;
        state_[2] += c;
        state_[3] += d;
        state_[4] += e;
        state_[5] += f;
        state_[6] += g;
        state_[7] += h;
        fill_ = 0;
    }

    std::uint32_t state_[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                               0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::uint8_t block_[64] = {};
    std::size_t fill_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace

TSha256Digest Sha256(std::string_view bytes) {
    TSha256 h;
    h.Add(bytes);
    return h.Finish();
}

TSha256Digest HmacSha256(std::string_view key, std::string_view message) {
    std::uint8_t k[64] = {};
    if (key.size() > 64) {
        const TSha256Digest d = Sha256(key);
        std::memcpy(k, d.data(), d.size());
    } else {
        std::memcpy(k, key.data(), key.size());
    }
    std::string inner(64, '\0'), outer(64, '\0');
    for (int i = 0; i < 64; ++i) {
        inner[static_cast<std::size_t>(i)] = static_cast<char>(k[i] ^ 0x36);
        outer[static_cast<std::size_t>(i)] = static_cast<char>(k[i] ^ 0x5c);
    }
    TSha256 in;
    in.Add(inner);
    in.Add(message);
    const TSha256Digest innerDigest = in.Finish();
    TSha256 out;
    out.Add(outer);
    out.Add(
        std::string_view(reinterpret_cast<const char*>(innerDigest.data()), innerDigest.size()));
    return out.Finish();
}

std::string HexText(const std::uint8_t* bytes, std::size_t n) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 15]);
    }
    return text;
}

std::string PseudonymOf(std::string_view key, std::string_view identity) {
    // No 0/O, 1/I: a code read aloud or copied by hand stays right.
    static constexpr char kAlphabet[] = "23456789ABCDEFGHJKLMNPQRSTUVWXYZ";
    const TSha256Digest d = HmacSha256(key, identity);
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = (bits << 8) | d[static_cast<std::size_t>(i)];
    std::string code = "П-";
    for (int i = 0; i < 10; ++i) code.push_back(kAlphabet[(bits >> (59 - 5 * i)) & 31]);
    return code;
}

std::string NewPseudonymKey() {
    std::random_device source;
    std::uint8_t key[32];
    for (std::uint8_t& b : key) b = static_cast<std::uint8_t>(source() & 0xFF);
    return HexText(key, sizeof key);
}

}  // namespace orvix::archive
