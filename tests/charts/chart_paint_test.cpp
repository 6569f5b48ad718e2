// Painting: charts set up like the two result charts are rendered at 1023 x 369 and probed at
// pixels computed from their layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "chart_data.h"
#include "charts/chart.h"

namespace orvix {
namespace {

class ChartPaint : public ::testing::Test {
  protected:
    void SetUp() override { chart.resize(1023, 369); }

    void Render() {
        image = chart.RenderImage();
        ASSERT_EQ(image.width(), 1023);
        ASSERT_EQ(image.height(), 369);
    }
    TColor At(int x, int y) const { return FromQColor(image.pixelColor(x, y)); }

    // Label pixels of an axis: probes of lines and frames keep away from ticks and grid.
    static std::set<int> LabelPixels(const TChartAxis& axis) {
        std::set<int> out;
        for (const TAxisLabel& l : axis.LabelList()) out.insert(l.Pixel);
        return out;
    }
    static int FreeOf(const std::set<int>& used, int from) {
        while (used.count(from) || used.count(from - 1) || used.count(from + 1)) ++from;
        return from;
    }

    // The (2h+1) x (2v+1) marker at (x, y): a black outline around the point's colour, and no
    // black on the ring around it.
    void ExpectMarker(int x, int y, int h, int v, TColor color) {
        for (int dx = -h; dx <= h; ++dx) {
            for (int dy = -v; dy <= v; ++dy) {
                const bool edge = std::abs(dx) == h || std::abs(dy) == v;
                EXPECT_EQ(At(x + dx, y + dy), edge ? clBlack : color) << dx << "," << dy;
            }
        }
        for (int d = -h - 1; d <= h + 1; ++d) {
            EXPECT_NE(At(x + d, y - v - 1), clBlack) << d;
            EXPECT_NE(At(x + d, y + v + 1), clBlack) << d;
        }
        for (int d = -v; d <= v; ++d) {
            EXPECT_NE(At(x - h - 1, y + d), clBlack) << d;
            EXPECT_NE(At(x + h + 1, y + d), clBlack) << d;
        }
    }

