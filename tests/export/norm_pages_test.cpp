// The report page's profile against norms and the comparison page's reliable change, read back
// with poppler's pdftotext and pixels of a pdftoppm rendering.
#include <gtest/gtest.h>

#include <QDate>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#include "base/file_io.h"
#include "base/numbers.h"
#include "export/compare_page.h"
#include "export/norm_profile_page.h"
#include "export/page_parts.h"
#include "export/report_page.h"
#include "stats/norm_table_csv.h"
#include "stats/stats_text.h"
#include "tests/support/pdf_tools.h"
#include "tools/ppm2gif/ppm_reader.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix {
namespace {
namespace fs = std::filesystem;

constexpr int kDpi = 216;

using test::PdfToolOutput;
using test::PdfToolPath;

std::string Squeezed(const QString& text) {
    return text.simplified().toStdString();
}

// The page's text, or only that inside `area` (page units: tenths of a point), whitespace runs
// as one space.
std::string PdfText(const fs::path& pdf, const QRectF& area = {}) {
    std::vector<std::string> arguments{"-enc", "UTF-8"};
    if (!area.isNull()) {
        const auto pt = [](double units) { return std::to_string(std::lround(units / 10)); };
        arguments.insert(arguments.end(), {"-r", "72", "-x", pt(area.left()), "-y", pt(area.top()),
                                           "-W", pt(area.width()), "-H", pt(area.height())});
    }
    arguments.insert(arguments.end(), {PdfToolPath(pdf), "-"});
    return Squeezed(QString::fromStdString(PdfToolOutput("pdftotext", arguments)));
}

bool OnePage(const fs::path& pdf) {
    return PdfToolOutput("pdfinfo", {PdfToolPath(pdf)}).find("Pages:           1\n") !=
           std::string::npos;
}

// The generated test (seed 12) scores, against these rows for a ten-year-old girl of the
// "4 класс" group: accuracy with a band; selections per minute from a small group with a band;
// search mean far better than the norm (T beyond 80); tempo V without a reliability (no band);
// wrong share from the nearest age group; N+ only for boys (no row). The source is long enough
// to be wrapped.
std::string NormsCsv() {
    const std::string source =
        ";Проверочные нормы: числа придуманы для этой проверки страницы, их "
        "источник — сама проверка, а строка длинная, чтобы её пришлось "
        "переносить\n";
    std::string csv =
        "norm_id;version;index;sex;age_from;age_to;group;n;mean;sd;direction;reliability;source\n";
    for (const char* row :
         {"accuracy;any;10;12;;60;0,93;0,04;higher;0,78",
          "selections per minute;any;10;12;4 класс;24;46;11;higher;0,85",
          "search mean;any;;;;120;4;0,5;lower;0,7", "tempo V;any;;;;150;30;12;lower;",
          "wrong share;female;13;17;;40;0,03;0,018;lower;0,8", "N+;male;;;;100;230;30;higher;0,8"})
        csv += std::string("проверка;3;") + row + source;
    return csv;
}

stats::TNormInput NormsFrom(const std::string& csv) {
    const stats::TNormRead read = stats::ReadNormTable(csv);
    EXPECT_FALSE(read.Error) << read.Error->Message;
    stats::TNormInput in;
    in.Table = std::make_shared<const stats::TNormTable>(read.Table);
    in.Examinee = {stats::TSex::Female, stats::TDate{2013, 5, 1}, "4 класс"};
    in.TestDate = stats::TDate{2024, 3, 15};
    return in;
}

class NormPages : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvix-norm-page-" + std::to_string(std::random_device{}()) + "-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        SetDecimalChar('.');
        load_ = Generated(12, 0);
        TDetachedCharts charts;
        TTextLines report;
        ShowLoad(load_, report, charts.Tempo, charts.Search);
        report_ = report.Ref();
        norms_ = NormsFrom(NormsCsv());
    }
    void TearDown() override { fs::remove_all(dir_); }

    static TLoadedProtocol Generated(std::uint64_t seed, double seconds) {
        protogen::TGenerateOptions o;
        o.Seed = seed;
        if (seconds > 0) o.DurationSeconds = seconds;
        return AnalyseText(protogen::GenerateProtocol(o).Text());
    }

    // The page's layout and its profile's, as PaintReportPage makes them.
    struct TPlaced {
        TReportPageLayout Page;
        TProfileLayout Profile;
    };
    TPlaced Place(const std::string& report, const stats::TNormProfile& profile) const {
        const double width = kPageWidth - 2 * page::kMargin;
        TPlaced p;
        p.Page = LayOutReportPage(ReportPageLines(report), WorkCurvePageLines(load_),
                                  LayOutProfile(profile, 0, 0, width).Area.height());
        p.Profile = LayOutProfile(profile, p.Page.Profile.left(), p.Page.Profile.top(), width);
        return p;
    }

    fs::path dir_;
    TLoadedProtocol load_;
    std::string report_;
    stats::TNormInput norms_;
};

