// One entry of a chart's legend: the look of a series' mark and what it stands for. The chart
// component draws no legend; a plot that wants one lists its entries and whoever shows the
// chart paints them (curve_legend.h).
#pragma once

#include <string>

#include "chart_types.h"

namespace orvix {

struct TLegendEntry {
    enum class TMark { Line, Bar };
    TMark Mark = TMark::Line;
    TColor Color = clBlack;
    TPenStyle Style = psSolid;
    int Width = 1;
    bool Marker = false;        // a square marker on the line
    bool HollowMarker = false;  // the marker is an outline only
    std::string Text;           // UTF-8
};

}  // namespace orvix
