// Made-up data in charts set up as the program's two result charts (by the product's own
// plots), for the chart tests and benchmarks.
#pragma once

#include <cmath>
#include <string>

#include "plots/result_plots.h"

namespace orvix::testing {

struct SearchChart {
    TLineSeries* Sel;
    TLineSeries* Av;
    TLineSeries* Plus;
    TLineSeries* Minus;
};

// The series stay with the chart; the plot that set them up is not needed after.
inline SearchChart ConfigureSearchChart(TCustomChart& c) {
    const TSearchTimePlot plot(c);
    return {plot.SeriesSel, plot.SeriesSelAv, plot.SeriesSel2Dp, plot.SeriesSel2Dm};
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
    const TTempoPlot plot(c);
    return {plot.Series5secNpl, plot.Series5sec, plot.Series5secAv, plot.Series5sec2Dp,
            plot.Series5sec2Dm};
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
