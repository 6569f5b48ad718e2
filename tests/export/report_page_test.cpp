// The report page read back with independent tools: poppler's pdfinfo, pdffonts, pdftotext,
// and pixels of a pdftoppm rendering at computed marker places.
#include <gtest/gtest.h>

#include <QDate>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <filesystem>
#include <random>
#include <sstream>

#include "base/cp1251.h"
#include "base/file_io.h"
#include "charts/qt_text_measure.h"
#include "cli/batch.h"
#include "cli/report_pages.h"
#include "export/compare_page.h"
#include "export/page_parts.h"
#include "export/report_page.h"
#include "protocol/output_names.h"
#include "protocol/report.h"
#include "stats/stats_text.h"
#include "tests/support/pdf_tools.h"
#include "tools/ppm2gif/ppm_reader.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix {
namespace {
namespace fs = std::filesystem;

using test::PdfToolOutput;
using test::PdfToolPath;

// Whitespace runs as one space, ends trimmed: text extraction may space words differently.
std::string Squeezed(const QString& text) {
    return text.simplified().toStdString();
}

constexpr int kDpi = 216;

class ReportPage : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvix-page-" + std::to_string(std::random_device{}()) + "-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        protogen::TGenerateOptions o;
        o.Seed = 12;
        load_ = AnalyseText(protogen::GenerateProtocol(o).Text());
        TDetachedCharts charts;
        TTextLines report;
        ShowLoad(load_, report, charts.Tempo, charts.Search);
        // The page prints the text as the user left it.
        report_ = report.Ref() + W1251("Заключение: внимание устойчивое\r\n");
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Device pixel of a chart pixel of a chart placed at `place` on the page.
    static QPoint OnPage(const QRectF& place, double x, double y) {
        const double units = kDpi / kPageUnitsPerInch;
        return QPoint(
            static_cast<int>((place.left() + (x + 0.5) * place.width() / kPageChartWidth) * units),
            static_cast<int>((place.top() + (y + 0.5) * place.height() / kPageChartHeight) *
                             units));
    }

    fs::path dir_;
    TLoadedProtocol load_;
    std::string report_;
};

TEST_F(ReportPage, OneA4PageWithEmbeddedFontsAndSearchableText) {
    const fs::path pdf = dir_ / "page.pdf";
    WriteReportPdf(pdf, load_, report_, QDate(2024, 3, 15));

    const std::string info = PdfToolOutput("pdfinfo", {PdfToolPath(pdf)});
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;

    // Every font embedded; the report's font is monospaced.
    const std::string fonts = PdfToolOutput("pdffonts", {PdfToolPath(pdf)});
    std::istringstream rows(fonts);
    std::string row;
    int fontCount = 0;
    bool mono = false;
    while (std::getline(rows, row)) {
        if (row.rfind("name", 0) == 0 || row.rfind("---", 0) == 0) continue;
        ++fontCount;
        const QStringList f = QString::fromStdString(row).split(' ', Qt::SkipEmptyParts);
        ASSERT_GE(f.size(), 7) << row;
        EXPECT_EQ(f[f.size() - 5], "yes") << "not embedded: " << row;
        EXPECT_EQ(f[f.size() - 3], "yes") << "no Unicode map: " << row;
        // The fixed-pitch font: Liberation Mono on Linux, Courier New on Windows.
        mono = mono || row.find("Mono") != std::string::npos ||
               row.find("Courier") != std::string::npos;
    }
    EXPECT_GE(fontCount, 2) << fonts;
    EXPECT_TRUE(mono) << fonts;

    const std::string text = Squeezed(QString::fromStdString(
        PdfToolOutput("pdftotext", {"-enc", "UTF-8", PdfToolPath(pdf), "-"})));
    for (const QString& line : ReportPageLines(report_)) {
        if (line.trimmed().isEmpty()) continue;
        EXPECT_NE(text.find(Squeezed(line)), std::string::npos) << Squeezed(line);
    }
    TDetachedCharts charts;
    FillPageCharts(charts, load_);
    for (const TCustomChart* chart : {&charts.SearchChart, &charts.TempoChart})
        for (const std::string& title : chart->Title.Text())
            EXPECT_NE(text.find(Squeezed(QStringOf1251(title))), std::string::npos)
                << Cp1251ToUtf8(title);
    EXPECT_NE(text.find("Дата печати: 15.03.2024"), std::string::npos);
    EXPECT_NE(text.find(Cp1251ToUtf8(load_.Subject)), std::string::npos);
    EXPECT_NE(text.find("ошибочный выбор"), std::string::npos);
    EXPECT_NE(text.find("среднее ± 2 ст. откл."), std::string::npos);
    // The work-curve figures of the complete analysis.
    const QStringList figures = WorkCurvePageLines(load_);
    ASSERT_EQ(figures.size(), 7);
    for (const QString& line : figures)
        EXPECT_NE(text.find(Squeezed(line)), std::string::npos) << Squeezed(line);
}

