#include "stats/retest.h"

#include <cmath>

#include "stats/student_t.h"

namespace orvix::stats {
namespace {

struct TSample {
    std::size_t Count = 0;
    double Mean = 0;
    double Variance = 0;  // with n - 1
};

TSample Describe(std::span<const double> values) {
    TSample s;
    s.Count = values.size();
    if (values.empty()) return s;
    // Two passes: the deviations are taken from the mean, which keeps large offsets exact.
    for (const double v : values) s.Mean += v;
    s.Mean /= static_cast<double>(s.Count);
    if (s.Count < 2) return s;
    double squares = 0;
    for (const double v : values) squares += (v - s.Mean) * (v - s.Mean);
    s.Variance = squares / static_cast<double>(s.Count - 1);
    return s;
}

std::optional<double> Difference(const std::optional<double>& earlier,
                                 const std::optional<double>& later) {
    if (!earlier || !later) return std::nullopt;
    return *later - *earlier;
}

std::optional<double> TrendSlope(const TWorkCurve& curve) {
    if (!curve.Trend.Defined) return std::nullopt;
    return curve.Trend.Slope;
}

std::optional<double> Finite(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> MeanOf(const TWelch& w, bool later) {
    const std::size_t count = later ? w.LaterCount : w.EarlierCount;
    if (count == 0) return std::nullopt;
    return Finite(later ? w.LaterMean : w.EarlierMean);
}

}  // namespace

TWelch WelchTest(std::span<const double> earlier, std::span<const double> later) {
    const TSample a = Describe(earlier);
    const TSample b = Describe(later);
    TWelch w;
    w.EarlierCount = a.Count;
    w.LaterCount = b.Count;
    w.EarlierMean = a.Mean;
    w.LaterMean = b.Mean;
    w.Difference = b.Mean - a.Mean;
    if (a.Count < 2 || b.Count < 2) return w;
    const double va = a.Variance / static_cast<double>(a.Count);
    const double vb = b.Variance / static_cast<double>(b.Count);
    const double se2 = va + vb;
    if (!(se2 > 0) || !std::isfinite(se2) || !std::isfinite(w.Difference)) return w;
    const double df =
        se2 * se2 /
        (va * va / static_cast<double>(a.Count - 1) + vb * vb / static_cast<double>(b.Count - 1));
    if (!(df > 0) || !std::isfinite(df)) return w;
    const double se = std::sqrt(se2);
    const double half = StudentTQuantile(0.975, df) * se;
    w.Df = df;
    w.Low = w.Difference - half;
    w.High = w.Difference + half;
    w.PValue = StudentTTwoSidedP(w.Difference / se, df);
    return w;
}

TRetest CompareTests(const TAnalysisResult& earlier, const TAnalysisResult& later) {
    TRetest r;
    r.EarlierIndices = ComputeAccuracy(earlier);
    r.LaterIndices = ComputeAccuracy(later);
    r.EarlierCurve = ComputeWorkCurve(earlier);
    r.LaterCurve = ComputeWorkCurve(later);

    auto searchTimes = [](const TAnalysisResult& result) {
        std::vector<double> y;
        y.reserve(result.Points.size());
        for (const TSelectionPoint& p : result.Points) y.push_back(p.Y);
        return y;
    };
    // The tempo as the work curves count it, by the selections' own timers.
    auto tempo = [](const TWorkCurve& curve) {
        std::vector<double> counts;
        counts.reserve(curve.Intervals.size());
        for (const TIntervalCounts& c : curve.Intervals) counts.push_back(c.Selections);
        return counts;
    };
    r.Search = WelchTest(searchTimes(earlier), searchTimes(later));
    r.Tempo = WelchTest(tempo(r.EarlierCurve), tempo(r.LaterCurve));

    auto row = [&r](std::string_view name, std::string_view key, std::optional<double> a,
                    std::optional<double> b, int decimals) {
        r.Rows.push_back(TIndexRow{name, key, a, b, Difference(a, b), decimals});
    };
    row("Доля найденных целей", "accuracy", r.EarlierIndices.Accuracy, r.LaterIndices.Accuracy, 3);
    row("Доля ошибочных выборов", "wrong share", r.EarlierIndices.WrongShare,
        r.LaterIndices.WrongShare, 3);
    row("Выборов в минуту", "selections per minute", r.EarlierIndices.SelectionsPerMinute,
        r.LaterIndices.SelectionsPerMinute, 2);
    row("Среднее время поиска, с", "mean search time", MeanOf(r.Search, false),
        MeanOf(r.Search, true), 3);
    row("Средний темп, выборов за 5 с", "mean tempo", MeanOf(r.Tempo, false), MeanOf(r.Tempo, true),
        3);
    row("Наклон тренда темпа, выб./мин за минуту", "trend slope", TrendSlope(r.EarlierCurve),
        TrendSlope(r.LaterCurve), 2);
    row("Темп последней трети к первой", "last/first third", r.EarlierCurve.ThirdsRatio,
        r.LaterCurve.ThirdsRatio, 2);
    row("Коэффициент вариации темпа, %", "tempo V", Finite(r.EarlierCurve.TempoV),
        Finite(r.LaterCurve.TempoV), 1);
    row("Показатель импульсивности", "impulsivity", Finite(earlier.Impulsivity),
        Finite(later.Impulsivity), 2);
    return r;
}

}  // namespace orvix::stats
