// The window and the batch tool give the same protocol the same report or the same message,
// with or without chart pictures: generated protocols of every shape the generator makes, both
// decimal separators, and protocols spoilt in each way a load can fail.
#include <QDir>
#include <sstream>

#include "base/file_io.h"
#include "cli/batch.h"
#include "cli/chart_pictures.h"
#include "form_fixture.h"
#include "protocol/output_names.h"

namespace orvix::test {
namespace {

using Parity = FormTest;

struct Variant {
    std::string name;
    protogen::TProtocolText protocol;
    char decimal;
};

std::vector<Variant> Variants() {
    std::vector<Variant> variants;
    auto generated = [&](const std::string& name, protogen::TGenerateOptions o, char decimal) {
        variants.push_back({name, protogen::GenerateProtocol(o), decimal});
    };
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        protogen::TGenerateOptions o;
        o.Seed = seed;
        generated("seed " + std::to_string(seed), o, '.');
    }
    protogen::TGenerateOptions shortTest;
    shortTest.Seed = 40;
    shortTest.TargetSelections = 12;
    shortTest.DurationSeconds = 65;
    generated("short test", shortTest, '.');
    protogen::TGenerateOptions longTest;
    longTest.Seed = 41;
    longTest.TargetSelections = 1500;
    longTest.DurationSeconds = 1200;
    generated("long test", longTest, '.');
    protogen::TGenerateOptions comma;
    comma.Seed = 42;
    comma.Decimal = ',';
    generated("comma read with comma", comma, ',');
    generated("comma read with point", comma, '.');

    using Spoil = void (*)(protogen::TProtocolText&);
    const std::pair<const char*, Spoil> spoilt[] = {
        {"header integer", [](protogen::TProtocolText& p) { p.Head[9] = "9 8"; }},
        {"T = 0", [](protogen::TProtocolText& p) { p.Head[9] = "0"; }},
        {"search mean", [](protogen::TProtocolText& p) { p.Head[20] = "2,0"; }},
        {"a record", [](protogen::TProtocolText& p) { p.Records[2].replace(20, 8, "     1,5"); }},
        {"negative SD",
         [](protogen::TProtocolText& p) {
             p.Head[20] = "2.0";
             p.Head[21] = "-1.0";
             for (auto& r : p.Records) r.replace(20, 8, "    -0.5");
         }},
        {"band overflow",
         [](protogen::TProtocolText& p) {
             p.Head[20] = "1e308";
             p.Head[21] = "1e308";
         }},
        {"one interval", [](protogen::TProtocolText& p) { p.Head[24] = "1"; }},
        {"omission record", [](protogen::TProtocolText& p) { p.Head[12] = "999999"; }},
    };
    for (const auto& [name, spoil] : spoilt) {
        protogen::TGenerateOptions o;
        o.Seed = 50;
        o.TargetSelections = 30;
        o.DurationSeconds = 120;
        auto p = protogen::GenerateProtocol(o);
        spoil(p);
        variants.push_back({name, p, '.'});
    }
    return variants;
}

TEST_F(Parity, WindowAndBatchGiveTheSameReportOrMessage) {
    int failed = 0;
    for (const Variant& v : Variants()) {
        SCOPED_TRACE(v.name);
        const QString path = Write(v.protocol);
        // The window, freshly started, with the user's separator.
        NewForm();
        form->SetDecimalPointSource([&] { return QString(QChar(v.decimal)); });
        AboutOk();
        dialogs.failures.clear();
        Load(path);
        const bool windowFailed = !dialogs.failures.empty();
        const std::string message =
            windowFailed ? dialogs.failures[0].text.toStdString() : std::string();
        failed += windowFailed;

        for (const bool pictures : {false, true}) {
            SCOPED_TRACE(pictures ? "with pictures" : "without pictures");
            const QString out = dir.filePath(pictures ? "charts" : "plain");
            QDir(out).removeRecursively();
            batch::TBatchOptions options;
            options.Decimal = v.decimal;
            options.OutDir = ToPath(out);
            options.Charts = pictures;
            options.Protocols = {ToPath(path)};
            batch::TChartPictures charts;
            std::ostringstream err;
            const int status = batch::RunBatch(options, err, pictures ? &charts : nullptr, false);
            const std::filesystem::path report =
                batch::OutputPath(options.OutDir, v.protocol.Head[1], output::kReport);
            if (windowFailed) {
                EXPECT_EQ(status, 1);
                EXPECT_EQ(err.str(), path.toStdString() + ": " + message + "\n");
                EXPECT_FALSE(std::filesystem::exists(report));
            } else {
                EXPECT_EQ(status, 0) << err.str();
                EXPECT_EQ(Read(ToQString(PathText(report))), Report());
            }
        }
    }
    EXPECT_EQ(failed, 9);  // the point-read comma protocol and the eight spoilt ones
}

}  // namespace
}  // namespace orvix::test