TEST_F(NormPages, TheProfileShowsEveryIndexWithItsTAndNamesItsNorms) {
    const std::optional<stats::TNormProfile> profile = ReportPageProfile(load_, &norms_);
    ASSERT_TRUE(profile);
    ASSERT_EQ(profile->Lines.size(), 5u);
    ASSERT_EQ(profile->Warnings.size(), 3u);  // small group, age outside, no row for N+
    const fs::path pdf = dir_ / "page.pdf";
    WriteReportPdf(pdf, load_, report_, QDate(2024, 3, 15), &norms_);
    EXPECT_TRUE(OnePage(pdf));

    // Each row read alone: its name, T, percentile and n, whole.
    const TPlaced placed = Place(report_, *profile);
    ASSERT_EQ(placed.Profile.Rows.size(), profile->Lines.size());
    for (std::size_t i = 0; i < profile->Lines.size(); ++i) {
        const stats::TProfileLine& line = profile->Lines[i];
        ASSERT_TRUE(line.T);
        const std::string expected = std::string(line.Caption) + " " +
                                     ProfileTText(line, '.').toStdString() + " " +
                                     stats::PercentileText(line) + " " + std::to_string(line.N);
        EXPECT_EQ(PdfText(pdf, placed.Profile.Rows[i]), expected);
    }
    // The scale's numbers and the columns over the rows.
    EXPECT_EQ(PdfText(pdf, placed.Profile.Header),
              "Показатель 20 30 40 50 60 70 80 T Процентиль n");

    // Under them, the examinee, the norms (one source line, wrapped but whole) and every warning.
    const std::string text = PdfText(pdf);
    const QStringList notes = ProfileNoteLines(*profile);
    ASSERT_EQ(notes.size(), 5);
    EXPECT_EQ(notes[0], QStringLiteral("Обследуемый: пол женский, 10 лет, группа «4 класс»"));
    EXPECT_EQ(Squeezed(notes[1]),
              "Нормы «проверка», версия 3, n = 24–150; источник: Проверочные нормы: числа "
              "придуманы для этой проверки страницы, их источник — сама проверка, а строка "
              "длинная, чтобы её пришлось переносить");
    for (const QString& note : notes)
        EXPECT_NE(text.find(Squeezed(note)), std::string::npos) << note.toStdString();
    EXPECT_GT(placed.Profile.Notes.size(), static_cast<std::size_t>(notes.size()));  // wrapped

    // The profile takes its room from the report's text, and all of it is on the page.
    const TReportPageLayout without =
        LayOutReportPage(ReportPageLines(report_), WorkCurvePageLines(load_));
    EXPECT_TRUE(without.Profile.isEmpty());
    EXPECT_LT(placed.Page.ReportFontSize, without.ReportFontSize);
    EXPECT_FALSE(placed.Page.ReportCut);
    EXPECT_EQ(placed.Page.SearchChart.height(), without.SearchChart.height());
    EXPECT_GE(placed.Page.Profile.top(), placed.Page.Figures.bottom());
    EXPECT_LE(placed.Profile.Area.bottom(), kPageHeight - page::kMargin + 1);
    EXPECT_EQ(placed.Profile.Area, placed.Page.Profile);

    // No profile without norms, nor for an analysis that did not complete.
    EXPECT_FALSE(ReportPageProfile(load_, nullptr));
    protogen::TGenerateOptions o;
    o.Seed = 12;
    o.Decimal = ',';  // read with "." it fails
    const TLoadedProtocol failed = AnalyseText(protogen::GenerateProtocol(o).Text());
    ASSERT_NE(failed.Analysis.Stopped, TAnalysisStep::Done);
    EXPECT_FALSE(ReportPageProfile(failed, &norms_));
}

