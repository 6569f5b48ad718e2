// LzwPack: code widths, the restart after code 4094, sub-block boundaries, index depths.
#include <gtest/gtest.h>

#include <random>

#include "export/gif_encoder.h"
#include "export/lzw_pack.h"
#include "gif_check.h"

namespace orvix::test {
namespace {

// With every neighbouring pair new, index k (from 1) assigns code 257 + k: code 4094 is
// assigned at index 3837, which is then written on its own, followed by Clear.
TEST(LzwPack, RestartsAfterCode4094) {
    for (const std::size_t length : {3838u, 3843u}) {
        SCOPED_TRACE(length);
        const auto indices = DistinctPairs(length);
        const LzwDecoded decoded = DecodeLzw(LzwPack(indices, 8));
        EXPECT_EQ(decoded.Indices, indices);
        ASSERT_GE(decoded.Codes.size(), 3841u);
        EXPECT_EQ(decoded.Codes[3837], (LzwCode{indices[3836], 12}));
        EXPECT_EQ(decoded.Codes[3838], (LzwCode{indices[3837], 12}));
        EXPECT_EQ(decoded.Codes[3839], (LzwCode{256, 12}));
        if (length == 3838) {  // at the very last index: only End follows, 9 bits wide
            EXPECT_EQ(decoded.Codes.size(), 3841u);
            EXPECT_EQ(decoded.Codes[3840], (LzwCode{257, 9}));
        } else {
            EXPECT_EQ(decoded.Codes[3840], (LzwCode{indices[3838], 9}));
        }
    }
}

// 431 indices with new pairs: Clear and 255 codes of 9 bits, then 177 codes of 10 bits
// (176 indices, the last one, End) = 4074 bits = 510 bytes: two full sub-blocks, then the
// terminator directly.
TEST(LzwPack, DataOfAMultipleOf255BytesEndsWithAFullSubBlock) {
    const std::string coded = LzwPack(DistinctPairs(431), 8);
    ASSERT_EQ(coded.size(), 1u + 2 * 256 + 1);
    EXPECT_EQ(static_cast<std::uint8_t>(coded[1]), 255);
    EXPECT_EQ(static_cast<std::uint8_t>(coded[257]), 255);
    EXPECT_EQ(DecodeLzw(coded).Indices, DistinctPairs(431));
}

// Through the whole encoder: the palette renumbers the colours, which keeps every
// neighbouring pair new, so the code stream has the same shape.
TEST(LzwPack, RestartAndFullSubBlocksSurviveTheWholeEncoder) {
    for (const auto& [length, width, codes] : {std::tuple{3838, 1919, 3841}, {431, 431, 433}}) {
        const TRgbImage picture = PictureOfIndices(DistinctPairs(length), width);
        const std::string bytes = EncodeGif(picture);
        const LzwDecoded decoded = DecodeLzw(ParseGif(bytes).CodedData);
        EXPECT_EQ(decoded.Codes.size(), std::size_t(codes)) << length;
        EXPECT_EQ(DecodeWithGif2rgb(bytes), picture.Pixels) << length;
    }
}

TEST(LzwPack, EveryIndexDepthDecodes) {
    struct Row {
        int bits, minCodeSize, colors;
        std::size_t length;
    };
    std::mt19937 random(3);
    for (const Row row : {Row{1, 2, 2, 40000}, Row{4, 4, 16, 20000}, Row{8, 8, 256, 200000}}) {
        SCOPED_TRACE(row.bits);
        std::vector<std::uint8_t> indices(row.length);
        for (auto& p : indices) p = static_cast<std::uint8_t>(random() % row.colors);
        const std::string coded = LzwPack(indices, row.bits);
        EXPECT_EQ(coded[0], row.minCodeSize);
        const LzwDecoded decoded = DecodeLzw(coded);
        EXPECT_EQ(decoded.Indices, indices);
        EXPECT_EQ(decoded.Codes.front(), (LzwCode{1u << row.minCodeSize, row.minCodeSize + 1}));
    }
}

TEST(LzwPack, RejectsDepthsAndIndicesItCannotWrite) {
    const std::vector<std::uint8_t> indices{0, 1, 2};
    EXPECT_THROW(LzwPack(indices, 3), EGifEncodeError);
    EXPECT_THROW(LzwPack(indices, 1), EGifEncodeError);
    EXPECT_NO_THROW(LzwPack(indices, 4));
}

}  // namespace
}  // namespace orvix::test
