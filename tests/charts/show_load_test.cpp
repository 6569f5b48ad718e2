// Showing a load without windows: the report and both charts get what the Data command's
// order reached before the first failure, whether the analysis or a chart met it.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "charts/result_plots.h"
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

}  // namespace
}  // namespace orvix
