// The raster canvas: when it writes into an image's memory itself, and that what it writes
// there is what the painter would draw (fills, frames, clip) or a true one-pixel line.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPen>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "charts/qt_text_measure.h"
#include "charts/raster_canvas.h"

namespace orvix {
namespace {

constexpr int kSize = 64;

// Runs `draw` on a white kSize x kSize image of `format` and returns it as RGB32.
QImage Draw(QImage::Format format, const std::function<void(TRasterCanvas&)>& draw,
            bool* direct = nullptr) {
    QImage image(kSize, kSize, format);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TRasterCanvas canvas(painter);
        if (direct) *direct = canvas.Direct();
        draw(canvas);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

TColor At(const QImage& image, int x, int y) {
    return FromQColor(image.pixelColor(x, y));
}

TEST(RasterCanvas, WritesDirectlyOnlyIntoPlainUntransformedUnclippedImages) {
    struct Row {
        std::string name;
        QImage::Format format;
        std::function<void(QPainter&)> prepare;
        bool direct;
    };
    const auto none = [](QPainter&) {};
    const std::vector<Row> rows = {
        {"rgb32", QImage::Format_RGB32, none, true},
        {"argb32 premultiplied", QImage::Format_ARGB32_Premultiplied, none, true},
        {"argb32", QImage::Format_ARGB32, none, false},
        {"rgb888", QImage::Format_RGB888, none, false},
        {"clipped", QImage::Format_RGB32, [](QPainter& p) { p.setClipRect(1, 1, 9, 9); }, false},
        {"translated", QImage::Format_RGB32, [](QPainter& p) { p.translate(3, 0); }, false},
    };
    for (const Row& row : rows) {
        QImage image(16, 16, row.format);
        QPainter painter(&image);
        row.prepare(painter);
        EXPECT_EQ(TRasterCanvas(painter).Direct(), row.direct) << row.name;
    }
}

TEST(RasterCanvas, DirectFillsFramesAndClipMatchThePaintersOwn) {
    const auto draw = [](TRasterCanvas& c) {
        c.Fill(-5, -5, 12, 9, clRed);              // over the top left corner
        c.Fill(58, 30, 20, 3, clBlue);             // over the right edge
        c.Fill(20, 20, 0, 5, clBlack);             // empty
        c.Fill(20, 20, 5, -1, clBlack);            // empty
        c.Fill(2, 40, 64, 70, RGBColor(1, 2, 3));  // large: always the painter's block fill
        c.Frame(10, 10, 7, 5, clGreen);
        {
            TRasterCanvas::TScope scope(c);
            c.SetClip(QRect(30, 5, 20, 20));
            c.Fill(25, 8, 30, 4, clGray);  // cut at both sides
            c.Frame(28, 3, 10, 10, clBlack);
        }
        c.Fill(25, 30, 30, 2, clGreen);  // the clip ended with the scope
    };
    bool direct = false;
    bool painted = true;
    const QImage fast = Draw(QImage::Format_RGB32, draw, &direct);
    const QImage reference = Draw(QImage::Format_RGB888, draw, &painted);
    ASSERT_TRUE(direct);
    ASSERT_FALSE(painted);
    EXPECT_EQ(fast, reference);
    // The picture is what the calls say, so equality above is not two blank images.
    EXPECT_EQ(At(fast, 0, 0), clRed);
    EXPECT_EQ(At(fast, 63, 31), clBlue);
    EXPECT_EQ(At(fast, 10, 12), clGreen);
    EXPECT_EQ(At(fast, 11, 12), clWhite);
    EXPECT_EQ(At(fast, 29, 9), clWhite);  // left of the clip
    EXPECT_EQ(At(fast, 30, 9), clGray);
    EXPECT_EQ(At(fast, 49, 9), clGray);
    EXPECT_EQ(At(fast, 50, 9), clWhite);  // right of the clip
    EXPECT_EQ(At(fast, 28, 8), clWhite);  // the frame's left and top sides are cut off
    EXPECT_EQ(At(fast, 32, 3), clWhite);
    EXPECT_EQ(At(fast, 37, 5), clBlack);
    EXPECT_EQ(At(fast, 30, 12), clBlack);
    EXPECT_EQ(At(fast, 25, 30), clGreen);
}

// A solid one-pixel line on a direct image: inside image and clip, one pixel for each step
// along its longer extent, each within half a pixel of the exact line, both ends included.
TEST(RasterCanvas, DirectLinesAreOnePixelLinesCutAtTheClip) {
    struct Line {
        QPoint from;
        QPoint to;
    };
    const std::vector<Line> lines = {
        {{3, 4}, {60, 21}},          {{60, 21}, {3, 4}},      {{10, 2}, {17, 61}},
        {{40, 60}, {5, 5}},          {{7, 7}, {7, 7}},        {{0, 30}, {63, 30}},
        {{-30000, 10}, {30000, 50}}, {{20, -500}, {40, 700}}, {{-9, -9}, {-1, -5}},
    };
    for (const bool clipped : {false, true}) {
        const QRect limit = clipped ? QRect(8, 12, 40, 30) : QRect(0, 0, kSize, kSize);
        for (const Line& line : lines) {
            const QImage image = Draw(QImage::Format_RGB32, [&](TRasterCanvas& c) {
                TRasterCanvas::TScope scope(c);
                if (clipped) c.SetClip(limit);
                c.BeginLines(TChartPen{});
                c.Line(line.from, line.to, clBlack);
                c.FlushLines();
            });
            const QPoint d = line.to - line.from;
            const bool alongX = std::abs(d.x()) >= std::abs(d.y());
            // The exact line's minor coordinate at major coordinate m.
            const auto exact = [&](int m) {
                if (d.x() == 0 && d.y() == 0) return double(alongX ? line.from.y() : line.from.x());
                return alongX ? line.from.y() + double(m - line.from.x()) * d.y() / d.x()
                              : line.from.x() + double(m - line.from.y()) * d.x() / d.y();
            };
            const std::string name = std::to_string(line.from.x()) + "," +
                                     std::to_string(line.from.y()) + " to " +
                                     std::to_string(line.to.x()) + "," +
                                     std::to_string(line.to.y()) + (clipped ? " clipped" : "");
            for (int major = 0; major < kSize; ++major) {
                int count = 0;
                for (int minor = 0; minor < kSize; ++minor) {
                    const int x = alongX ? major : minor;
                    const int y = alongX ? minor : major;
                    if (At(image, x, y) != clBlack) continue;
                    ++count;
                    EXPECT_TRUE(limit.contains(x, y)) << name << " at " << x << "," << y;
                    EXPECT_LE(std::abs(minor - exact(major)), 0.5)
                        << name << " at " << x << "," << y;
                }
                EXPECT_LE(count, 1) << name << " at " << major;
                // Where the exact line passes well inside the limit, a pixel is there.
                const int lo = alongX ? std::min(line.from.x(), line.to.x())
                                      : std::min(line.from.y(), line.to.y());
                const int hi = alongX ? std::max(line.from.x(), line.to.x())
                                      : std::max(line.from.y(), line.to.y());
                const QPoint near = alongX ? QPoint(major, int(std::lround(exact(major))))
                                           : QPoint(int(std::lround(exact(major))), major);
                if (major >= lo && major <= hi && limit.adjusted(1, 1, -1, -1).contains(near)) {
                    EXPECT_EQ(count, 1) << name << " at " << major;
                }
            }
            for (const QPoint end : {line.from, line.to})
                if (limit.contains(end)) {
                    EXPECT_EQ(At(image, end.x(), end.y()), clBlack) << name;
                }
        }
    }
}

// Segments that join in one colour go to the painter as one polyline, so a dash pattern runs
// on across the joint; a new colour starts a new line.
TEST(RasterCanvas, JoinedSegmentsKeepOneDashPattern) {
    const TChartPen dashed{clBlack, 1, psDash, true};
    const QImage canvas = Draw(QImage::Format_RGB32, [&](TRasterCanvas& c) {
        c.BeginLines(dashed);
        c.Line({2, 10}, {9, 10}, clRed);  // 7 pixels: not a whole dash period
        c.Line({9, 10}, {9, 40}, clRed);
        c.Line({9, 40}, {50, 40}, clBlue);
        c.FlushLines();
    });
    // The same drawn with the painter alone: joined as one polyline, or segment by segment.
    const auto reference = [](bool joined) {
        QImage image(kSize, kSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        QPen pen(Qt::red, 1, Qt::DashLine, Qt::FlatCap);
        pen.setCosmetic(true);
        p.setPen(pen);
        const QPoint red[] = {{2, 10}, {9, 10}, {9, 40}};
        if (joined) {
            p.drawPolyline(red, 3);
        } else {
            p.drawPolyline(red, 2);
            p.drawPolyline(red + 1, 2);
        }
        pen.setColor(Qt::blue);
        p.setPen(pen);
        const QPoint blue[] = {{9, 40}, {50, 40}};
        p.drawPolyline(blue, 2);
        return image;
    };
    EXPECT_EQ(canvas, reference(true));
    EXPECT_NE(canvas, reference(false));  // the test tells a restarted pattern apart
}

// The painter's pen is set for a line only when the line colour changes; drawing anything
// else in between must not leave the line in that other pen.
TEST(RasterCanvas, LineAfterOtherDrawingGetsItsPenBack) {
    const QImage image = Draw(QImage::Format_RGB32, [](TRasterCanvas& c) {
        c.BeginLines(TChartPen{clBlack, 1, psDash, true});
        c.Line({2, 5}, {40, 5}, clRed);
        c.FlushLines();
        c.Points({{50, 50}}, clBlue);
        c.Line({2, 20}, {40, 20}, clRed);
        c.FlushLines();
        c.Text({5, 60}, ToQFont(TChartFont{}), clGreen, "x");
        c.Line({2, 35}, {40, 35}, clRed);
        c.FlushLines();
    });
    EXPECT_EQ(At(image, 50, 50), clBlue);
    for (int y : {5, 20, 35}) {
        EXPECT_EQ(At(image, 2, y), clRed) << y;
        EXPECT_EQ(At(image, 3, y), clRed) << y;
    }
}

}  // namespace
}  // namespace orvix