    TChart chart;
    QImage image;
};

TEST(ChartFonts, ArialResolvesToTheMetricCompatibleFont) {
#ifdef Q_OS_WIN
    const std::string family = "Arial";  // the system's own (under wine, its stand-in)
#else
    const std::string family = "Liberation Sans";  // fontconfig's stand-in of the same metrics
#endif
    for (int pixels : {13, PointsToPixels(8)}) {
        const QFontInfo info(ToQFont(TChartFont{"Arial", pixels, clBlack, false}));
        EXPECT_EQ(info.family().toStdString(), family);
        EXPECT_EQ(info.pixelSize(), pixels);
    }
    EXPECT_EQ(PointsToPixels(8), 11);
}

TEST_F(ChartPaint, InitialPlotRectangleIsTheBackWallBeforeTitlesAndAxes) {
    testing::ConfigureSearchChart(chart);
    for (int i = 0; i < chart.SeriesCount(); ++i) chart.Series(i)->SetActive(false);
    Render();
    EXPECT_EQ(chart.PlotRect(), (TRect{10, 7, 1013, 362}));
    for (auto [x, y] : {std::pair{10, 7},
                        {1013, 7},
                        {10, 362},
                        {1013, 362},
                        {500, 7},
                        {10, 200},
                        {500, 362},
                        {1013, 200}})
        EXPECT_EQ(At(x, y), clBlack) << x << "," << y;
    for (auto [x, y] : {std::pair{11, 8}, {1012, 361}, {500, 200}})
        EXPECT_EQ(At(x, y), clWhite) << x << "," << y;
    for (auto [x, y] : {std::pair{9, 7}, {10, 6}, {1014, 362}, {1013, 363}})
        EXPECT_EQ(At(x, y), chart.Color) << x << "," << y;
    // The raised bevel at the control's edge.
    EXPECT_EQ(At(0, 100), clWhite);
    EXPECT_EQ(At(1022, 100), RGBColor(160, 160, 160));
}

TEST_F(ChartPaint, SearchChartFrameAxesGridMarkersAndBand) {
    const auto s = testing::ConfigureSearchChart(chart);
    chart.Title.Add("Title line");
    chart.Foot.Add("Foot line");
    testing::FillSearchChart(chart, s, 150);
    Render();
    const TRect r = chart.PlotRect();
    ASSERT_LT(r.Left, 100);
    ASSERT_GT(r.Top, 7);
    const std::set<int> xs = LabelPixels(chart.BottomAxis);
    const std::set<int> ys = LabelPixels(chart.LeftAxis);
    ASSERT_GE(xs.size(), 5u);
    ASSERT_GE(ys.size(), 4u);  // 0.00 .. 3.00: a range of width 1 or more steps by 1 at least

    // Back wall: the frame on the plot's outermost pixels; the control's colour beyond.
    const int fx = FreeOf(xs, r.Left + 40);
    const int fy = FreeOf(ys, r.Top + 5);
    EXPECT_EQ(At(fx, r.Top), clBlack);
    EXPECT_EQ(At(fx, r.Top + 1), clWhite);
    EXPECT_EQ(At(fx, r.Top - 1), chart.Color);
    EXPECT_EQ(At(r.Right, fy), clBlack);
    EXPECT_EQ(At(r.Right - 1, fy), clWhite);
    EXPECT_EQ(At(r.Right + 1, fy), chart.Color);

    // Axis lines: two pixels from the plot's edge outwards; ticks continue them in grey.
    EXPECT_EQ(At(fx, r.Bottom), clBlack);
    EXPECT_EQ(At(fx, r.Bottom + 1), clBlack);
    EXPECT_EQ(At(fx, r.Bottom + 2), chart.Color);
    EXPECT_EQ(At(r.Left, fy), clBlack);
    EXPECT_EQ(At(r.Left - 1, fy), clBlack);
    EXPECT_EQ(At(r.Left - 2, fy), chart.Color);
    const int tickX = *std::next(xs.begin());
    const int tickY = *ys.begin();  // 3.00, clear of the series
    for (int d = 2; d <= 5; ++d) {
        EXPECT_EQ(At(tickX, r.Bottom + d), clGray) << d;
        EXPECT_EQ(At(r.Left - d, tickY), clGray) << d;
    }
    // Grid: dotted grey, every other pixel, inside the frame.
    EXPECT_EQ(At(tickX, r.Top + 1), clGray);
    EXPECT_EQ(At(tickX, r.Top + 2), clWhite);
    EXPECT_EQ(At(tickX, r.Top + 3), clGray);
    EXPECT_EQ(At(r.Right - 2, tickY), At(r.Right - 4, tickY));
    EXPECT_NE(At(r.Right - 2, tickY), At(r.Right - 3, tickY));

    // 7 x 7 markers in the point's colour: a wrong (red) and a correct (green) selection.
    for (int i : {3, 2}) {  // both clear of the mean line
        SCOPED_TRACE(i);
        ExpectMarker(s.Sel->CalcXPos(i), s.Sel->CalcYPos(i), 3, 3, s.Sel->PointColor(i));
    }
    EXPECT_EQ(s.Sel->PointColor(3), clRed);
    EXPECT_EQ(s.Sel->PointColor(2), clGreen);

    // The +2 SD line: dash-dot, dashes longer than dots, short gaps.
    const int bandY = chart.LeftAxis.CalcPosValue(2.0 + 2 * 0.6);
    std::vector<int> runs;
    std::vector<int> gaps;
    int run = 0;
    int gap = 0;
    for (int x = r.Left + 1; x < r.Right; ++x) {
        if (At(x, bandY) == clBandLine) {
            if (gap) gaps.push_back(gap);
            gap = 0;
            ++run;
        } else {
            if (run) runs.push_back(run);
            run = 0;
            ++gap;
        }
    }
    // The pattern runs on from segment to segment: dashes and dots alternate throughout.
    ASSERT_GT(runs.size(), 50u);
    for (std::size_t i = 1; i + 1 < runs.size(); ++i) {
        EXPECT_TRUE(runs[i] == 1 || runs[i] == 4) << i << ": " << runs[i];
        EXPECT_NE(runs[i], runs[i + 1]) << i;
    }
    for (std::size_t i = 1; i < gaps.size(); ++i) EXPECT_EQ(gaps[i], 2) << i;
    EXPECT_EQ(At(fx, r.Bottom + 2), chart.Color);

    // Texts in their colours and bands: blue title, black axis labels.
    const auto count = [&](TColor c, int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 1023; ++x) n += At(x, y) == c;
        return n;
    };
    EXPECT_GT(count(clBlue, chart.Layout().TitleLines[0].Top, r.Top), 20);
    EXPECT_GT(count(clBlue, r.Bottom + 6, 369), 20);  // the foot
    EXPECT_GT(count(clBlack, chart.BottomAxis.PosLabels(), chart.BottomAxis.PosTitle()), 100);
}

TEST_F(ChartPaint, FiveSecondChartMarkersBarsAndTheClippedZeroLevel) {
    const auto s = testing::ConfigureFiveSecChart(chart);
    testing::FillFiveSecChart(s, 20);
    Render();
    const TRect r = chart.PlotRect();
    const TChartAxis& left = chart.LeftAxis;

    // 9 x 9 markers: interval 5 (wrong, red), interval 3 (green).
    ExpectMarker(s.Sec->CalcXPos(4), s.Sec->CalcYPos(4), 4, 4, clRed);
    ExpectMarker(s.Sec->CalcXPos(2), s.Sec->CalcYPos(2), 4, 4, clGreen);

    // Interval 5's bar of 3 omissions: black outline, red inside, standing on the bottom edge.
    const auto b = s.Npl->BarBounds(4);
    ASSERT_EQ(s.Npl->PointY(4), 3);
    ASSERT_EQ(b.Origin, r.Bottom);
    ASSERT_GE(b.Right - b.Left, 10);
    const int mid = left.CalcPosValue(2.5);
    EXPECT_EQ(At(b.Left, b.Top), clBlack);
    EXPECT_EQ(At(b.Right - 1, b.Top), clBlack);
    EXPECT_EQ(At(b.Left, mid), clBlack);
    EXPECT_EQ(At(b.Right - 1, mid), clBlack);
    EXPECT_EQ(At(b.Left + 1, b.Top + 1), clRed);
    EXPECT_EQ(At((b.Left + b.Right) / 2, mid), clRed);
    EXPECT_NE(At(b.Left - 1, mid), clRed);
    EXPECT_NE(At(b.Right, mid), clRed);
    // Its bottom outline row falls on the clipped row above the edge.
    EXPECT_NE(At(b.Left + 2, r.Bottom - 1), clRed);
    EXPECT_NE(At(b.Left + 2, r.Bottom - 1), clBlack);
    EXPECT_EQ(At(b.Left + 2, r.Bottom - 2), clRed);

    // Interval 4 has no omissions: its flat bar lies on the bottom edge and is clipped away.
    const auto zero = s.Npl->BarBounds(3);
    ASSERT_EQ(zero.Top, r.Bottom);
    for (int x = zero.Left; x < zero.Right; ++x) {
        EXPECT_EQ(At(x, r.Bottom), clBlack) << x;
        EXPECT_NE(At(x, r.Bottom - 1), clRed) << x;
    }

    // Interval 9 has no selections: only the upper three rows of its marker show.
    ASSERT_EQ(s.Sec->PointY(8), 0);
    const int x9 = s.Sec->CalcXPos(8);
    const int y9 = s.Sec->CalcYPos(8);
    ASSERT_EQ(y9, r.Bottom);
    const TColor c9 = s.Sec->PointColor(8);
    EXPECT_EQ(At(x9, y9 - 4), clBlack);
    EXPECT_EQ(At(x9, y9 - 3), c9);
    EXPECT_EQ(At(x9, y9 - 2), c9);
    EXPECT_NE(At(x9, y9 - 1), c9);
    EXPECT_NE(At(x9 - 4, y9 - 1), clBlack);
    EXPECT_NE(At(x9, y9 + 2), c9);
    EXPECT_EQ(At(x9 - 4, y9 - 2), clBlack);
}

// The right axis mirrors the left one: its line on the plot's right edge and beyond, grey
// ticks at its labels, the labels and the title right of them; its bars stand by its scale.
TEST_F(ChartPaint, RightAxisLineTicksLabelsTitleAndItsBars) {
    SetUpResultChartLook(chart);
    TLineSeries* line = chart.AddSeries<TLineSeries>();
    TBarSeries* bars = chart.AddSeries<TBarSeries>();
    bars->SetVertAxis(aRightAxis);
    bars->SeriesColor = clRed;
    for (int i = 0; i < 12; ++i) {
        line->AddPoint(i, 40 + i);
        bars->AddPoint(i, i % 4);
    }
    chart.RightAxis.LabelStyle = talValue;
    chart.RightAxis.AxisValuesFormat = "#0";
    chart.RightAxis.Grid.Visible = false;
    chart.RightAxis.Title.Font = chart.LeftAxis.Title.Font;
    chart.RightAxis.Title.SetCaption("Right axis title");
    Render();
    const TRect r = chart.PlotRect();
    const TChartAxis& right = chart.RightAxis;
    ASSERT_TRUE(right.Shown());
    const std::set<int> ys = LabelPixels(right);
    ASSERT_GE(ys.size(), 3u);
    const int fy = FreeOf(ys, r.Top + 5);

    EXPECT_EQ(At(r.Right, fy), clBlack);
    EXPECT_EQ(At(r.Right + 1, fy), clBlack);
    EXPECT_EQ(At(r.Right + 2, fy), chart.Color);
    const int tickY = *ys.rbegin();
    for (int d = 2; d <= 5; ++d) EXPECT_EQ(At(r.Right + d, tickY), clGray) << d;
    EXPECT_EQ(At(r.Right + 6, tickY), chart.Color);

    const auto count = [&](TColor c, int left, int rightEdge, int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < rightEdge; ++x) n += At(x, y) == c;
        return n;
    };
    // Labels in their band, the title beyond it, nothing past the margin.
    const int outer = chart.Layout().InitialPlot.Right;
    EXPECT_GT(count(clBlack, right.PosLabels(), right.PosTitle(), r.Top, r.Bottom), 30);
    EXPECT_GT(count(clBlack, right.PosTitle(), outer + 1, r.Top, r.Bottom), 100);
    EXPECT_EQ(count(clBlack, outer + 1, 1023, r.Top, r.Bottom), 0);

