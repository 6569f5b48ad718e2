#include "popularity_reduce.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <numeric>

namespace orvix {
namespace {

constexpr GifRgb kFillerGrey{128, 128, 128};

// Distinct masked colours in the order they were first met, with their pixel counts, and a
// hash index from colour to entry. One block, allocated once per reduction.
class ColorTally {
  public:
    static constexpr std::uint32_t kNoEntry = 0xFFFF;

    void Clear() noexcept {
        count_ = 0;
        std::memset(slots_.data(), 0xFF, sizeof slots_);
    }
    int Size() const noexcept { return count_; }
    std::uint32_t Color(int entry) const noexcept { return colors_[entry]; }
    std::uint32_t Count(int entry) const noexcept { return counts_[entry]; }

    // The entry of a masked colour, appended with count 0 if new; kNoEntry when the tally
    // is full and the colour is not in it.
    std::uint32_t FindOrAdd(std::uint32_t color) noexcept {
        std::uint32_t slot = Hash(color);
        for (;;) {
            const std::uint16_t entry = slots_[slot];
            if (entry == kNoEntry) break;
            if (colors_[entry] == color) return entry;
            slot = (slot + 1) & (kSlots - 1);
        }
        if (count_ == kTallyLimit) return kNoEntry;
        slots_[slot] = static_cast<std::uint16_t>(count_);
        colors_[count_] = color;
        counts_[count_] = 0;
        return static_cast<std::uint32_t>(count_++);
    }
    // The entry of a colour known to be in the tally.
    std::uint32_t Find(std::uint32_t color) const noexcept {
        std::uint32_t slot = Hash(color);
        while (colors_[slots_[slot]] != color) slot = (slot + 1) & (kSlots - 1);
        return slots_[slot];
    }
    void Add(std::uint32_t entry, std::uint32_t pixels) noexcept { counts_[entry] += pixels; }

  private:
    // A power of two at least four times the entry limit keeps probe runs short.
    static constexpr std::uint32_t kSlots = 8192;
    static std::uint32_t Hash(std::uint32_t color) noexcept {
        return (color * 0x9E3779B1u) >> (32 - 13);
    }

    int count_ = 0;
    std::array<std::uint32_t, kTallyLimit> colors_{};  // 0x00RRGGBB, masked
    std::array<std::uint32_t, kTallyLimit> counts_{};
    std::array<std::uint16_t, kSlots> slots_{};
};

inline std::uint32_t ColorKey(const std::uint8_t* p) noexcept {
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

// Counts the masked colours, bottom row first. False when they do not fit the tally.
bool CountColors(const TRgbImage& picture, std::uint32_t mask, ColorTally& tally) {
    tally.Clear();
    const std::size_t rowBytes = std::size_t{3} * static_cast<std::size_t>(picture.Width);
    for (int y = picture.Height - 1; y >= 0; --y) {
        const std::uint8_t* p = picture.Pixel(0, y);
        const std::uint8_t* const end = p + rowBytes;
        while (p < end) {
            // Runs of one colour are counted with one lookup: charts are mostly flat areas.
            const std::uint32_t color = ColorKey(p) & mask;
            std::uint32_t run = 1;
            for (p += 3; p < end && (ColorKey(p) & mask) == color; p += 3) ++run;
            const std::uint32_t entry = tally.FindOrAdd(color);
            if (entry == ColorTally::kNoEntry) return false;
            tally.Add(entry, run);
        }
    }
    return true;
}

GifRgb ToRgb(std::uint32_t color) noexcept {
    return {static_cast<std::uint8_t>(color >> 16), static_cast<std::uint8_t>(color >> 8),
            static_cast<std::uint8_t>(color)};
}

int Distance(GifRgb a, GifRgb b) noexcept {
    const int r = a.Red - b.Red, g = a.Green - b.Green, bl = a.Blue - b.Blue;
    return r * r + g * g + bl * bl;
}

}  // namespace

TIndexedImage PopularityReduce(TRgbImage&& picture) {
    if (picture.Empty()) throw EGifNoData();
    const std::size_t pixelCount =
        static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height);
    // Pixel counts are 32-bit; a picture whose sides fit the file's size fields never
    // reaches that.
    if (picture.Pixels.size() != 3 * pixelCount || pixelCount > 0xFFFFFFFFu)
        throw EGifEncodeError();

    // Everything that can fail is allocated before the pixels are overwritten.
    auto tally = std::make_unique<ColorTally>();
    std::vector<GifRgb> palette(256, kFillerGrey);
    std::array<std::uint8_t, kTallyLimit> entryIndex{};
    std::array<int, kTallyLimit> order{};

    // Counting; narrow a mask until the colours fit. Masks narrow blue, red, green, blue, ...
    std::uint8_t red = 0xFF, green = 0xFF, blue = 0xFF;
    for (;;) {
        const std::uint32_t mask = (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
        if (CountColors(picture, mask, *tally)) break;
        if (red < green)
            green = static_cast<std::uint8_t>(green << 1);
        else if (red > blue)
            red = static_cast<std::uint8_t>(red << 1);
        else
            blue = static_cast<std::uint8_t>(blue << 1);
    }
    const std::uint32_t mask = (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;

    // Most frequent first; a stable sort keeps the first-met order among equal counts.
    const int entries = tally->Size();
    std::iota(order.begin(), order.begin() + entries, 0);
    std::stable_sort(order.begin(), order.begin() + entries,
                     [&](int a, int b) { return tally->Count(a) > tally->Count(b); });
    const int chosen = std::min(entries, 256);
    for (int i = 0; i < chosen; ++i) {
        palette[i] = ToRgb(tally->Color(order[i]));
        entryIndex[order[i]] = static_cast<std::uint8_t>(i);
    }
    for (int k = chosen; k < entries; ++k) {
        const GifRgb color = ToRgb(tally->Color(order[k]));
        int best = 0, bestDistance = Distance(color, palette[0]);
        for (int i = 1; i < 256 && bestDistance > 0; ++i) {
            const int d = Distance(color, palette[i]);
            if (d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        entryIndex[order[k]] = static_cast<std::uint8_t>(best);
    }

    // Mapping, in place and front to back: pixel k reads bytes 3k..3k+2 and writes byte k,
    // so no write reaches a byte still to be read.
    std::uint8_t* const data = picture.Pixels.data();
    std::uint32_t lastColor = ColorKey(data) & mask;
    std::uint8_t lastIndex = entryIndex[tally->Find(lastColor)];
    for (std::size_t k = 0; k < pixelCount; ++k) {
        const std::uint32_t color = ColorKey(data + 3 * k) & mask;
        if (color != lastColor) {
            lastColor = color;
            lastIndex = entryIndex[tally->Find(color)];
        }
        data[k] = lastIndex;
    }

    TIndexedImage result;
    result.Width = picture.Width;
    result.Height = picture.Height;
    result.IndexBits = 8;
    result.Palette = std::move(palette);
    picture.Pixels.resize(pixelCount);  // shrinking keeps the storage: no reallocation
    result.Indices = std::move(picture.Pixels);
    picture = TRgbImage();
    return result;
}

}  // namespace orvix
