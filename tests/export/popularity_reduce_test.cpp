// PopularityReduce: which colours the palette keeps, and where the others go.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "export/gif_encoder.h"
#include "export/popularity_reduce.h"
#include "gif_check.h"

namespace orvix::test {
namespace {

std::vector<GifRgb> PaletteOf(const std::string& bytes) {
    return ParseGif(bytes).Palette;
}

TEST(PopularityReduce, MostFrequentFirstAndTiesInTheOrderMetFromTheBottom) {
    const GifRgb a{1, 1, 1}, b{2, 2, 2}, c{3, 3, 3}, d{4, 4, 4}, e{5, 5, 5};
    const GifRgb rows[3][4] = {{a, a, a, a}, {b, c, c, d}, {d, b, e, e}};
    TRgbImage picture(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            picture.SetPixel(x, y, rows[y][x].Red, rows[y][x].Green, rows[y][x].Blue);
    const std::string bytes = EncodeGif(picture);
    const auto palette = PaletteOf(bytes);
    EXPECT_EQ(std::vector<GifRgb>(palette.begin(), palette.begin() + 6),
              (std::vector<GifRgb>{a, d, b, e, c, {128, 128, 128}}));
    EXPECT_EQ(DecodeWithGif2rgb(bytes), picture.Pixels);
}

// 256 colours three times each and the rest once: the 256 stay exact (with exactly 256 there
// is no grey filler), the rest go to their nearest palette colour. 2049 colours still fit the
// tally, so nothing is masked.
TEST(PopularityReduce, ColoursBeyond256GoToTheNearestKeptColour) {
    for (const int colors : {256, 257, 1000, 2049}) {
        SCOPED_TRACE(colors);
        std::mt19937 random(colors);
        std::set<std::tuple<int, int, int>> seen;
        std::vector<GifRgb> distinct;
        while (static_cast<int>(distinct.size()) < colors) {
            const GifRgb c{std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random())};
            if (seen.insert({c.Red, c.Green, c.Blue}).second) distinct.push_back(c);
        }
        TRgbImage picture(256 * 3 + colors - 256, 1);
        int x = 0;
        for (int i = 0; i < colors; ++i)
            for (int n = i < 256 ? 3 : 1; n > 0; --n, ++x)
                picture.SetPixel(x, 0, distinct[i].Red, distinct[i].Green, distinct[i].Blue);
        const std::string bytes = EncodeGif(picture);
        const auto palette = PaletteOf(bytes);
        EXPECT_EQ(std::vector<GifRgb>(distinct.begin(), distinct.begin() + 256), palette);
        EXPECT_EQ(DecodeWithGif2rgb(bytes), NearestPaletteColors(picture, palette));
    }
}

// Every pixel a colour of its own; colour k is met k-th (bottom row first), so with equal
// counts the palette is the first 256 distinct masked colours met.
TEST(PopularityReduce, TooManyColoursNarrowBlueRedGreenInTurn) {
    struct Row {
        int blueLevels;
        GifRgb mask;
    };
    for (const Row row : {Row{16, {0xFF, 0xFF, 0xFE}}, Row{32, {0xFE, 0xFF, 0xFE}},
                          Row{64, {0xFE, 0xFE, 0xFE}}, Row{128, {0xFE, 0xFE, 0xFC}}}) {
        SCOPED_TRACE(row.blueLevels);
        const int width = 256, height = 16 * 16 * row.blueLevels / width;
        TRgbImage picture(width, height);
        std::vector<GifRgb> expected;
        std::set<std::tuple<int, int, int>> met;
        for (int k = 0; k < width * height; ++k) {
            const GifRgb c{std::uint8_t(k % 16), std::uint8_t(k / 16 % 16), std::uint8_t(k / 256)};
            picture.SetPixel(k % width, height - 1 - k / width, c.Red, c.Green, c.Blue);
            const GifRgb m{std::uint8_t(c.Red & row.mask.Red),
                           std::uint8_t(c.Green & row.mask.Green),
                           std::uint8_t(c.Blue & row.mask.Blue)};
            if (expected.size() < 256 && met.insert({m.Red, m.Green, m.Blue}).second)
                expected.push_back(m);
        }
        const std::string bytes = EncodeGif(picture);
        const auto palette = PaletteOf(bytes);
        EXPECT_EQ(palette, expected);
        EXPECT_TRUE(std::all_of(palette.begin(), palette.end(),
                                [](const GifRgb& p) { return p.Blue % 2 == 0; }));
        EXPECT_EQ(DecodeWithGif2rgb(bytes), NearestPaletteColors(picture, palette, row.mask));
    }
}

TEST(PopularityReduce, WritesTheIndicesIntoThePixelBuffer) {
    TRgbImage picture = PictureOfIndices(DistinctPairs(3000), 60);
    const std::uint8_t* const storage = picture.Pixels.data();
    const TIndexedImage indexed = PopularityReduce(std::move(picture));
    EXPECT_EQ(indexed.Indices.data(), storage);
    EXPECT_EQ(indexed.Indices.size(), 3000u);
    EXPECT_EQ(indexed.Palette.size(), 256u);
}

}  // namespace
}  // namespace orvix::test
