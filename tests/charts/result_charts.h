// Charts set up like the program's two result charts (search time, five-second tempo), filled
// with made-up data, for the chart tests and benchmarks.
#pragma once

#include <cmath>
#include <string>

#include "base/cp1251.h"
#include "charts/custom_chart.h"

namespace orvix::testing {

inline constexpr TColor kBandColor = 4194368;  // RGB (64, 0, 64)

inline TChartFont Arial13(TColor color) {
    return TChartFont{"Arial", 13, color, false};
}

inline void ConfigureCommon(TCustomChart& c) {
    c.MarginTop = c.MarginBottom = 2;
    c.MarginLeft = c.MarginRight = 1;
    c.SetBackColor(clWhite);
    c.BackWall.Brush = {bsSolid, clWhite};
    c.Title.Font = Arial13(clBlue);
    c.Foot.Font = Arial13(clBlue);
    c.ScaleLastPage = false;
    c.BottomAxis.LabelStyle = talValue;
    c.LeftAxis.LabelStyle = talValue;
    c.BottomAxis.Title.Font = Arial13(clBlack);
    c.LeftAxis.Title.Font = Arial13(clBlack);
}

inline TLineSeries* AddLine(TCustomChart& c, TColor color, TPenStyle style) {
    auto* s = c.AddSeries<TLineSeries>();
    s->SeriesColor = color;
    s->LinePen.Style = style;
    s->Marks.Visible = false;
    return s;
}

struct SearchChart {
    TLineSeries* Sel;
    TLineSeries* Av;
    TLineSeries* Plus;
    TLineSeries* Minus;
};

inline SearchChart ConfigureSearchChart(TCustomChart& c) {
    ConfigureCommon(c);
    c.SetMaxPointsPerPage(60);
    c.BottomAxis.AxisValuesFormat = "##0.0";
    c.BottomAxis.Title.SetCaption(W1251("Таймер выбора, сек"));
    c.LeftAxis.SetAutomatic(false);
    c.LeftAxis.SetMaximum(504);
    c.LeftAxis.SetMinimum(0);
    c.LeftAxis.AxisValuesFormat = "#0.00";
    c.LeftAxis.Title.SetCaption(W1251("Время поиска, сек [Mean+/-2SD]"));
    SearchChart s{};
    s.Sel = AddLine(c, clRed, psSolid);
    s.Sel->Pointer.Visible = true;
    s.Sel->Pointer.SetHorizSize(3);
    s.Sel->Pointer.SetVertSize(3);
    s.Av = AddLine(c, clBlue, psSolid);
    s.Plus = AddLine(c, kBandColor, psDashDot);
    s.Minus = AddLine(c, kBandColor, psDashDot);
    return s;
}

// `count` selections about 2.3 s apart; every seventh wrong. Left axis set as a load sets it.
inline void FillSearchChart(TCustomChart& c, const SearchChart& s, int count) {
    const double mean = 2.0;
    const double sd = 0.6;
    for (int i = 0; i < count; ++i) {
        const double x = 1.5 + 2.3 * i;
        const double y = 1.0 + 1.5 * (0.5 + 0.5 * std::sin(i * 0.7));
        const bool wrong = i % 7 == 3;
        s.Sel->AddPoint(x, y, "point " + std::to_string(i), wrong ? clRed : clGreen);
        s.Av->AddPoint(x, mean);
        s.Plus->AddPoint(x, mean + 2 * sd);
        s.Minus->AddPoint(x, mean - 2 * sd);
    }
    c.LeftAxis.SetMinimum(0);
    c.LeftAxis.SetMaximum(mean + 3 * sd);
}

struct FiveSecChart {
    TBarSeries* Npl;
    TLineSeries* Sec;
    TLineSeries* Av;
    TLineSeries* Plus;
    TLineSeries* Minus;
};

inline FiveSecChart ConfigureFiveSecChart(TCustomChart& c) {
    ConfigureCommon(c);
    c.BottomAxis.AxisValuesFormat = "##0.";
    c.BottomAxis.Title.SetCaption(W1251("5-ти секундные интервалы"));
    c.LeftAxis.SetAutomaticMinimum(false);
    c.LeftAxis.SetMinimum(0);
    c.LeftAxis.AxisValuesFormat = "#0.";
    c.LeftAxis.Title.SetCaption(W1251("Число колец за 5 сек [Mean+/-2SD]"));
    FiveSecChart s{};
    s.Npl = c.AddSeries<TBarSeries>();
    s.Npl->SeriesColor = clRed;
    s.Npl->SetBarWidthPercent(40);
    s.Npl->MultiBar = mbNone;
    s.Npl->Marks.Visible = false;
    s.Sec = AddLine(c, clRed, psSolid);
    s.Sec->Pointer.Visible = true;
    s.Av = AddLine(c, clBlue, psSolid);
    s.Plus = AddLine(c, kBandColor, psDashDot);
    s.Minus = AddLine(c, kBandColor, psDashDot);
    return s;
}

// `count` intervals; selections 0..8 (0 in every ninth), a wrong one every fifth interval,
// omissions 0..3 (0 in every fourth).
inline void FillFiveSecChart(const FiveSecChart& s, int count) {
    const double mean = 5.0;
    const double sd = 1.5;
    for (int k = 1; k <= count; ++k) {
        const int wrong = k % 5 == 0 ? 1 : 0;
        s.Sec->AddPoint(k, (k * 5) % 9, wrong ? "N wrong = 1" : "no errors",
                        wrong ? clRed : clGreen);
        s.Av->AddPoint(k, mean);
        s.Plus->AddPoint(k, mean + 2 * sd);
        s.Minus->AddPoint(k, mean - 2 * sd);
        s.Npl->AddPoint(k, (k * 3) % 4);
    }
}

}  // namespace orvix::testing