    // A bar of 3 reaches the right axis's 3, far above where the left axis would put 3.
    const int k = 3;
    ASSERT_EQ(bars->PointY(k), 3);
    const auto b = bars->BarBounds(k);
    EXPECT_EQ(b.Top, right.CalcPosValue(3));
    EXPECT_EQ(At((b.Left + b.Right) / 2, b.Top + 3), clRed);
    EXPECT_NE(At((b.Left + b.Right) / 2, b.Top - 2), clRed);
}

TEST_F(ChartPaint, ManyChangesGiveOnePaintAndShiftingPaintsAtOnce) {
    const auto s = testing::ConfigureSearchChart(chart);
    chart.show();
    QApplication::processEvents();
    const int shown = chart.PaintCount();
    ASSERT_GE(shown, 1);
    testing::FillSearchChart(chart, s, 200);
    chart.Title.Add("title");
    chart.BottomAxis.Title.SetCaption("caption");
    EXPECT_EQ(chart.PaintCount(), shown);
    QApplication::processEvents();
    EXPECT_EQ(chart.PaintCount(), shown + 1);
    chart.BottomAxis.ShiftRange(60, false);
    EXPECT_EQ(chart.PaintCount(), shown + 2);
    chart.hide();
}

TEST_F(ChartPaint, HiddenChartShiftUpdatesTheLayoutForTheHitTest) {
    const auto s = testing::ConfigureSearchChart(chart);
    testing::FillSearchChart(chart, s, 150);
    Render();
    EXPECT_EQ(s.Sel->FirstVisible(), 0);
    chart.BottomAxis.ShiftRange(60, false);
    EXPECT_GT(s.Sel->FirstVisible(), 20);
    const int i = s.Sel->FirstVisible() + 1;
    EXPECT_EQ(s.Sel->HitTest(s.Sel->CalcXPos(i) + 2, s.Sel->CalcYPos(i) - 2), i);
}

