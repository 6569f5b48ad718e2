#include "result_charts.h"

namespace orvix {

TSearchTimeChart::TSearchTimeChart(QWidget* parent) : TChart(parent) {
    setObjectName(QStringLiteral("ChartSel"));
    resize(kResultChartWidth, kResultChartHeight);

    sbLeftSel = new TSpeedButton(TArrowGlyph::Left, this);
    sbLeftSel->setObjectName(QStringLiteral("sbLeftSel"));
    sbLeftSel->setGeometry(958, 327, 25, 25);
    sbLeftSel->setEnabled(false);
    sbRightSel = new TSpeedButton(TArrowGlyph::Right, this);
    sbRightSel->setObjectName(QStringLiteral("sbRightSel"));
    sbRightSel->setGeometry(984, 327, 25, 25);

    connect(sbLeftSel, &QAbstractButton::clicked, this, [this] { sbLeftSelClick(); });
    connect(sbRightSel, &QAbstractButton::clicked, this, [this] { sbRightSelClick(); });
    connect(this, &TChart::MouseMoved, this, [this](int x, int y) { plot_.HoverAt(x, y); });
}

void TSearchTimeChart::sbLeftSelClick() {
    BottomAxis.ShiftRange(-60, false);
    // Reading the first point fails when there is none; the arrows then stay as they were.
    if (plot_.SeriesSel->PointX(0) >= BottomAxis.Minimum()) sbLeftSel->setEnabled(false);
    sbRightSel->setEnabled(true);
}

void TSearchTimeChart::sbRightSelClick() {
    BottomAxis.ShiftRange(60, false);
    if (plot_.SeriesSel->PointX(plot_.SelectionCount() - 1) <= BottomAxis.Maximum())
        sbRightSel->setEnabled(false);
    sbLeftSel->setEnabled(true);
}

TTempoChart::TTempoChart(QWidget* parent) : TChart(parent) {
    setObjectName(QStringLiteral("Chart5sec"));
    resize(kResultChartWidth, kResultChartHeight);
    connect(this, &TChart::MouseMoved, this, [this](int x, int y) { plot_.HoverAt(x, y); });
}

}  // namespace orvix