bool Greenish(const std::uint8_t* p) {
    return p[1] > p[0] + 60 && p[1] > p[2] + 60;
}
bool Reddish(const std::uint8_t* p) {
    return p[0] > p[1] + 100 && p[0] > p[2] + 100;
}
bool Whitish(const std::uint8_t* p) {
    return p[0] > 200 && p[1] > 200 && p[2] > 200;
}

TEST_F(ReportPage, MarkersAndTheirCuesLieWhereTheChartsPutThem) {
    const fs::path pdf = dir_ / "page.pdf";
    WriteReportPdf(pdf, load_, report_, QDate(2024, 3, 15));
    PdfToolOutput("pdftoppm",
                  {"-r", std::to_string(kDpi), PdfToolPath(pdf), PdfToolPath(dir_ / "r")});
    const TRgbImage page = ParsePpm(ReadWholeFile(dir_ / "r-1.ppm", 1u << 30));
    const double a4Width = 210 / 25.4 * kDpi;
    ASSERT_NEAR(page.Width, a4Width, 2);

    TDetachedCharts charts;
    FillPageCharts(charts, load_);
    const TQtTextMeasure measure;
    const TReportPageLayout layout =
        LayOutReportPage(ReportPageLines(report_), WorkCurvePageLines(load_));
    const TAnalysisResult& r = load_.Analysis.Result;

    // The search-time chart shows the whole test: its first and last selections are on it.
    TCustomChart& search = charts.SearchChart;
    search.CalcLayout(kPageChartWidth, kPageChartHeight, measure);
    EXPECT_EQ(charts.Search.SeriesSel->FirstVisible(), 0);
    EXPECT_EQ(charts.Search.SeriesSel->LastVisible(), r.SelectionCount - 1);

    // Markers with nothing else within a few pixels: a correct one is green at its centre, a
    // wrong one red at its top edge and white at its centre (the cross).
    const auto isolated = [&](const TLineSeries& s, std::size_t i, const TCustomChart& chart,
                              double mean, double sd) {
        const int x = chart.BottomAxis.Map().ToPixel(s.PointX(static_cast<int>(i)));
        const int y = chart.LeftAxis.Map().ToPixel(s.PointY(static_cast<int>(i)));
        for (const double line : {mean, mean + 2 * sd, mean - 2 * sd})
            if (std::abs(chart.LeftAxis.Map().ToPixel(line) - y) < 8) return false;
        for (int j = 0; j < s.PointCount(); ++j) {
            if (static_cast<std::size_t>(j) == i) continue;
            const int xj = chart.BottomAxis.Map().ToPixel(s.PointX(j));
            const int yj = chart.LeftAxis.Map().ToPixel(s.PointY(j));
            if (std::abs(xj - x) < 12 && std::abs(yj - y) < 12) return false;
        }
        return true;
    };
    int correctSeen = 0;
    int wrongSeen = 0;
    const TLineSeries& sel = *charts.Search.SeriesSel;
    for (std::size_t i = 0; i < r.Points.size(); ++i) {
        if (!isolated(sel, i, search, r.Search.Mean, r.Search.SD)) continue;
        const int x = search.BottomAxis.Map().ToPixel(r.Points[i].X);
        const int y = search.LeftAxis.Map().ToPixel(r.Points[i].Y);
        const QPoint centre = OnPage(layout.SearchChart, x, y);
        SCOPED_TRACE(testing::Message() << "selection " << i + 1 << " at " << x << "," << y);
        if (r.Points[i].Correct) {
            EXPECT_TRUE(Greenish(page.Pixel(centre.x(), centre.y())));
            ++correctSeen;
        } else {
            EXPECT_TRUE(Whitish(page.Pixel(centre.x(), centre.y())));
            const QPoint top = OnPage(layout.SearchChart, x, y - 2);
            EXPECT_TRUE(Reddish(page.Pixel(top.x(), top.y())));
            ++wrongSeen;
        }
    }
    EXPECT_GE(correctSeen, 5);
    EXPECT_GE(wrongSeen, 1);

    // Intervals with wrong selections carry the cross too; the others do not.
    TCustomChart& tempo = charts.TempoChart;
    tempo.CalcLayout(kPageChartWidth, kPageChartHeight, measure);
    int crossed = 0;
    int plain = 0;
    for (std::size_t k = 0; k < r.Intervals.size(); ++k) {
        const int x = tempo.BottomAxis.Map().ToPixel(static_cast<double>(k + 1));
        const int y = tempo.LeftAxis.Map().ToPixel(r.Intervals[k].Selections);
        bool nearLine = false;
        for (const double line :
             {r.Tempo.Mean, r.Tempo.Mean + 2 * r.Tempo.SD, r.Tempo.Mean - 2 * r.Tempo.SD})
            nearLine = nearLine || std::abs(tempo.LeftAxis.Map().ToPixel(line) - y) < 8;
        if (nearLine) continue;
        const QPoint centre = OnPage(layout.TempoChart, x, y);
        SCOPED_TRACE(testing::Message() << "interval " << k + 1);
        if (r.Intervals[k].Wrong > 0) {
            EXPECT_TRUE(Whitish(page.Pixel(centre.x(), centre.y())));
            ++crossed;
        } else {
            EXPECT_TRUE(Greenish(page.Pixel(centre.x(), centre.y())));
            ++plain;
        }
    }
    EXPECT_GE(crossed, 1);
    EXPECT_GE(plain, 5);
}