TEST_F(ChartPaint, RenderedImageIncludesChildWidgets) {
    testing::ConfigureSearchChart(chart);
    QWidget button(&chart);
    button.setGeometry(958, 327, 25, 25);
    button.setAutoFillBackground(true);
    QPalette palette = button.palette();
    palette.setColor(QPalette::Window, QColor(255, 0, 255));
    button.setPalette(palette);
    Render();
    EXPECT_EQ(At(970, 340), RGBColor(255, 0, 255));
    EXPECT_NE(At(950, 340), RGBColor(255, 0, 255));
}

TEST_F(ChartPaint, MouseMovesAreReportedAndThePointUnderTheCursorFound) {
    const auto s = testing::ConfigureSearchChart(chart);
    testing::FillSearchChart(chart, s, 30);
    chart.show();
    QApplication::processEvents();
    std::vector<std::pair<int, int>> moves;
    QObject::connect(&chart, &TChart::MouseMoved, [&](int x, int y) { moves.emplace_back(x, y); });
    QMouseEvent move(QEvent::MouseMove, QPointF(120, 45), chart.mapToGlobal(QPointF(120, 45)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&chart, &move);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], std::make_pair(120, 45));

    const int i = 7;
    const QPointF at(s.Sel->CalcXPos(i) + 1, s.Sel->CalcYPos(i));
    QMouseEvent over(QEvent::MouseMove, at, chart.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&chart, &over);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(s.Sel->HitTest(moves[1].first, moves[1].second), i);
    chart.hide();
}

}  // namespace
}  // namespace orvix

