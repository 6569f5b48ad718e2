#include "axis.h"

#include <algorithm>

#include "chart_errors.h"
#include "custom_chart.h"

namespace orvix {

void TChartAxisTitle::SetCaption(std::string caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    if (owner_) owner_->Invalidate();
}

TChartAxis::TChartAxis(TCustomChart* owner, bool horizontal, bool otherSide)
    : Title(owner, horizontal ? 0 : 90),
      owner_(owner),
      horizontal_(horizontal),
      otherSide_(otherSide && !horizontal) {
    map_.Horizontal = horizontal;
}

void TChartAxis::SetAutomatic(bool value) {
    automatic_ = value;
    automaticMinimum_ = value;
    automaticMaximum_ = value;
    owner_->Invalidate();
}

void TChartAxis::SetAutomaticMinimum(bool value) {
    automaticMinimum_ = value;
    if (!value)
        automatic_ = false;
    else if (automaticMaximum_)
        automatic_ = true;
    owner_->Invalidate();
}

void TChartAxis::SetAutomaticMaximum(bool value) {
    automaticMaximum_ = value;
    if (!value)
        automatic_ = false;
    else if (automaticMinimum_)
        automatic_ = true;
    owner_->Invalidate();
}

void TChartAxis::SetMinimum(double value) {
    if (value > maximum_) throw AxisException(msg::kAxisMinimum);
    if (value == minimum_) return;
    minimum_ = value;
    owner_->Invalidate();
}

void TChartAxis::SetMaximum(double value) {
    if (value < minimum_) throw AxisException(msg::kAxisMaximum);
    if (value == maximum_) return;
    maximum_ = value;
    owner_->Invalidate();
}

void TChartAxis::ShiftRange(double offset, bool checkLimits) {
    if (checkLimits) {
        if (offset == 0) return;
        double low = 0;
        double high = 0;
        owner_->CalcDataRange(*this, low, high);
        if (offset > 0 && !(high > maximum_)) return;
        if (offset < 0 && !(low < minimum_)) return;
    }
    automatic_ = automaticMinimum_ = automaticMaximum_ = false;
    maximum_ += offset;
    minimum_ += offset;
    owner_->RepaintNow();
}

int TChartAxis::TickBand() const noexcept {
    int band = AxisPen.Visible ? AxisPen.Width : 0;
    int ticks = Ticks.Visible ? TickLength : 0;
    if (MinorTicks.Visible) ticks = std::max(ticks, MinorTickLength);
    return band + ticks;
}

}  // namespace orvix