bool Bluish(const std::uint8_t* p) {
    return p[2] > 110 && p[0] < 90 && p[1] < 90;
}
bool Shaded(const std::uint8_t* p) {
    return p[0] > 200 && p[0] < 240 && p[0] == p[1] && p[1] == p[2];
}
bool White(const std::uint8_t* p) {
    return p[0] > 250 && p[1] > 250 && p[2] > 250;
}

TEST_F(NormPages, PointsBandsArrowheadAndTheShadedRangeLieOnTheScale) {
    const std::optional<stats::TNormProfile> profile = ReportPageProfile(load_, &norms_);
    ASSERT_TRUE(profile);
    const fs::path pdf = dir_ / "page.pdf";
    WriteReportPdf(pdf, load_, report_, QDate(2024, 3, 15), &norms_);
    PdfToolOutput("pdftoppm",
                  {"-r", std::to_string(kDpi), PdfToolPath(pdf), PdfToolPath(dir_ / "r")});
    const TRgbImage image = ParsePpm(ReadWholeFile(dir_ / "r-1.ppm", 1u << 30));
    const TPlaced placed = Place(report_, *profile);
    const auto pixel = [&](double x, double y) {
        const double units = kDpi / kPageUnitsPerInch;
        return image.Pixel(static_cast<int>(x * units), static_cast<int>(y * units));
    };
    // Whether anything of `line` is drawn near `t` on its row.
    const auto drawnNear = [](const stats::TProfileLine& line, double t) {
        if (std::abs(*line.T - t) < 4) return true;
        return line.BandLow && *line.BandLow - 1 < t && t < *line.BandHigh + 1;
    };

    int points = 0, bands = 0, arrowheads = 0, shaded = 0, white = 0;
    for (std::size_t i = 0; i < profile->Lines.size(); ++i) {
        const stats::TProfileLine& line = profile->Lines[i];
        const double y = placed.Profile.Rows[i].center().y();
        SCOPED_TRACE(testing::Message() << line.Index << ", T " << *line.T);
        if (*line.T > kProfileHighT) {
            // An arrowhead just beyond the scale's end.
            EXPECT_TRUE(Bluish(pixel(placed.Profile.ScaleRight + 8, y)));
            ++arrowheads;
        } else {
            EXPECT_TRUE(Bluish(pixel(ProfileX(placed.Profile, *line.T), y)));
            ++points;
        }
        // The band: halfway between its low end and T, and nowhere on a row without one.
        if (line.BandLow && *line.BandLow > kProfileLowT && *line.T <= kProfileHighT) {
            const double t = (*line.BandLow + *line.T) / 2;
            EXPECT_TRUE(Bluish(pixel(ProfileX(placed.Profile, t), y)));
            ++bands;
        }
        // 40 to 60 shaded, 65 and 75 not: where nothing of the row is drawn.
        for (const double t : {45.0, 55.0, 65.0, 75.0}) {
            if (drawnNear(line, t)) continue;
            const std::uint8_t* p = pixel(ProfileX(placed.Profile, t), y);
            EXPECT_TRUE(t < 60 ? Shaded(p) : White(p)) << t;
            ++(t < 60 ? shaded : white);
        }
    }
    EXPECT_EQ(arrowheads, 1);
    EXPECT_EQ(points, 4);
    EXPECT_GE(bands, 2);
    EXPECT_GE(shaded, 3);
    EXPECT_GE(white, 3);
}

