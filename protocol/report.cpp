#include "report.h"

#include "base/cp1251.h"
#include "base/file_io.h"
#include "base/format.h"

namespace orvix {

void AppendLine(std::string& text, std::string_view line) {
    const bool terminated =
        text.empty() || (text.size() >= 2 && text[text.size() - 2] == '\r' && text.back() == '\n');
    if (terminated) {
        text.append(line).append("\r\n");
    } else {
        text.append("\r\n").append(line);
    }
}

void SaveLines(std::string_view text, const std::filesystem::path& path) {
    WriteFileAtomically(path, text);
}

namespace report {

void AddHead(TLineList& lines, const TLineBuffer& protocol, const TAnalysisResult& result) {
    static const std::string kTask = W1251("Задание - поиск всех колец, ориентированных на ");
    lines.AddLine(protocol.LineAt(0));
    lines.AddLine({});
    lines.AddLine(protocol.LineAt(line::kSubject));
    lines.AddLine({});
    lines.AddLine(protocol.LineAt(3));
    lines.AddLine(kTask + result.Orientation);
    lines.AddLine(protocol.LineAt(6));
    lines.AddLine(protocol.LineAt(7));
    lines.AddLine(protocol.LineAt(8));
    lines.AddLine(protocol.LineAt(10));
    lines.AddLine(protocol.LineAt(14));
    lines.AddLine({});
    std::string joined(protocol.LineAt(16));
    joined.append(" = ").append(protocol.LineAt(17));
    lines.AddLine(joined);
    lines.AddLine({});
}

void AddImpulsivity(TLineList& lines, const TAnalysisResult& result) {
    static const std::string kFormat =
        W1251("Показатель спешки, импульсивности: SQR(Ner)/T = %4.2f");
    lines.AddLine(FormatText(kFormat, {result.Impulsivity}));
    lines.AddLine({});
}

void AddSearch(TLineList& lines, const TLineBuffer& protocol) {
    lines.AddLine(protocol.LineAt(19));
    lines.AddLine(protocol.LineAt(22));
}

void AddTempo(TLineList& lines, const TAnalysisResult& result) {
    static const std::string kHeading = W1251("Динамика поиска по 5-ти секундным интервалам");
    lines.AddLine({});
    lines.AddLine(kHeading);
    lines.AddLine(FormatText("Ncp = %3.1f, SD = %4.2f, V = %1.0f%s",
                             {result.Tempo.Mean, result.Tempo.SD, result.Tempo.V, "%"}));
}

}  // namespace report

void TAnalysisViews::SearchChartTexts(const TLineBuffer&, const TAnalysisResult&) {}
void TAnalysisViews::SearchChartPoint(const TSelectionPoint&, const TAnalysisResult&) {}
void TAnalysisViews::SearchChartRange(const TAnalysisResult&) {}
void TAnalysisViews::TempoChart(const TAnalysisResult&) {}

namespace {
// Resumes the report's redrawing however the load ends.
class UpdateGuard {
  public:
    explicit UpdateGuard(TLineList& lines) : lines_(lines) { lines_.BeginUpdate(); }
    ~UpdateGuard() { lines_.EndUpdate(); }
    UpdateGuard(const UpdateGuard&) = delete;
    UpdateGuard& operator=(const UpdateGuard&) = delete;

  private:
    TLineList& lines_;
};
}  // namespace

void AnalyseIntoViews(TProtocolAnalysis& analysis, const TLineBuffer& protocol, TLineList& report,
                      TAnalysisViews* views) {
    TAnalysisViews none;
    TAnalysisViews& v = views ? *views : none;
    const TAnalysisResult& result = analysis.Result();

    analysis.ReadHeader();
    report.Clear();
    UpdateGuard guard(report);
    report::AddHead(report, protocol, result);
    analysis.ComputeImpulsivity();
    report::AddImpulsivity(report, result);
    analysis.ReadSearchStats();
    report::AddSearch(report, protocol);
    analysis.ReadSelectionCount();
    v.SearchChartTexts(protocol, result);
    analysis.CountIntervals();
    analysis.AnalyseRecords(
        [&](const TSelectionPoint& point) { v.SearchChartPoint(point, result); });
    v.SearchChartRange(result);
    analysis.ComputeTempo();
    v.TempoChart(result);
    report::AddTempo(report, result);
}

}  // namespace orvix
