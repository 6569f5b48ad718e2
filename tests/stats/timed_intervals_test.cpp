// The work curve's own attribution (each selection in the interval of its timer) against the
// analysis' attribution, and the verdict's band of negligible slopes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "protocol/load.h"
#include "stats/timed_intervals.h"
#include "stats/work_curve.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix::stats {
namespace {

TAnalysisResult Analysed(const std::vector<std::pair<const char*, bool>>& records) {
    protogen::TProtocolText p = protogen::BasicProtocol();
    p.Head[24] = std::to_string(records.size());
    std::int32_t ring = 0;
    for (const auto& [timer, correct] : records)
        p.Records.push_back(protogen::RecordLine(++ring, timer, "1.000", correct ? " +" : " -"));
    const TLoadedProtocol load = AnalyseText(p.Text());
    EXPECT_EQ(load.Analysis.Stopped, TAnalysisStep::Done);
    return load.Analysis.Result;
}

std::vector<std::uint32_t> Selections(const std::vector<TIntervalCounts>& counts) {
    std::vector<std::uint32_t> s;
    for (const TIntervalCounts& c : counts) s.push_back(c.Selections);
    return s;
}

TEST(TimedIntervals, IntervalOfATimer) {
    EXPECT_EQ(TimerInterval(0), 1);
    EXPECT_EQ(TimerInterval(-3), 1);
    EXPECT_EQ(TimerInterval(0.001), 1);
    EXPECT_EQ(TimerInterval(5), 1);
    EXPECT_EQ(TimerInterval(std::nextafter(5.0, 6.0)), 2);
    EXPECT_EQ(TimerInterval(std::nextafter(10.0, 0.0)), 2);
    EXPECT_EQ(TimerInterval(10), 2);
    EXPECT_EQ(TimerInterval(599.9), 120);
    EXPECT_EQ(TimerInterval(600.0), 120);
    EXPECT_EQ(TimerInterval(600.05), 121);
    EXPECT_EQ(TimerInterval(5.0 * kMaxIntervals), kMaxIntervals);
    EXPECT_EQ(TimerInterval(5.0 * kMaxIntervals + 0.1), 0);  // only a damaged protocol
    EXPECT_EQ(TimerInterval(kUnconvertedTimer), 0);
    EXPECT_EQ(TimerInterval(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(TimedIntervals, EverySelectionInTheIntervalOfItsTimer) {
    // The analysis moves on by at most one interval per record, so the record at 12 s is held
    // back in interval 2 and the one at 20 s in interval 4; a timer that does not convert stays
    // where the running interval is, and the last timer on a boundary adds an empty interval.
    const TAnalysisResult r = Analysed({{"0.5", true},
                                        {"5.0", true},
                                        {"12.0", true},
                                        {"13.0", false},
                                        {"x", true},
                                        {"20.0", true}});
    EXPECT_EQ(Selections(r.Intervals), (std::vector<std::uint32_t>{2, 1, 2, 1, 0}));

    const std::vector<TIntervalCounts> own = CountByTimer(r.Points);
    EXPECT_EQ(Selections(own), (std::vector<std::uint32_t>{2, 0, 2, 1}));
    EXPECT_EQ(own[2].Wrong, 1u);
    EXPECT_EQ(own[1].Wrong + own[3].Wrong + own[0].Wrong, 0u);

    const TWorkCurve curve = ComputeWorkCurve(r);
    EXPECT_EQ(Selections(curve.Intervals), Selections(own));
    ASSERT_EQ(curve.Minutes.size(), 1u);
    EXPECT_EQ(curve.Minutes[0].Seconds, 20);
    EXPECT_EQ(curve.Minutes[0].Selections, 5u);  // the one without a timer is not counted
    EXPECT_EQ(curve.Minutes[0].Wrong, 1u);
    // 5 selections in 20 s.
    EXPECT_DOUBLE_EQ(*ComputeAccuracy(r).SelectionsPerMinute, 15);

    // No timer converts (the analysis itself fails when the last one does not, but a negative
    // selection count leaves it without records): no interval, no tempo.
    TAnalysisResult none;
    none.Points.push_back({kUnconvertedTimer, 1, 0, 0, true, false, 1});
    EXPECT_TRUE(CountByTimer(none.Points).empty());
    EXPECT_FALSE(ComputeAccuracy(none).SelectionsPerMinute);
    EXPECT_EQ(ComputeWorkCurve(none).Verdict, TVerdict::None);
}

TEST(TimedIntervals, TenMinuteTestHasOneHundredTwentyIntervals) {
    // 520 selections, the last at 600.0 s: 52 a minute (the analysis counts 121 intervals).
    std::vector<std::string> timers;
    std::vector<std::pair<const char*, bool>> records;
    for (int i = 1; i <= 520; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 600.0 * i / 520);
        timers.emplace_back(text);
    }
    for (const std::string& t : timers) records.emplace_back(t.c_str(), true);
    const TAnalysisResult r = Analysed(records);
    EXPECT_EQ(r.IntervalCount, 121);
    EXPECT_EQ(ComputeWorkCurve(r).Intervals.size(), 120u);
    EXPECT_EQ(ComputeWorkCurve(r).Minutes.size(), 10u);
    EXPECT_DOUBLE_EQ(*ComputeAccuracy(r).SelectionsPerMinute, 52);
}

// A test of `intervals` five-second intervals whose counts follow a line from `first` to `last`
// selections, rounded as a line is drawn in pixels: the running sum's whole part.
TAnalysisResult Drifting(std::size_t intervals, double first, double last) {
    TAnalysisResult r;
    double sum = 0;
    for (std::size_t i = 0; i < intervals; ++i) {
        const double before = std::floor(sum);
        sum += first + (last - first) * static_cast<double>(i) / static_cast<double>(intervals - 1);
        const auto count = static_cast<std::uint32_t>(std::floor(sum) - before);
        for (std::uint32_t k = 0; k < count; ++k)
            r.Points.push_back({5.0 * static_cast<double>(i) + 2.5, 1, 0, 0, true, false, 0});
    }
    return r;
}

TEST(WorkCurve, SignificantButNegligibleSlopeIsSteady) {
    // About 100,000 selections in 2,000 intervals (about 167 minutes, 600 selections a minute),
    // the slope about -0.01 a minute per minute: significant, and over the whole test a change
    // of 1.7 selections a minute, far inside a tenth of the tempo.
    const TWorkCurve steady = ComputeWorkCurve(Drifting(2000, 50.07, 49.93));
    ASSERT_EQ(steady.Intervals.size(), 2000u);
    EXPECT_NEAR(steady.MeanTempo, 600, 0.1);
    EXPECT_NEAR(steady.Trend.Slope, -0.01, 0.002);
    EXPECT_LT(steady.Trend.High, 0);  // wholly below 0
    EXPECT_EQ(steady.Verdict, TVerdict::Steady);

    // A fall from 60 to 40 a five-second interval over the same test, a third of the tempo:
    // slowing; the same rise: speeding up.
    EXPECT_EQ(ComputeWorkCurve(Drifting(2000, 60, 40)).Verdict, TVerdict::Slowing);
    EXPECT_EQ(ComputeWorkCurve(Drifting(2000, 40, 60)).Verdict, TVerdict::SpeedingUp);
    // Just inside and just outside the band: a change of 8 % and of 12 % of the tempo.
    EXPECT_EQ(ComputeWorkCurve(Drifting(2000, 52, 48)).Verdict, TVerdict::Steady);
    EXPECT_EQ(ComputeWorkCurve(Drifting(2000, 53, 47)).Verdict, TVerdict::Slowing);
    // The band is a share of the change over the whole test: a 10-minute test with the same
    // changes decides alike, with slopes 17 times as steep.
    const TWorkCurve inside = ComputeWorkCurve(Drifting(120, 52, 48));
    EXPECT_NEAR(inside.Trend.Slope, -4.8, 0.3);
    EXPECT_EQ(inside.Verdict, TVerdict::Steady);
    EXPECT_EQ(ComputeWorkCurve(Drifting(120, 53, 47)).Verdict, TVerdict::Slowing);
}

}  // namespace
}  // namespace orvix::stats