// Every index of a table, a long report: the page stays one page, the profile whole, and the
// report's text gives way.
TEST_F(NormPages, AFullTableAndALongReportStillFitTheOnePage) {
    std::string csv =
        "norm_id,version,index,sex,age_from,age_to,group,n,mean,sd,direction,"
        "reliability,source\n";
    for (const stats::TNormIndex& index : stats::kNormIndices)
        csv += "все,1," + std::string(index.Column) + ",any,,,,200,1,1," +
               std::string(stats::DirectionName(index.Better)) + ",0.8,проверка\n";
    const stats::TNormInput all = NormsFrom(csv);
    const std::optional<stats::TNormProfile> profile = ReportPageProfile(load_, &all);
    ASSERT_TRUE(profile);
    ASSERT_EQ(profile->Lines.size(), stats::kNormIndices.size());
    std::string report = report_;
    for (int i = 0; i < 3; ++i) report += report_;
    const fs::path pdf = dir_ / "page.pdf";
    WriteReportPdf(pdf, load_, report, QDate(2024, 3, 15), &all);
    EXPECT_TRUE(OnePage(pdf));
    const TPlaced placed = Place(report, *profile);
    EXPECT_LE(placed.Profile.Area.bottom(), kPageHeight - page::kMargin + 1);
    EXPECT_GE(placed.Page.SearchChart.top(), placed.Page.Report.bottom());
    EXPECT_EQ(PdfText(pdf, placed.Profile.Rows.back()).find("Темп последней трети к первой"), 0u);
}

TEST_F(NormPages, TheComparisonPageGivesTheReliableChange) {
    const TLoadedProtocol later = Generated(31, 420);
    ASSERT_EQ(later.Analysis.Stopped, TAnalysisStep::Done);
    const stats::TRetest retest =
        stats::CompareTests(load_.Analysis.Result, later.Analysis.Result, &norms_);
    ASSERT_TRUE(retest.Norms);
    ASSERT_EQ(retest.Norms->Lines.size(), 4u);  // all but tempo V, which has no reliability

    // The page without norms is as it was; with them it holds the same lines in the same order
    // and the reliable change's paragraph among them.
    const QStringList plain = ComparisonPageLines(load_, later);
    const QStringList lines = ComparisonPageLines(load_, later, &norms_);
    EXPECT_TRUE(plain.filter(QStringLiteral("Надёжность")).isEmpty());
    EXPECT_EQ(lines.filter(QStringLiteral("Надёжность")).size(), 1);
    qsizetype next = 0;
    for (const QString& line : plain) {
        next = lines.indexOf(line, next);
        ASSERT_GE(next, 0) << line.toStdString();
        ++next;
    }

    const fs::path pdf = dir_ / "compare.pdf";
    WriteComparisonPdf(pdf, load_, later, QDate(2024, 3, 15), &norms_);
    const std::string text = PdfText(pdf);
    // Every line of the paragraph whole (a long one broken and continued).
    const QString paragraph = QString::fromStdString(stats::ReliableChangeText(*retest.Norms, '.'));
    for (const QString& line : paragraph.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        EXPECT_NE(text.find(Squeezed(line)), std::string::npos) << line.toStdString();
    for (const stats::TChangeLine& change : retest.Norms->Lines)
        EXPECT_NE(text.find(std::string(change.Caption) + ": " +
                            stats::NumberText(change.Earlier, change.Decimals, '.') + " → " +
                            stats::NumberText(change.Later, change.Decimals, '.') + ", индекс " +
                            stats::NumberText(change.Change.Index, 2, '.')),
                  std::string::npos)
            << change.Caption;
    EXPECT_FALSE(LayOutComparisonPage(static_cast<int>(retest.Rows.size()), lines).TextCut);
}

}  // namespace
}  // namespace orvix
