// orvix-kl-batch --charts: the pictures are the charts as a first load renders them, decoded
// by an independent decoder; failing protocols get none.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/batch.h"
#include "cli/chart_pictures.h"
#include "export/qimage_rgb.h"
#include "plots/result_charts.h"
#include "protocol/load.h"
#include "protocol/output_names.h"
#include "tests/export/gif_check.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix::batch {
namespace {
namespace fs = std::filesystem;

// The two charts of a fresh window after loading `p`, as RGB pictures.
std::pair<TRgbImage, TRgbImage> FirstLoadPictures(const protogen::TProtocolText& p) {
    TTempoChart chart5sec;
    TSearchTimeChart chartSel;
    TTextLines report;
    ShowLoad(AnalyseText(p.Text()), report, chart5sec.Plot(), chartSel.Plot());
    return {ToRgbImage(chart5sec.RenderImage()), ToRgbImage(chartSel.RenderImage())};
}

TEST(BatchCharts, PicturesAreTheChartsOfAFirstLoad) {
    test::TempDir dir;
    protogen::TGenerateOptions o;
    o.Seed = 21;
    const auto first = protogen::GenerateProtocol(o);
    o.Seed = 22;
    o.TargetSelections = 40;  // fewer than a page: the last page is not stretched
    const auto second = protogen::GenerateProtocol(o);
    // A negative SD and search times below zero: the left axis range cannot be set.
    auto bad = protogen::BasicProtocol();
    bad.Head[1] = "bad";
    bad.Head[21] = "-1.0";
    bad.Head[24] = "2";
    bad.Records = {protogen::RecordLine(1, "1.0", "-0.500", " +"),
                   protogen::RecordLine(2, "6.0", "-0.700", " +")};

    TBatchOptions options;
    options.OutDir = dir.Path() / "out";
    options.Charts = true;
    for (const protogen::TProtocolText* p :
         {&first, static_cast<const protogen::TProtocolText*>(&bad), &second}) {
        options.Protocols.push_back(dir.Path() / (p->Head[1] + ".klp"));
        protogen::WriteProtocolFile(*p, options.Protocols.back());
    }
    TChartPictures pictures;
    std::ostringstream err;
    EXPECT_EQ(RunBatch(options, err, &pictures, false), 1);
    EXPECT_NE(err.str().find("bad.klp: Axis Maximum Value must be >= Minimum.\n"),
              std::string::npos)
        << err.str();
    EXPECT_FALSE(fs::exists(OutputPath(options.OutDir, bad.Head[1], output::kTempoPicture)));
    EXPECT_FALSE(fs::exists(OutputPath(options.OutDir, bad.Head[1], output::kSearchPicture)));

    for (const auto* p : {&first, &second}) {
        SCOPED_TRACE(p->Head[1]);
        const auto [tempo, search] = FirstLoadPictures(*p);
        const std::pair<fs::path, const TRgbImage*> files[] = {
            {OutputPath(options.OutDir, p->Head[1], output::kTempoPicture), &tempo},
            {OutputPath(options.OutDir, p->Head[1], output::kSearchPicture), &search}};
        for (const auto& [path, expected] : files) {
            SCOPED_TRACE(path.filename().string());
            const std::string bytes = test::ReadBytes(path);
            const test::GifFile gif = test::ParseGif(bytes);
            EXPECT_EQ(gif.Width, 1023);
            EXPECT_EQ(gif.Height, 369);
            EXPECT_TRUE(test::DecodeWithGif2rgb(bytes) == expected->Pixels);
        }
        // The search-time chart carries its arrows: left disabled (grey), right enabled (black).
        const std::uint8_t* left = search.Pixel(971, 339);
        const std::uint8_t* right = search.Pixel(994, 339);
        EXPECT_EQ(left[0], 128);
        EXPECT_EQ(right[0] + right[1] + right[2], 0);
    }
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(options.OutDir)) ++files;
    EXPECT_EQ(files, 6);  // two reports, four pictures, no temporary files
}

}  // namespace
}  // namespace orvix::batch
