#include "lzw_pack.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

namespace orvix {
namespace {

constexpr std::uint32_t kLastCode = 4094;

// The dictionary from (prefix code, index) to code.
// First a hint per prefix: the index and code of the child last entered or found under it.
// Pictures with flat areas repeat the same continuations, so many lookups end with this one
// load from a small table. The hints are cleared when the dictionary starts afresh.
// Then open addressing over 2^14 slots (load at most a quarter). A slot holds
// generation << 32 | key << 12 | code; a slot of an older generation is empty, so starting
// afresh does not clear this larger table.
class LzwDictionary {
  public:
    static constexpr std::uint32_t kNotFound = 0xFFFFFFFF;

    LzwDictionary() : slots_(new std::uint64_t[kSlots]()) {}

    void Clear() noexcept {
        generation_ += std::uint64_t{1} << 32;
        hints_.fill(0);
    }

    // The code of (prefix, index), or kNotFound with `slot` set to where it goes.
    std::uint32_t Find(std::uint32_t prefix, std::uint32_t index, std::uint32_t& slot) noexcept {
        const std::uint32_t hint = hints_[prefix];  // index << 16 | code; 0 when none
        if ((hint >> 16) == index && hint != 0) return hint & 0xFFFF;
        const std::uint32_t key = (prefix << 8) | index;
        const std::uint64_t wanted = generation_ | (std::uint64_t{key} << 12);
        slot = (key * 0x9E3779B1u) >> (32 - kSlotBits);
        for (;;) {
            const std::uint64_t value = slots_[slot];
            if ((value & ~std::uint64_t{0xFFF}) == wanted) {
                const std::uint32_t code = value & 0xFFF;
                hints_[prefix] = (index << 16) | code;
                return code;
            }
            if ((value & kGenerationMask) != generation_) return kNotFound;
            slot = (slot + 1) & (kSlots - 1);
        }
    }
    void Insert(std::uint32_t slot, std::uint32_t prefix, std::uint32_t index,
                std::uint32_t code) noexcept {
        const std::uint32_t key = (prefix << 8) | index;
        slots_[slot] = generation_ | (std::uint64_t{key} << 12) | code;
        hints_[prefix] = (index << 16) | code;
    }

  private:
    static constexpr int kSlotBits = 14;
    static constexpr std::uint32_t kSlots = 1u << kSlotBits;
    static constexpr std::uint64_t kGenerationMask = ~std::uint64_t{0xFFFFFFFF};

    std::unique_ptr<std::uint64_t[]> slots_;
    std::uint64_t generation_ = std::uint64_t{1} << 32;  // zeroed slots are generation 0
    std::array<std::uint32_t, 4096> hints_{};
};

// Codes into one bit stream, least significant bit first, cut into data sub-blocks.
// The bit buffer is stored with one memcpy, which puts its low byte first only on a
// little-endian machine.
static_assert(std::endian::native == std::endian::little);
class SubBlockWriter {
  public:
    explicit SubBlockWriter(char* out) : out_(out) {}
    char* End() const noexcept { return out_; }

    // Stores all eight bytes of the bit buffer and keeps the complete ones: no loop and no
    // branch per byte. The block buffer has room for the bytes beyond a full block.
    void Put(std::uint32_t code, int width) {
        bits_ |= std::uint64_t{code} << count_;
        count_ += width;
        std::memcpy(block_ + used_, &bits_, sizeof bits_);
        const int whole = count_ >> 3;
        used_ += static_cast<std::size_t>(whole);
        bits_ >>= 8 * whole;
        count_ &= 7;
        if (used_ >= 255) WriteFullBlock();
    }
    // Completes the last byte with zero bits and writes what is left; then the terminator.
    void Finish() {
        if (count_ > 0) {
            block_[used_++] = static_cast<char>(bits_);
            count_ = 0;
            if (used_ >= 255) WriteFullBlock();
        }
        if (used_ > 0) {
            *out_++ = static_cast<char>(used_);
            out_ = std::copy_n(block_, used_, out_);
        }
        *out_++ = '\0';
    }

  private:
    void WriteFullBlock() {
        *out_++ = static_cast<char>(255);
        out_ = std::copy_n(block_, 255, out_);
        used_ -= 255;
        std::memmove(block_, block_ + 255, used_);
    }

    char* out_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
    std::size_t used_ = 0;
    char block_[255 + 8];
};

}  // namespace

std::size_t LzwPackBound(std::size_t count) noexcept {
    // Every index writes at most one code, each restart two more, plus Clear, the last string
    // and End, all at most 12 bits; a length byte per 255 data bytes; the minimum code size
    // and the terminator.
    const std::size_t maxCodes = count + 2 * (count / (kLastCode - 257) + 1) + 3;
    const std::size_t maxData = (12 * maxCodes + 7) / 8;
    return 1 + maxData + maxData / 255 + 1 + 1;
}

std::size_t LzwPackTo(std::span<const std::uint8_t> indices, int indexBits, char* out) {
    const int colors = GifColorCount(indexBits);
    if (indexBits < 8 &&
        std::any_of(indices.begin(), indices.end(), [&](std::uint8_t p) { return p >= colors; }))
        throw EGifEncodeError();

    const int minCodeSize = indexBits == 1 ? 2 : indexBits;
    const int initialWidth = minCodeSize + 1;
    const std::uint32_t clear = 1u << minCodeSize;
    const std::uint32_t end = clear + 1;

    out[0] = static_cast<char>(minCodeSize);
    SubBlockWriter writer(out + 1);
    auto dictionary = std::make_unique<LzwDictionary>();

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
            std::uint32_t slot;
            const std::uint32_t code = dictionary->Find(prefix, index, slot);
            if (code != LzwDictionary::kNotFound) {
                prefix = code;
                continue;
            }
            writer.Put(prefix, width);
            dictionary->Insert(slot, prefix, index, ++last);
            prefix = index;
            if (last >= limit) {
                ++width;
                limit <<= 1;
            } else if (last >= kLastCode) {
                writer.Put(index, width);
                writer.Put(clear, width);
                dictionary->Clear();
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
    return static_cast<std::size_t>(writer.End() - out);
}

std::string LzwPack(std::span<const std::uint8_t> indices, int indexBits) {
    // Uninitialised room for the worst case; pages that are not written are never touched.
    const auto room = std::make_unique_for_overwrite<char[]>(LzwPackBound(indices.size()));
    return std::string(room.get(), LzwPackTo(indices, indexBits, room.get()));
}

}  // namespace orvix
