#include "plots/history_plot.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "base/cp1251.h"
#include "plots/result_plots.h"

namespace orvix {
namespace {

constexpr TColor clSelections = RGBColor(0, 70, 200);
constexpr TColor clAccuracy = RGBColor(0, 140, 60);

TLineSeries* AddMarkedLine(TCustomChart& chart, TColor color) {
    auto* series = chart.AddSeries<TLineSeries>();
    series->SeriesColor = color;
    series->LinePen.Width = 2;
    series->Marks.Visible = false;
    series->Pointer.Visible = true;
    series->Pointer.SetHorizSize(3);
    series->Pointer.SetVertSize(3);
    return series;
}

// The bottom axis over `low` .. `high` (day numbers); each end is checked against the other's
// current value, so the order of the two assignments depends on where the axis was.
void SetDayRange(TChartAxis& axis, double low, double high) {
    axis.SetAutomatic(false);
    if (low > axis.Maximum()) {
        axis.SetMaximum(high);
        axis.SetMinimum(low);
    } else {
        axis.SetMinimum(low);
        axis.SetMaximum(high);
    }
}

}  // namespace

int DayNumber(int year, int month, int day) {
    using namespace std::chrono;
    const year_month_day date{std::chrono::year(year),
                              std::chrono::month(static_cast<unsigned>(month)),
                              std::chrono::day(static_cast<unsigned>(day))};
    return static_cast<int>(sys_days(date).time_since_epoch().count());
}

std::string DayText(int dayNumber) {
    using namespace std::chrono;
    const year_month_day date{sys_days(days(dayNumber))};
    char text[16];
    std::snprintf(text, sizeof text, "%02u.%02u.%04d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
    return text;
}

THistoryPlot::THistoryPlot(TCustomChart& chart) : chart_(chart) {
    SetUpResultChartLook(chart);
    // Room right of the plot for half a date label at its end.
    chart.MarginRight = 4;
    chart.BottomAxis.Increment = 1;  // whole days
    chart.BottomAxis.LabelFormatter = [](double day) {
        return DayText(static_cast<int>(std::lround(day)));
    };
    chart.BottomAxis.Title.SetCaption(W1251("Дата обследования"));
    chart.LeftAxis.AxisValuesFormat = "#0";
    chart.LeftAxis.LabelsSeparation = 80;
    chart.LeftAxis.SetAutomaticMinimum(false);
    chart.LeftAxis.SetMinimum(0);
    chart.LeftAxis.Title.SetCaption(W1251("Выборов в минуту"));
    // Accuracy on a scale of its own on the right, in percent up to 100.
    TChartAxis& right = chart.RightAxis;
    right.LabelStyle = talValue;
    right.Title.Font = chart.LeftAxis.Title.Font;
    right.Title.SetCaption(W1251("Точность, %"));
    right.AxisValuesFormat = "#0";
    right.LabelsSeparation = 80;
    right.Grid.Visible = false;  // the left axis's grid is the chart's
    right.SetAutomatic(false);
    right.SetMaximum(100);
    right.SetMinimum(0);
    Selections = AddMarkedLine(chart, clSelections);
    Accuracy = AddMarkedLine(chart, clAccuracy);
    Accuracy->SetVertAxis(aRightAxis);
    Accuracy->Pointer.Brush.Style = bsClear;  // hollow: apart from the other line in grey print
    Accuracy->Pointer.Pen.Color = clAccuracy;
    chart.Title.SetText({W1251("История обследований: выборов в минуту и точность")});
}

void THistoryPlot::Fill(std::vector<THistoryTest> tests, std::string_view examinee1251) {
    Selections->ClearPoints();
    Accuracy->ClearPoints();
    std::vector<std::pair<int, const THistoryTest*>> byDay;
    byDay.reserve(tests.size());
    for (const THistoryTest& t : tests) byDay.emplace_back(DayNumber(t.Year, t.Month, t.Day), &t);
    std::stable_sort(byDay.begin(), byDay.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    double lowest = 100;
    for (const auto& [day, test] : byDay) {
        if (test->SelectionsPerMinute) Selections->AddPoint(day, *test->SelectionsPerMinute);
        if (test->Accuracy) {
            Accuracy->AddPoint(day, *test->Accuracy * 100);
            lowest = std::min(lowest, *test->Accuracy * 100);
        }
    }
    // From the ten below the lowest accuracy (with some room) to 100: accuracies lie close
    // together near the top, and a scale from 0 would flatten their course.
    chart_.RightAxis.SetMinimum(std::clamp(std::floor((lowest - 5) / 10) * 10, 0.0, 90.0));
    if (byDay.empty()) {
        chart_.BottomAxis.SetAutomatic(true);
    } else {
        // Room of a twentieth of the span (at least a day) keeps the first and last markers
        // inside the plot; one date alone stands in the middle.
        const double first = byDay.front().first;
        const double last = byDay.back().first;
        const double room = std::max(1.0, std::ceil((last - first) / 20));
        SetDayRange(chart_.BottomAxis, first - room, last + room);
    }
    chart_.Foot.SetText({std::string(examinee1251)});
}

std::vector<TLegendEntry> THistoryPlot::Legend() const {
    using M = TLegendEntry::TMark;
    return {{M::Line, Selections->SeriesColor, psSolid, 2, true, false, "выборов в минуту"},
            {M::Line, Accuracy->SeriesColor, psSolid, 2, true, true, "точность, %"}};
}

}  // namespace orvix
