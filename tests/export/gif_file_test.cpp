// The GIF file as a whole: exact bytes of small pictures, layout, failures, repeat writes.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "base/cp1251.h"
#include "export/gif_encoder.h"
#include "gif_check.h"

namespace orvix::test {
namespace {

TRgbImage Filled(int width, int height, GifRgb color) {
    TRgbImage picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.SetPixel(x, y, color.Red, color.Green, color.Blue);
    return picture;
}

TEST(GifFile, OneWhitePixelIsThe799ByteFile) {
    std::string expected = std::string("GIF87a\x01\x00\x01\x00\xF7\x00\x00", 13) + "\xFF\xFF\xFF";
    for (int i = 0; i < 255; ++i) expected += "\x80\x80\x80";
    expected += std::string("\x2C\0\0\0\0\x01\0\x01\0\0", 10);
    expected += std::string("\x08\x04\x00\x01\x04\x04\x00", 7) + "\x3B";
    ASSERT_EQ(expected.size(), 799u);
    const std::string bytes = EncodeGif(Filled(1, 1, {255, 255, 255}));
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(DecodeWithGif2rgb(bytes), (std::vector<std::uint8_t>{255, 255, 255}));
}

TEST(GifFile, WhiteAboveBlackCountsTheBottomRowFirst) {
    TRgbImage picture = Filled(1, 2, {0, 0, 0});
    picture.SetPixel(0, 0, 255, 255, 255);
    const std::string bytes = EncodeGif(picture);
    const GifFile file = ParseGif(bytes);
    EXPECT_EQ(file.Palette[0], (GifRgb{0, 0, 0}));
    EXPECT_EQ(file.Palette[1], (GifRgb{255, 255, 255}));
    for (int i = 2; i < 256; ++i) EXPECT_EQ(file.Palette[i], (GifRgb{128, 128, 128})) << i;
    EXPECT_EQ(file.CodedData, std::string("\x08\x05\x00\x03\x00\x08\x08\x00", 8));
    EXPECT_EQ(DecodeWithGif2rgb(bytes), picture.Pixels);
}

TEST(GifFile, SingleColourIsEntryZeroWithGreyFillers) {
    const TRgbImage picture = Filled(37, 11, {10, 200, 30});
    const std::string bytes = EncodeGif(picture);
    const GifFile file = ParseGif(bytes);  // also checks the 256-entry table, 0xF7
    EXPECT_EQ(file.Palette[0], (GifRgb{10, 200, 30}));
    EXPECT_EQ(file.Palette[255], (GifRgb{128, 128, 128}));
    EXPECT_EQ(DecodeLzw(file.CodedData).Indices, std::vector<std::uint8_t>(37 * 11, 0));
    EXPECT_EQ(DecodeWithGif2rgb(bytes), picture.Pixels);
}

// Pictures of any width, odd ones included, come back exactly: no row padding reaches the
// file, and the coded data holds exactly width x height indices.
TEST(GifFile, RoundTripsExactlyAtEveryWidth) {
    const std::pair<int, int> sizes[] = {{1, 3}, {2, 3}, {3, 5}, {5, 1}, {7, 4}, {1023, 369}};
    std::mt19937 random(7);
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        TRgbImage picture(width, height);
        // Flat bands with some scattered pixels of other colours, like a chart.
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t band = static_cast<std::uint8_t>(40 * (y / 3 % 5));
                const std::uint8_t spot = random() % 9 == 0 ? std::uint8_t(random() % 6 * 50) : 0;
                picture.SetPixel(x, y, band, spot, 255);
            }
        const std::string bytes = EncodeGif(picture);
        const GifFile file = ParseGif(bytes);
        EXPECT_EQ(file.Width, width);
        EXPECT_EQ(file.Height, height);
        EXPECT_EQ(DecodeLzw(file.CodedData).Indices.size(), std::size_t(width) * height);
        EXPECT_EQ(DecodeWithGif2rgb(bytes), picture.Pixels);
    }
}

TEST(GifFile, EmptyPictureWritesNothing) {
    TGIFImage fresh;
    EXPECT_EQ(fresh.FormatVersion(), "");
    EXPECT_THROW(fresh.SaveToString(), EGifNoData);
    TempDir dir;
    const auto existing = dir.Path() / "old.gif", freshTarget = dir.Path() / "new.gif";
    std::ofstream(existing) << "previous";
    for (const auto& [width, height] : {std::pair{0, 5}, {5, 0}, {0, 0}}) {
        TGIFImage image;
        image.ImportBitmap(TRgbImage(width, height));
        EXPECT_EQ(image.FormatVersion(), "87a");
        for (const auto& target : {existing, freshTarget}) {
            try {
                image.WriteToFile(target);
                ADD_FAILURE() << "no failure for " << width << "x" << height;
            } catch (const EGifNoData& e) {
                EXPECT_EQ(e.Message(), W1251("Нет данных для записи в формате GIF"));
            }
        }
    }
    EXPECT_FALSE(std::filesystem::exists(freshTarget));
    EXPECT_EQ(ReadBytes(existing), "previous");
}

TEST(GifFile, RepeatedWritesGiveIdenticalBytes) {
    TRgbImage picture = PictureOfIndices(DistinctPairs(5000), 100);
    TGIFImage image;
    image.ImportBitmap(picture);
    const std::string first = image.SaveToString();
    std::ostringstream stream;
    image.WriteToStream(stream);
    TempDir dir;
    image.WriteToFile(dir.Path() / "a.gif");
    EXPECT_EQ(stream.str(), first);
    EXPECT_EQ(ReadBytes(dir.Path() / "a.gif"), first);
    EXPECT_EQ(EncodeGif(picture), first);
    EXPECT_EQ(image.LogicalWidth(), 100);
    EXPECT_EQ(image.LogicalHeight(), 50);
}

TEST(GifFile, FailuresCarryTheirMessages) {
    TempDir dir;
    const auto target = dir.Path() / "missing" / "a.gif";
    try {
        WriteGifFile(Filled(2, 2, {1, 2, 3}), target);
        ADD_FAILURE() << "no failure";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + target.string());
    }
    TGIFImage image;
    image.ImportBitmap(Filled(2, 2, {1, 2, 3}));
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_THROW(image.WriteToStream(broken), EWriteError);
    // Sides beyond the file's 16-bit size fields.
    image.ImportBitmap(TRgbImage(65536, 1));
    try {
        image.SaveToString();
        ADD_FAILURE() << "no failure";
    } catch (const EGifEncodeError& e) {
        EXPECT_EQ(e.Message(), W1251("Ошибка кодировки данных в формат GIF"));
    }
}

}  // namespace
}  // namespace orvix::test
