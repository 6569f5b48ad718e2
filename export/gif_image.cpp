#include "gif_image.h"

#include <bit>

#include "base/file_io.h"
#include "export/lzw_pack.h"
#include "export/popularity_reduce.h"

namespace orvix {
namespace {

void PutWord(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutTable(std::string& out, const GifColorTable& table) {
    for (int i = 0; i < table.Count; ++i) {
        out.push_back(static_cast<char>(table.Entries[i].Red));
        out.push_back(static_cast<char>(table.Entries[i].Green));
        out.push_back(static_cast<char>(table.Entries[i].Blue));
    }
}

// Compresses into the spare room of the index buffer when it has enough: the reduction left
// the indices in the first third of the former pixel buffer, and the image data takes at most
// about half of the rest. So the whole encode needs no more than the picture's own buffer
// plus the final image data.
std::string PackIndices(std::vector<std::uint8_t>& indices, int indexBits) {
    const std::size_t count = indices.size();
    const std::size_t bound = LzwPackBound(count);
    if (indices.capacity() - count < bound) return LzwPack(indices, indexBits);
    // The indices are given back their own size also on failure, so a retry finds them as
    // they were.
    struct SizeRestorer {
        std::vector<std::uint8_t>& indices;
        std::size_t count;
        ~SizeRestorer() { indices.resize(count); }
    } restorer{indices, count};
    indices.resize(count + bound);  // within the capacity: no reallocation
    char* const room = reinterpret_cast<char*>(indices.data() + count);
    const std::size_t length =
        LzwPackTo(std::span<const std::uint8_t>(indices.data(), count), indexBits, room);
    return std::string(room, length);
}

}  // namespace

TGIFFrame::TGIFFrame(TRgbImage picture) {
    if (!picture.Empty()) source_ = std::move(picture);
}

void TGIFFrame::EncodeFrame() {
    if (!indexed_) {
        if (!source_ || source_->Empty()) throw EGifNoData();
        if (source_->Width > kGifMaxSide || source_->Height > kGifMaxSide) throw EGifEncodeError();
        indexed_ = PopularityReduce(std::move(*source_));
        source_.reset();
    }
    TIndexedImage& image = *indexed_;
    const int colors = GifColorCount(image.IndexBits);

    GifColorTable table;
    table.Count = colors;
    for (int i = 0; i < colors && i < static_cast<int>(image.Palette.size()); ++i)
        table.Entries[i] = image.Palette[i];
    std::string coded = PackIndices(image.Indices, image.IndexBits);

    colorTable_ = table;
    indexBits_ = static_cast<std::uint8_t>(std::bit_width(static_cast<unsigned>(colors - 1)));
    if (indexBits_ < 1) indexBits_ = 1;
    width_ = image.Width;
    height_ = image.Height;
    codedData_ = std::move(coded);
    indexed_.reset();
}

void TGIFImage::ImportBitmap(TRgbImage bitmap) {
    frame_.reset();
    globalTable_ = GifColorTable();
    globalBits_ = 0;
    version_.clear();
    if (!bitmap.Empty()) {
        logicalWidth_ = static_cast<std::uint16_t>(bitmap.Width);
        logicalHeight_ = static_cast<std::uint16_t>(bitmap.Height);
    }
    frame_.emplace(std::move(bitmap));
    version_ = "87a";
}

std::string TGIFImage::SaveToString() {
    if (!frame_) throw EGifNoData();
    TGIFFrame& frame = *frame_;
    if (!frame.Encoded()) frame.EncodeFrame();
    // The frame's table becomes the global one; the frame then needs no local table.
    if (globalTable_.Count == 0) {
        globalTable_ = frame.ColorTable();
        globalBits_ = frame.IndexBits();
    }
    logicalWidth_ = static_cast<std::uint16_t>(frame.FrameWidth() + frame.Left());
    logicalHeight_ = static_cast<std::uint16_t>(frame.FrameHeight() + frame.Top());

    std::string out;
    out.reserve(13 + 3 * 256 + 10 + frame.CodedData().size() + 1);
    out += "GIF";
    out += version_;
    PutWord(out, logicalWidth_);
    PutWord(out, logicalHeight_);
    // Global table present, colour resolution k - 1 where 2^k entries, table bits - 1.
    const int k = std::bit_width(static_cast<unsigned>(globalTable_.Count)) - 1;
    out.push_back(static_cast<char>(0x80 | ((k - 1) << 4) | (globalBits_ - 1)));
    out.push_back('\0');  // background colour index
    out.push_back(static_cast<char>(PixelAspect()));
    PutTable(out, globalTable_);

    out.push_back(0x2C);
    PutWord(out, static_cast<std::uint32_t>(frame.Left()));
    PutWord(out, static_cast<std::uint32_t>(frame.Top()));
    PutWord(out, static_cast<std::uint32_t>(frame.FrameWidth()));
    PutWord(out, static_cast<std::uint32_t>(frame.FrameHeight()));
    out.push_back('\0');  // no local table, not interlaced
    out += frame.CodedData();
    out.push_back(0x3B);
    return out;
}

void TGIFImage::WriteToStream(std::ostream& stream) {
    const std::string bytes = SaveToString();
    if (!stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw EWriteError(msg::kStreamWriteError);
}

void TGIFImage::WriteToFile(const std::filesystem::path& path) {
    WriteFileAtomically(path, SaveToString());
}

}  // namespace orvix
