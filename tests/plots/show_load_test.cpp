// Showing a load without windows: the report and both charts get what the Data command's
// order reached before the first failure, whether the analysis or a chart met it.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/numbers.h"
#include "charts/axis_labels.h"
#include "plots/result_plots.h"
#include "tests/charts/chart_math_fixture.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix {
namespace {
using protogen::RecordLine;

struct Shown {
    std::string failure;
    int reportLines = 0;
};

Shown Show(const protogen::TProtocolText& p, TDetachedCharts& charts) {
    const TLoadedProtocol load = AnalyseText(p.Text());
    TTextLines report;
    Shown shown;
    try {
        ShowLoad(load, report, charts.Tempo, charts.Search);
    } catch (const Exception& e) {
        shown.failure = e.Message();
    }
    for (std::size_t at = report.Ref().find("\r\n"); at != std::string::npos;
         at = report.Ref().find("\r\n", at + 2))
        ++shown.reportLines;
    return shown;
}

protogen::TProtocolText FourRecords() {
    auto p = protogen::BasicProtocol();
    p.Head[24] = "4";
    p.Records = {RecordLine(5, "3.0", "3.0", " +"), RecordLine(9, "4.0", "1.0", " +"),
                 RecordLine(14, "12.0", "8.0", " -"), RecordLine(17, "13.0", "1.0", " +")};
    return p;
}

TEST(ShowLoad, EachViewStopsWhereTheFirstFailureStoppedTheLoad) {
    TDetachedCharts charts;
    const TSearchTimePlot& search = charts.Search;
    const TTempoPlot& tempo = charts.Tempo;

    ASSERT_EQ(Show(FourRecords(), charts).failure, "");
    EXPECT_EQ(search.SeriesSel->PointCount(), 4);
    EXPECT_EQ(search.SelectionCount(), 4);
    EXPECT_EQ(tempo.Series5sec->PointCount(), 3);
    EXPECT_EQ(tempo.Chart().Foot.Text().at(0), FourRecords().Head[2]);

    // The analysis fails in the third record: two points shown, the left axis and the
    // five-second chart as they were, the report without its tempo lines.
    auto badRecord = FourRecords();
    badRecord.Records[2] = RecordLine(14, "12.0", "8,0", " -");
    const double top = search.Chart().LeftAxis.Maximum();
    const Shown partial = Show(badRecord, charts);
    EXPECT_EQ(partial.failure, "'          8,0' is not a valid floating point value");
    EXPECT_EQ(partial.reportLines, 18);
    EXPECT_EQ(search.SeriesSel->PointCount(), 2);
    EXPECT_EQ(search.Chart().LeftAxis.Maximum(), top);
    EXPECT_EQ(tempo.Series5sec->PointCount(), 0);

    // The search-time chart fails at its first point (a band beyond the double range): the
    // point and its mean are in, its band is not, and the analysis's later steps show nowhere.
    auto huge = FourRecords();
    huge.Head[20] = "1e308";
    huge.Head[21] = "1e308";
    const Shown overflow = Show(huge, charts);
    EXPECT_EQ(overflow.failure, "Floating point overflow");
    EXPECT_EQ(overflow.reportLines, 18);
    EXPECT_EQ(search.SeriesSel->PointCount(), 1);
    EXPECT_EQ(search.SeriesSelAv->PointCount(), 1);
    EXPECT_EQ(search.SeriesSel2Dp->PointCount(), 0);
    EXPECT_EQ(tempo.Series5sec->PointCount(), 0);

    // A header failure still empties both charts, and the caption a hover left on the
    // search-time chart goes with the previous protocol's points.
    auto badHeader = FourRecords();
    badHeader.Head[9] = "x";
    ASSERT_EQ(Show(FourRecords(), charts).failure, "");
    charts.SearchChart.BottomAxis.Title.SetCaption(search.SeriesSel->PointLabel(1));
    const Shown header = Show(badHeader, charts);
    EXPECT_EQ(charts.SearchChart.BottomAxis.Title.Caption(), TSearchTimePlot::BottomTitle());
    EXPECT_EQ(header.failure, "'x' is not a valid integer value");
    EXPECT_EQ(search.SeriesSel->PointCount(), 0);
    EXPECT_EQ(tempo.Series5sec->PointCount(), 0);
}

// A protocol the fuzzer found (kept as it was found): its search-time figures put the left
// axis labels some two billion pixels apart, and the minor ticks between them once overflowed
// int arithmetic. Loaded and laid out as a paint lays it out, under the sanitizers in CI.
TEST(ShowLoad, HugeAxisValuesLayOutWithoutOverflow) {
    const std::string input(
        "\xcf\xf0\x35\x30\x30\x30\x39\x39\x33\x45\x43\x2d\x31\x2e\x30\x65\x72\x74\x45\x0a"
        "\xff\x33\x0d\x0a\x24\x0d\x31\x78\x20\x34\x30\x20\xea\xee\xeb\xe5\xf6\x0d\x0a\x38"
        "\x0d\x0a\x0d\x0a\xc2\xf0\xe5\x31\x65\x33\x30\x38\xec\xff\x20\xf0\xee\xf2\x25\x24"
        "\xfb\x0d\x0a\x31\x20\xec\xe8\xed\x0d\x34\x0d\x0a\x31\x30\x0d\x0a\xe2\x2e\x29\x3a"
        "\x0d\x0a\x33\x39\x0d\x0a\x32\x0d\x0a\x39\x39\x39\x39\x39\x39\x39\x39\x30\x0d\x0a"
        "\xff\xff\x2b\x0a\x37\x34\x39\x39\x39\x39\x39\x39\x39\x39\x39\x39\x39\x39\x39\x39"
        "\x30\x38\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30"
        "\x30\x30\x32\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30"
        "\x30\x30\x30\x30\x30\x30\x30\x30\x0d\x0a\xca\xf2\x20\xf2\xee\xf7\xed\xee\xf1\xf2"
        "\x0a\x30\x2e\x39\x35\x0d\x0a\x0d\xed\x3a\x0d\x0a\x30\x2e\x45\x2b\x35\x36\x32\x0d"
        "\x0a\x2e\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30\x30"
        "\x30\x33\x31\x30\x0d\x0a\x4d\x65\x61\x6e\x0a\x20\xff\xdf\xff\xff\x0d\x0a\x30\x0d"
        "\x0a\xcf\xe0\xd3\xe2\xe8\x32\x32\x20\x20\x20\x20\x20\x30\x2e\x37\x38\x33\x20\x20"
        "\x2b\x0d\x0a\x20\x20\x20\x20\x20\x30\x31\x20\x20\x20\x35\x31\x36\x2e\x30\x20\x20"
        "\x20\x20",
        282);
    SetDecimalChar('.');
    const TLoadedProtocol load = AnalyseText(input);
    TDetachedCharts charts;
    TTextLines report;
    try {
        ShowLoad(load, report, charts.Tempo, charts.Search);
    } catch (const Exception&) {
    }
    for (TCustomChart* chart : {&charts.TempoChart, &charts.SearchChart})
        chart->CalcLayout(kResultChartWidth, kResultChartHeight, testing::FixedMeasure{});
    // Minor ticks between labels near the ends of the int range stay inside the span.
    EXPECT_EQ(MinorTickPixels({2000000000, -1510752688}, 3, 0, 300000000),
              (std::vector<int>{244623656}));
}

}  // namespace
}  // namespace orvix
