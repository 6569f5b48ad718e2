// A batch run on worker threads writes what a run of one protocol after the other writes: the
// same files under the same numbered names, the same messages and progress in the same order,
// the same summary and exit status, with one worker or several. The protocols mix good ones,
// every kind of failing load, FileTags that collide, files that cannot be written, pictures
// that fail, and a protocol that is one of the files an earlier protocol writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "base/numbers.h"
#include "cli/batch.h"
#include "cli/run_names.h"
#include "protocol/output_names.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix::batch {
namespace {
namespace fs = std::filesystem;

std::string U8(const fs::path& path) {
    const auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

// The run the parallel one must equal: each protocol processed in turn, its messages and the
// progress written as the tool writes them.
int SequentialRun(const TBatchOptions& options, std::ostream& err, const TChartWriter* charts) {
    SetDecimalChar(options.Decimal);
    std::error_code ec;
    fs::create_directories(options.OutDir, ec);
    TRunNames names;
    std::string summary = SummaryHeader();
    bool anyFailed = false;
    const std::size_t total = options.Protocols.size();
    for (std::size_t i = 0; i < total; ++i) {
        const fs::path& protocol = options.Protocols[i];
        err << "\r[" << (i + 1) << "/" << total << "] " << U8(protocol) << "\x1b[K";
        const TProtocolOutcome o = ProcessProtocol(protocol, options, charts, names);
        if (!o.Ok) {
            anyFailed = true;
            err << "\r\x1b[K" << U8(protocol) << ": " << Cp1251ToUtf8(o.Message) << "\n";
        } else if (o.SameNamesAs) {
            err << "\r\x1b[K" << U8(protocol) << ": предупреждение: те же имена файлов, что у "
                << U8(*o.SameNamesAs) << "; записано под именем " << U8(o.ReportFile.filename())
                << "\n";
        }
        summary += SummaryRow(o);
    }
    err << "\r\x1b[K" << total << " protocols, " << (anyFailed ? "some failed" : "all done")
        << "\n";
    WriteFileAtomically(*options.Summary, summary);
    return anyFailed ? 1 : 0;
}

// Pictures of one pixel whose colour comes from the chart's title, so that a picture written
// under another protocol's name shows; a subject "no pictures" makes them fail.
class TitlePictures final : public TChartWriter {
    class Charts final : public TProtocolCharts {
      public:
        TTempoPlot& Tempo() override { return charts_.Tempo; }
        TSearchTimePlot& Search() override { return charts_.Search; }
        std::pair<TRgbImage, TRgbImage> Pictures() override {
            if (charts_.SearchChart.Foot.Text().front() == "no pictures")
                throw EInvalidOperation("no pictures");
            std::string title;
            for (const std::string& line : charts_.SearchChart.Title.Text()) title += line;
            const std::size_t h = std::hash<std::string>{}(title);
            TRgbImage tempo(1, 1);
            tempo.SetPixel(0, 0, h & 0xFF, (h >> 8) & 0xFF, (h >> 16) & 0xFF);
            TRgbImage search(2, 1);
            return {tempo, search};
        }

      private:
        TDetachedCharts charts_;
    };

  public:
    std::unique_ptr<TProtocolCharts> NewCharts() const override {
        return std::make_unique<Charts>();
    }
};

std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        std::string content = "(folder)";
        if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            content.assign(std::istreambuf_iterator<char>(in), {});
        }
        files[U8(fs::relative(e.path(), dir))] = content;
    }
    return files;
}

