// A single-image GIF picture: the snapshot's encoder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "export/gif_types.h"
#include "export/rgb_image.h"

namespace orvix {

// The one image of a TGIFImage. Without picture, with picture but not encoded, or encoded;
// encoding replaces the picture by its image data, which later writes reuse.
class TGIFFrame {
  public:
    TGIFFrame() = default;  // without picture
    explicit TGIFFrame(TRgbImage picture);

    bool HasPicture() const noexcept { return source_.has_value() || indexed_.has_value(); }
    bool Encoded() const noexcept { return !codedData_.empty(); }

    // Reduces the picture to 256 colours and compresses it: fills ColorTable, IndexBits,
    // the size and CodedData. Fails with EGifNoData without picture, with EGifEncodeError
    // for a picture whose sides do not fit the file (above 65535).
    void EncodeFrame();

    const GifColorTable& ColorTable() const noexcept { return colorTable_; }
    std::uint8_t IndexBits() const noexcept { return indexBits_; }
    std::int32_t FrameWidth() const noexcept { return width_; }
    std::int32_t FrameHeight() const noexcept { return height_; }
    std::int32_t Left() const noexcept { return 0; }
    std::int32_t Top() const noexcept { return 0; }
    bool Interlace() const noexcept { return false; }
    // The image data as it follows the image descriptor; empty until encoded.
    const std::string& CodedData() const noexcept { return codedData_; }

  private:
    std::optional<TRgbImage> source_;
    // The reduced picture, kept only if compressing it failed, so a retry need not reduce
    // again (the reduction consumed the source).
    std::optional<TIndexedImage> indexed_;
    GifColorTable colorTable_;
    std::uint8_t indexBits_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::string codedData_;
};

class TGIFImage {
  public:
    // Replaces the whole content by one frame made from `bitmap` (moved in; pass a copy to
    // keep it). An empty bitmap gives a frame without picture, which fails when written.
    void ImportBitmap(TRgbImage bitmap);

    // The whole GIF file. Encodes the frame on the first call; later calls give the same
    // bytes. Fails with EGifNoData without frame or picture.
    std::string SaveToString();
    // SaveToString handed to `stream` in one write; a failed write is EWriteError.
    void WriteToStream(std::ostream& stream);
    // SaveToString written atomically: on any failure an existing file keeps its content and
    // no new file appears. A file that cannot be created fails with EFCreateError
    // "Cannot create file %s".
    void WriteToFile(const std::filesystem::path& path);

    const TGIFFrame* Frame() const noexcept { return frame_ ? &*frame_ : nullptr; }
    const std::string& FormatVersion() const noexcept { return version_; }  // "" or "87a"
    std::uint16_t LogicalWidth() const noexcept { return logicalWidth_; }
    std::uint16_t LogicalHeight() const noexcept { return logicalHeight_; }
    const GifColorTable& GlobalTable() const noexcept { return globalTable_; }
    std::uint8_t GlobalBits() const noexcept { return globalBits_; }
    std::uint8_t PixelAspect() const noexcept { return 0; }

  private:
    std::optional<TGIFFrame> frame_;
    std::string version_;
    std::uint16_t logicalWidth_ = 0;
    std::uint16_t logicalHeight_ = 0;
    GifColorTable globalTable_;
    std::uint8_t globalBits_ = 0;
};

}  // namespace orvix
