#include "lzw_pack.h"

#include <algorithm>
#include <memory>

namespace orvix {
namespace {

constexpr std::uint32_t kLastCode = 4094;

// The dictionary from (prefix code, index) to code, open addressing over 2^14 slots (load
// at most a quarter). A slot holds generation << 32 | key << 12 | code; a slot of an older
// generation is empty, so starting afresh costs one increment instead of clearing the table.
class LzwDictionary {
  public:
    static constexpr std::uint32_t kNotFound = 0xFFFFFFFF;

    LzwDictionary() : slots_(new std::uint64_t[kSlots]()) {}

    void Clear() noexcept { generation_ += std::uint64_t{1} << 32; }

    // The code of `key` (prefix << 8 | index), or kNotFound with `slot` set to where it goes.
    std::uint32_t Find(std::uint32_t key, std::uint32_t& slot) const noexcept {
        const std::uint64_t wanted = generation_ | (std::uint64_t{key} << 12);
        slot = (key * 0x9E3779B1u) >> (32 - kSlotBits);
        for (;;) {
            const std::uint64_t value = slots_[slot];
            if ((value & ~std::uint64_t{0xFFF}) == wanted) return value & 0xFFF;
            if ((value & kGenerationMask) != generation_) return kNotFound;
            slot = (slot + 1) & (kSlots - 1);
        }
    }
    void Insert(std::uint32_t slot, std::uint32_t key, std::uint32_t code) noexcept {
        slots_[slot] = generation_ | (std::uint64_t{key} << 12) | code;
    }

  private:
    static constexpr int kSlotBits = 14;
    static constexpr std::uint32_t kSlots = 1u << kSlotBits;
    static constexpr std::uint64_t kGenerationMask = ~std::uint64_t{0xFFFFFFFF};

    std::unique_ptr<std::uint64_t[]> slots_;
    std::uint64_t generation_ = std::uint64_t{1} << 32;  // zeroed slots are generation 0
};

// Codes into one bit stream, least significant bit first, cut into data sub-blocks.
class SubBlockWriter {
  public:
    explicit SubBlockWriter(std::string& out) : out_(out) {}

    void Put(std::uint32_t code, int width) {
        bits_ |= std::uint64_t{code} << count_;
        count_ += width;
        while (count_ >= 8) {
            block_[used_++] = static_cast<char>(bits_);
            bits_ >>= 8;
            count_ -= 8;
            if (used_ == 255) WriteBlock();
        }
    }
    // Completes the last byte with zero bits and writes what is left; then the terminator.
    void Finish() {
        if (count_ > 0) {
            block_[used_++] = static_cast<char>(bits_);
            bits_ = 0;
            count_ = 0;
            if (used_ == 255) WriteBlock();
        }
        if (used_ > 0) WriteBlock();
        out_.push_back('\0');
    }

  private:
    void WriteBlock() {
        out_.push_back(static_cast<char>(used_));
        out_.append(block_, used_);
        used_ = 0;
    }

    std::string& out_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
    std::size_t used_ = 0;
    char block_[255];
};

}  // namespace

std::string LzwPack(std::span<const std::uint8_t> indices, int indexBits) {
    const int colors = GifColorCount(indexBits);
    if (indexBits < 8 &&
        std::any_of(indices.begin(), indices.end(), [&](std::uint8_t p) { return p >= colors; }))
        throw EGifEncodeError();

    const int minCodeSize = indexBits == 1 ? 2 : indexBits;
    const int initialWidth = minCodeSize + 1;
    const std::uint32_t clear = 1u << minCodeSize;
    const std::uint32_t end = clear + 1;

    // Room for the worst case, so the buffer never moves while it fills: every index writes
    // at most one code, each restart two more, all at most 12 bits, plus a length byte per
    // 255 data bytes.
    const std::size_t maxCodes = indices.size() + 2 * (indices.size() / (kLastCode - 257) + 1) + 3;
    const std::size_t maxData = (12 * maxCodes + 7) / 8;
    std::string out;
    out.reserve(2 + maxData + maxData / 255 + 1);
    out.push_back(static_cast<char>(minCodeSize));
    SubBlockWriter writer(out);
    LzwDictionary dictionary;

    int width = initialWidth;
    std::uint32_t limit = 1u << initialWidth;
    std::uint32_t last = end;
    writer.Put(clear, width);

    const std::uint8_t* p = indices.data();
    const std::uint8_t* const stop = p + indices.size();
    bool pending = false;
    std::uint32_t prefix = 0;
    while (p < stop) {
        prefix = *p++;
        pending = true;
        while (p < stop) {
            const std::uint32_t index = *p++;
            const std::uint32_t key = (prefix << 8) | index;
            std::uint32_t slot;
            const std::uint32_t code = dictionary.Find(key, slot);
            if (code != LzwDictionary::kNotFound) {
                prefix = code;
                continue;
            }
            writer.Put(prefix, width);
            dictionary.Insert(slot, key, ++last);
            prefix = index;
            if (last >= limit) {
                ++width;
                limit <<= 1;
            } else if (last >= kLastCode) {
                writer.Put(index, width);
                writer.Put(clear, width);
                dictionary.Clear();
                last = end;
                width = initialWidth;
                limit = 1u << initialWidth;
                pending = false;
                break;
            }
        }
    }
    if (pending) writer.Put(prefix, width);
    writer.Put(end, width);
    writer.Finish();
    // Pictures with flat areas use a small part of the room reserved; give the rest back.
    if (out.size() < out.capacity() / 2) out.shrink_to_fit();
    return out;
}

}  // namespace orvix