namespace orvix {
namespace {

// Tiny controls and degenerate data still paint, with a plot rectangle that is never inside out.
TEST(ChartPaintDegenerate, TinySizesEmptyAndSinglePointCharts) {
    for (int points : {0, 1}) {
        for (QSize size : {QSize(1, 1), QSize(4, 3), QSize(60, 20), QSize(1023, 369)}) {
            TChart chart;
            chart.resize(size);
            const auto s = testing::ConfigureFiveSecChart(chart);
            chart.Title.Add("title");
            chart.Foot.Add("foot");
            testing::FillFiveSecChart(s, points);
            const QImage image = chart.RenderImage();
            EXPECT_EQ(image.size(), size);
            const TRect r = chart.PlotRect();
            EXPECT_GT(r.Right, r.Left) << size.width();
            EXPECT_GT(r.Bottom, r.Top) << size.width();
        }
    }
    // One interval: a zero-width bottom range puts its only label at the axis centre.
    TChart chart;
    chart.resize(1023, 369);
    const auto s = testing::ConfigureFiveSecChart(chart);
    testing::FillFiveSecChart(s, 1);
    chart.RenderImage();
    ASSERT_EQ(chart.BottomAxis.LabelList().size(), 1u);
    EXPECT_EQ(chart.BottomAxis.LabelList()[0].Pixel, chart.BottomAxis.Map().Centre());
    EXPECT_EQ(s.Sec->CalcXPos(0), chart.BottomAxis.Map().Centre());
}

}  // namespace
}  // namespace orvix
