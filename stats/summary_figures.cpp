#include "summary_figures.h"

#include <charconv>
#include <string>

#include "base/cp1251.h"
#include "work_curve.h"

namespace orvix::stats {

std::vector<TCell> FigureCells(const TAnalysisResult& r) {
    std::vector<TCell> cells;
    cells.reserve(kFigureColumns.size());
    cells.push_back(TCell::Of(Cp1251ToUtf8(r.Orientation)));
    cells.push_back(TCell::Whole(r.T));
    cells.push_back(TCell::Whole(r.NPlus));
    cells.push_back(TCell::Whole(r.NOmit));
    cells.push_back(TCell::Whole(r.NWrong));
    // The analysis' own figures, as it computed them.
    for (const auto v : {r.Impulsivity, r.Search.Mean, r.Search.SD, r.Search.V})
        cells.push_back(TCell::Real(static_cast<double>(v)));
    cells.push_back(TCell::Whole(r.IntervalCount));
    for (const auto v : {r.Tempo.Mean, r.Tempo.SD, r.Tempo.V})
        cells.push_back(TCell::Real(static_cast<double>(v)));
    // Ours.
    auto optional = [&](const std::optional<double>& v) {
        cells.push_back(v ? TCell::Real(*v, kStatisticsDigits) : TCell{});
    };
    const TAccuracy accuracy = ComputeAccuracy(r);
    optional(accuracy.Accuracy);
    optional(accuracy.WrongShare);
    optional(accuracy.SelectionsPerMinute);
    const TWorkCurve curve = ComputeWorkCurve(r);
    const TTrend& trend = curve.Trend;
    for (const double v : {trend.Slope, trend.Low, trend.High})
        optional(trend.Defined ? std::optional<double>(v) : std::nullopt);
    optional(curve.ThirdsRatio);
    const std::string_view verdict = VerdictName(curve.Verdict);
    cells.push_back(verdict.empty() ? TCell{} : TCell::Of(std::string(verdict)));
    return cells;
}

std::optional<std::size_t> FigureColumn(std::string_view column) noexcept {
    for (std::size_t i = 0; i < kFigureColumns.size(); ++i)
        if (kFigureColumns[i] == column) return i;
    return std::nullopt;
}

std::string RealText(double value, int digits) {
    char buf[64];
    const auto r =
        digits > 0 ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits)
                   : std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, r.ptr);
    if (text == "-0") text = "0";
    return text;
}

std::string CsvField(std::string_view utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(utf8);
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string CsvText(const TCell& cell) {
    switch (cell.Kind) {
        case TCell::TKind::Empty:
            return {};
        case TCell::TKind::Text:
            return CsvField(cell.Text);
        case TCell::TKind::Integer:
            return std::to_string(static_cast<long long>(cell.Value));
        case TCell::TKind::Real:
            return RealText(cell.Value, cell.Digits);
    }
    return {};
}

}  // namespace orvix::stats