TEST_F(ReportPage, LongReportsShrinkToFitTheOnePage) {
    const QStringList shortLines = ReportPageLines(report_);
    const QStringList figures = WorkCurvePageLines(load_);
    const TReportPageLayout normal = LayOutReportPage(shortLines, figures);
    EXPECT_FALSE(normal.ReportCut);
    QStringList longLines = shortLines;
    for (int i = 0; i < 40; ++i) longLines += shortLines;
    const TReportPageLayout small = LayOutReportPage(longLines, figures);
    EXPECT_LT(small.ReportFontSize, normal.ReportFontSize);
    // Whatever the text, the charts, the legend and the figures stay on the page.
    for (const TReportPageLayout& l : {normal, small}) {
        EXPECT_GE(l.SearchChart.top(), l.Report.bottom());
        EXPECT_GE(l.Figures.top(), l.Legend.bottom());
        EXPECT_GT(l.Figures.height(), 0);
        EXPECT_LE(l.Figures.bottom(), kPageHeight);
    }
    EXPECT_TRUE(small.ReportCut);
    // A load that failed has no figures.
    protogen::TGenerateOptions o;
    o.Seed = 12;
    o.Decimal = ',';
    const TLoadedProtocol failed = AnalyseText(protogen::GenerateProtocol(o).Text());
    ASSERT_NE(failed.Analysis.Stopped, TAnalysisStep::Done);
    EXPECT_TRUE(WorkCurvePageLines(failed).isEmpty());
}

