// Saving chart pictures from a loaded window, and pictures as the user gets them back: a GIF
// decoded by gif2rgb, or a chart's own rendering passed through the same encoder.
#pragma once

#include <cstdint>
#include <vector>

#include "base/cp1251.h"
#include "export/gif_encoder.h"
#include "export/qimage_rgb.h"
#include "form_fixture.h"
#include "tests/export/gif_check.h"

namespace orvix::test {

struct TDecodedPicture {
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Rgb;  // rows top to bottom, no padding
    friend bool operator==(const TDecodedPicture&, const TDecodedPicture&) = default;
};

inline TDecodedPicture DecodeGifFile(const std::string& bytes) {
    const GifFile file = ParseGif(bytes);
    return {file.Width, file.Height, DecodeWithGif2rgb(bytes)};
}

// `image` encoded as a snapshot is, and decoded again.
inline TDecodedPicture AsSavedPicture(const QImage& image) {
    return DecodeGifFile(EncodeGif(ToRgbImage(image)));
}

class ChartSave : public FormTest {
  protected:
    // After About OK, a realistic protocol loaded whose first line needs making safe.
    void LoadProtocol() {
        protogen::TGenerateOptions options;
        options.Seed = 11;
        auto protocol = protogen::GenerateProtocol(options);
        protocol.Head[1] = W1251("Иванов 3:10/b?");
        AboutOk();
        Load(Write(protocol));
        ASSERT_TRUE(dialogs.failures.empty()) << dialogs.failures[0].text.toStdString();
    }
    // Chooses `answer` in the save dialog of `command`.
    void Save(QAction* command, const QString& answer) {
        dialogs.saveAnswers.push_back(answer);
        command->trigger();
    }
    TDecodedPicture Saved(const QString& path) { return DecodeGifFile(Read(path)); }
};

}  // namespace orvix::test