TEST(BatchInParallel, WritesWhatARunOfOneProtocolAfterTheOtherWrites) {
    const fs::path dir = fs::temp_directory_path() /
                         ("orvix-batch-parallel-" + std::to_string(std::random_device{}()));
    const fs::path in = dir / "in";
    const fs::path out = dir / "out";
    fs::remove_all(dir);
    fs::create_directories(in);

    std::vector<fs::path> protocols;
    auto add = [&](const std::string& name, const protogen::TProtocolText& p) {
        protogen::WriteProtocolFile(p, in / name);
        protocols.push_back(in / name);
    };
    auto generated = [](std::uint64_t seed, int selections = 0) {
        protogen::TGenerateOptions o;
        o.Seed = seed;
        o.TargetSelections = selections;
        return protogen::GenerateProtocol(o);
    };
    // Good protocols of different lengths, so that their loads finish out of order.
    for (std::uint64_t seed = 1; seed <= 24; ++seed)
        add("good-" + std::to_string(seed) + ".klp", generated(seed, seed % 3 ? 40 : 900));
    // A FileTag given three times, and two tags that make the same file name.
    auto twin = generated(30, 60);
    add("twin-a.klp", twin);
    add("twin-b.klp", twin);
    twin.Head[2] = "another subject";
    add("twin-c.klp", twin);
    auto slash = generated(31, 50);
    slash.Head[1] = "a/b";
    add("slash.klp", slash);
    slash.Head[1] = "a_b";
    add("underscore.klp", slash);
    // Loads that fail at different points, and pictures that fail.
    auto spoilt = generated(32, 40);
    spoilt.Head[9] = "9 8";
    add("header.klp", spoilt);
    spoilt = generated(33, 40);
    spoilt.Head[20] = "2,0";
    add("mean.klp", spoilt);
    spoilt = generated(34, 40);
    spoilt.Head[20] = "1e308";
    spoilt.Head[21] = "1e308";
    add("band.klp", spoilt);
    spoilt = generated(35, 40);
    spoilt.Head[2] = "no pictures";
    add("pictures.klp", spoilt);
    protocols.push_back(in / "missing.klp");
    protocols.push_back(in);  // a folder
    // Files that cannot be written: the report's name is taken by a folder, for a tag that
    // comes twice (the second is not numbered: the first wrote nothing); the table's name by a
    // folder, so the report written first is removed again.
    auto blocked = generated(36, 40);
    blocked.Head[1] = "blocked report";
    add("blocked-1.klp", blocked);
    add("blocked-2.klp", blocked);
    auto table = generated(37, 40);
    table.Head[1] = "blocked table";
    add("table.klp", table);
    // A protocol that is the report an earlier protocol writes: read after that report, both
    // right behind it (a read ahead would have it open while the report replaces it) and later.
    auto early = generated(38, 40);
    early.Head[1] = "overwritten";
    add("early.klp", early);
    const fs::path overwritten = out / "overwritten KL.txt";
    protocols.push_back(overwritten);
    for (std::uint64_t seed = 40; seed <= 47; ++seed)
        add("more-" + std::to_string(seed) + ".klp", generated(seed, 40));
    protocols.push_back(overwritten);
    add("last.klp", generated(48, 40));

    TBatchOptions options;
    options.OutDir = out;
    options.Summary = out / "summary.csv";
    options.Charts = true;
    options.Points = true;
    options.Protocols = protocols;
    const TitlePictures pictures;
    auto prepare = [&] {
        fs::remove_all(out);
        fs::create_directories(out / "blocked report KL.txt");
        fs::create_directories(out / "blocked table KL.csv" / "inside");
        fs::copy_file(in / "good-1.klp", overwritten);
        WriteFileAtomically(out / "a_b KL.txt", "an earlier run's report");
    };

    prepare();
    std::ostringstream expectedErr;
    const int expectedStatus = SequentialRun(options, expectedErr, &pictures);
    const auto expectedFiles = Snapshot(out);
    ASSERT_EQ(expectedStatus, 1);
    // The run meets what it is meant to meet.
    for (const char* part : {"twin-c.klp: предупреждение", "underscore.klp: предупреждение",
                             "header.klp: '9 8' is not", "pictures.klp: no pictures.",
                             "blocked-2.klp: Cannot create file", "table.klp: Cannot create file",
                             "missing.klp: Cannot open file", "overwritten KL.txt: "})
        EXPECT_NE(expectedErr.str().find(part), std::string::npos) << part;
    auto written = [&](const std::string& stem, std::string_view ending) {
        return expectedFiles.count(U8(OutputPath({}, stem, ending))) == 1;
    };
    EXPECT_FALSE(written("blocked table", output::kReport));
    EXPECT_TRUE(written(twin.Head[1] + " (3)", output::kPoints));
    EXPECT_TRUE(written("a_b (2)", output::kTempoPicture));

    for (const std::size_t workers : {1u, 2u, 5u}) {
        SCOPED_TRACE(std::to_string(workers) + " workers");
        prepare();
        options.Workers = workers;
        std::ostringstream err;
        EXPECT_EQ(RunBatch(options, err, &pictures, true), expectedStatus);
        EXPECT_EQ(err.str(), expectedErr.str());
        const auto files = Snapshot(out);
        EXPECT_EQ(files.size(), expectedFiles.size());
        for (const auto& [name, content] : expectedFiles) {
            const auto it = files.find(name);
            if (it == files.end())
                ADD_FAILURE() << "missing " << name;
            else
                EXPECT_TRUE(it->second == content) << name;
        }
    }
    SetDecimalChar('.');
    fs::remove_all(dir);
}

}  // namespace
}  // namespace orvix::batch