// Short tests have wide confidence intervals and long figure lines: over many generated tests
// of every length, each figure is on the page whole (read back from its column by pdftotext),
// and no line of it is wider than its column.
TEST_F(ReportPage, EveryFigureIsWholeOnThePagesOfManyTests) {
    QFont figureFont(QStringLiteral("Arial"));
    figureFont.setPixelSize(72);
    const QFontMetricsF fm(figureFont);
    const double indent = fm.horizontalAdvance(QStringLiteral("0000"));
    int wrapped = 0;
    for (std::uint64_t seed = 1; seed <= 56; ++seed) {
        protogen::TGenerateOptions o;
        o.Seed = seed;
        switch (seed % 4) {
            case 0:  // under a minute: three to a dozen intervals
                o.TargetSelections = static_cast<std::int32_t>(3 + seed % 10);
                o.DurationSeconds = 15 + static_cast<double>(seed % 40);
                break;
            case 1:
                o.TargetSelections = static_cast<std::int32_t>(20 + seed);
                o.DurationSeconds = 60 + 3 * static_cast<double>(seed);
                break;
            case 2:
                o.DurationSeconds = 900 + 20 * static_cast<double>(seed);
                break;
            default:
                break;  // the generator's own choice
        }
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << o.TargetSelections
                                        << " selections, " << o.DurationSeconds << " s");
        const TLoadedProtocol load = AnalyseText(protogen::GenerateProtocol(o).Text());
        ASSERT_EQ(load.Analysis.Stopped, TAnalysisStep::Done);
        TDetachedCharts charts;
        TTextLines report;
        ShowLoad(load, report, charts.Tempo, charts.Search);
        const QStringList figures = WorkCurvePageLines(load);
        ASSERT_EQ(figures.size(), 7);
        const TReportPageLayout layout = LayOutReportPage(ReportPageLines(report.Ref()), figures);
        ASSERT_GE(layout.FiguresLeft.size(), 4u);
        ASSERT_GE(layout.FiguresRight.size(), 3u);
        wrapped += layout.FiguresLeft.size() + layout.FiguresRight.size() > 7 ? 1 : 0;
        EXPECT_LE(layout.Figures.bottom(), kPageHeight);
        const double columnWidth = (layout.Figures.width() - 60) / 2;
        for (const auto* column : {&layout.FiguresLeft, &layout.FiguresRight})
            for (const TFigureLine& line : *column)
                EXPECT_LE(fm.horizontalAdvance(line.Text) + (line.Continued ? indent : 0),
                          columnWidth)
                    << line.Text.toStdString();

        const fs::path pdf = dir_ / ("page-" + std::to_string(seed) + ".pdf");
        WriteReportPdf(pdf, load, report.Ref(), QDate(2024, 3, 15));
        // Each column's text alone (points: a page unit is a tenth of one).
        std::string columns[2];
        for (int c = 0; c < 2; ++c) {
            const double left = layout.Figures.left() + c * (columnWidth + 60);
            const auto pt = [](double units) { return std::to_string(std::lround(units / 10)); };
            columns[c] = Squeezed(QString::fromStdString(PdfToolOutput(
                "pdftotext", {"-enc", "UTF-8", "-r", "72", "-x", pt(left - 5), "-y",
                              pt(layout.Figures.top()), "-W", pt(columnWidth + 10), "-H",
                              pt(layout.Figures.height() + 20), PdfToolPath(pdf), "-"})));
        }
        for (qsizetype i = 0; i < figures.size(); ++i) {
            const std::string& column = columns[i < 4 ? 0 : 1];
            EXPECT_NE(column.find(Squeezed(figures[i])), std::string::npos)
                << Squeezed(figures[i]) << "\nin: " << column;
        }
        fs::remove(pdf);
    }
    // Some figures did need more than one line.
    EXPECT_GT(wrapped, 0);
}

