// The chart window control: a TCustomChart that paints itself into an off-screen image, reused
// while its size stays, and copies it to the window in one step.
#pragma once

#include <QImage>
#include <QWidget>

#include "chart_painter.h"
#include "custom_chart.h"

namespace orvix {

class TChart : public QWidget, public TCustomChart {
    Q_OBJECT

  public:
    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;

    // Changes only schedule a paint, so many changes in one command give one paint.
    void Invalidate() override;
    // Paints at once; a hidden chart still lays itself out, so its state is current.
    void RepaintNow() override;

    // Lays the chart out for width x height and paints it (without child widgets).
    void PaintTo(QPainter& painter, int width, int height);
    // The control at its size as the screen would show it, children included, rendered
    // off-screen.
    QImage RenderImage();

    // How many times the chart has been painted.
    int PaintCount() const noexcept { return paintCount_; }

  signals:
    // The mouse moved over the chart; client coordinates.
    void MouseMoved(int x, int y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void PaintBuffer();

    TQtTextMeasure measure_;
    QImage buffer_;
    int paintCount_ = 0;
};

}  // namespace orvix
