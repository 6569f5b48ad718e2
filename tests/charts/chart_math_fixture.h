// A chart laid out without a display: a fixed-width text measure standing in for the fonts,
// and the failure message of an action.
#pragma once

#include <string>
#include <string_view>

#include "base/errors.h"
#include "charts/custom_chart.h"

namespace orvix::testing {

// Every character 7 pixels wide; a line is the font height plus 2.
class FixedMeasure : public TTextMeasure {
  public:
    int TextWidth(const TChartFont&, std::string_view text) const override {
        return 7 * static_cast<int>(text.size());
    }
    int TextHeight(const TChartFont& font) const override { return font.Height + 2; }
};

// A chart that lays itself out instead of painting, and counts immediate repaints.
class CountingChart : public TCustomChart {
  public:
    void RepaintNow() override {
        ++repaints;
        Lay(1023, 369);
    }
    void Lay(int w, int h) { CalcLayout(w, h, FixedMeasure{}); }
    int repaints = 0;
};

// The message of the failure `action` raises, or "no failure".
template <class Action>
std::string FailureMessage(Action&& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no failure";
}

}  // namespace orvix::testing