TEST_F(ReportPage, BatchWritesAPagePerProtocolUnderItsNumberedName) {
    protogen::TGenerateOptions o;
    o.Seed = 12;
    const auto protocol = protogen::GenerateProtocol(o);
    protogen::WriteProtocolFile(protocol, dir_ / "a.klp");
    protogen::WriteProtocolFile(protocol, dir_ / "b.klp");
    batch::TBatchOptions options;
    options.OutDir = dir_ / "out";
    options.Pdf = true;
    options.Protocols = {dir_ / "a.klp", dir_ / "b.klp"};
    std::ostringstream err;
    batch::TReportPages pages;
    EXPECT_EQ(batch::RunBatch(options, err, nullptr, false, &pages), 0);
    for (const std::string& stem : {protocol.Head[1], protocol.Head[1] + " (2)"}) {
        const fs::path pdf = batch::OutputPath(options.OutDir, stem, output::kPdf);
        ASSERT_TRUE(fs::exists(pdf)) << pdf;
        EXPECT_NE(PdfToolOutput("pdfinfo", {PdfToolPath(pdf)}).find("Pages:           1\n"),
                  std::string::npos);
    }
}

// ---- The retest comparison page ---------------------------------------------------------

class ComparePage : public ReportPage {
  protected:
    static TLoadedProtocol Generated(std::uint64_t seed, double seconds) {
        protogen::TGenerateOptions o;
        o.Seed = seed;
        o.DurationSeconds = seconds;
        return AnalyseText(protogen::GenerateProtocol(o).Text());
    }
};

TEST_F(ComparePage, OneA4PageWithBothTestsTheTableAndTheComparisonText) {
    const TLoadedProtocol later = Generated(31, 420);
    ASSERT_EQ(later.Analysis.Stopped, TAnalysisStep::Done);
    const fs::path pdf = dir_ / "compare.pdf";
    WriteComparisonPdf(pdf, load_, later, QDate(2024, 3, 15));
    const std::string info = PdfToolOutput("pdfinfo", {PdfToolPath(pdf)});
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;

    const std::string text = Squeezed(QString::fromStdString(
        PdfToolOutput("pdftotext", {"-enc", "UTF-8", PdfToolPath(pdf), "-"})));
    const auto expect = [&](const std::string& part) {
        EXPECT_NE(text.find(part), std::string::npos) << part << "\nin: " << text;
    };
    expect("Первое обследование — " + Cp1251ToUtf8(load_.Subject));
    expect("Повторное обследование — " + Cp1251ToUtf8(later.Subject));
    expect("Дата печати: 15.03.2024");
    // The legend names the tests; the table shows every index, earlier, later and difference.
    expect("Первое обследование Повторное обследование");
    const stats::TRetest retest = stats::CompareTests(load_.Analysis.Result, later.Analysis.Result);
    ASSERT_GE(retest.Rows.size(), 5u);
    for (const stats::TIndexRow& row : retest.Rows)
        expect(std::string(row.Name) + " " + stats::NumberText(row.Earlier, row.Decimals, '.') +
               " " + stats::NumberText(row.Later, row.Decimals, '.') + " " +
               stats::NumberText(row.Difference, row.Decimals, '.'));
    // Under it the Welch comparisons and both curves minute by minute, as the text has them.
    const QStringList lines = ComparisonPageLines(load_, later);
    EXPECT_TRUE(lines.filter(QStringLiteral("Уэлча")).size() == 1)
        << lines.join('\n').toStdString();
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty()) expect(Squeezed(line));
    EXPECT_FALSE(LayOutComparisonPage(static_cast<int>(retest.Rows.size()), lines).TextCut);
}

TEST_F(ComparePage, LongTestsFitThePageAndWritesAreAtomic) {
    // An hour-long test: its minute lines shrink the text, all of it still on the page.
    const TLoadedProtocol longTest = Generated(5, 3600);
    ASSERT_EQ(longTest.Analysis.Stopped, TAnalysisStep::Done);
    const QStringList lines = ComparisonPageLines(load_, longTest);
    ASSERT_GE(lines.size(), 60);
    const TComparePageLayout normal =
        LayOutComparisonPage(9, ComparisonPageLines(load_, Generated(31, 420)));
    const TComparePageLayout layout = LayOutComparisonPage(9, lines);
    EXPECT_LT(layout.TextFontSize, normal.TextFontSize);
    EXPECT_FALSE(layout.TextCut);
    for (const TComparePageLayout& l : {normal, layout}) {
        EXPECT_GE(l.Legend.top(), l.Chart.bottom());
        EXPECT_GE(l.Table.top(), l.Legend.bottom());
        EXPECT_GE(l.Text.top(), l.Table.bottom());
        EXPECT_LE(l.Text.bottom(), kPageHeight);
    }

    // A folder that does not exist: the message, no file; an existing file is replaced whole.
    EXPECT_THROW(WriteComparisonPdf(dir_ / "no" / "c.pdf", load_, longTest, QDate(2024, 3, 15)),
                 std::exception);
    EXPECT_FALSE(fs::exists(dir_ / "no"));
    const fs::path pdf = dir_ / "c.pdf";
    WriteFileAtomically(pdf, std::string(100000, 'x'));
    WriteComparisonPdf(pdf, load_, longTest, QDate(2024, 3, 15));
    const std::string written = ReadWholeFile(pdf, 1u << 26);
    EXPECT_EQ(written.rfind("%PDF", 0), 0u);
    EXPECT_NE(written.find("%%EOF", written.size() - 8), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ComparePage, WarningsStandAboveTheHeaderWholeAndLeaveTheRestOnThePage) {
    const TLoadedProtocol longTest = Generated(5, 3600);
    const QStringList warnings{
        QStringLiteral("Внимание: обследования разных испытуемых — «Константинопольская "
                       "Александра Владимировна» (первое) и «Петрова Анна Сергеевна» "
                       "(повторное)."),
        QStringLiteral("Внимание: оба обследования проведены в один день — 10.03.2026.")};
    const QStringList lines = ComparisonPageLines(load_, longTest);
    const TComparePageLayout plain = LayOutComparisonPage(9, lines);
    const TComparePageLayout warned = LayOutComparisonPage(9, lines, warnings);
    EXPECT_TRUE(plain.Warnings.isEmpty());
    EXPECT_EQ(warned.Warnings.top(), plain.Header.top());
    EXPECT_LT(warned.Warnings.bottom(), warned.Header.top());
    // The long names do not fit one line: the warning wraps instead of being cut.
    EXPECT_GT(warned.Warnings.height(), 2.5 * page::LineHeight(page::Font("Arial", 95, true)));
    // Their room comes out of the chart: the table and the text stay where they were.
    EXPECT_LT(warned.Chart.height(), plain.Chart.height());
    EXPECT_EQ(warned.Table, plain.Table);
    EXPECT_EQ(warned.Text, plain.Text);
    EXPECT_FALSE(warned.TextCut);
    EXPECT_LE(warned.Text.bottom(), kPageHeight);

    const fs::path pdf = dir_ / "warned.pdf";
    WriteComparisonPdf(pdf, load_, longTest, QDate(2024, 3, 15), nullptr, warnings);
    EXPECT_NE(PdfToolOutput("pdfinfo", {PdfToolPath(pdf)}).find("Pages:           1\n"),
              std::string::npos);
    const std::string text = Squeezed(QString::fromStdString(
        PdfToolOutput("pdftotext", {"-enc", "UTF-8", PdfToolPath(pdf), "-"})));
    // Every word of both warnings, in order, before the heading of the page.
    const std::size_t heading = text.find("Сравнение двух обследований");
    ASSERT_NE(heading, std::string::npos) << text;
    for (const QString& warning : warnings) {
        const std::size_t at = text.find(Squeezed(warning));
        EXPECT_LT(at, heading) << Squeezed(warning) << "\nin: " << text;
    }
}

}  // namespace
}  // namespace orvix
