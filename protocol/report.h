// The analysis report: 21 lines combining protocol lines with computed values, built on a
// line list that the window's text view holds (or a plain text for the batch tool), and
// written byte for byte as a Windows-1251 file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "analysis.h"
#include "line_buffer.h"

namespace orvix {

// A list of text lines held as one Windows-1251 text.
class TLineList {
  public:
    virtual ~TLineList() = default;
    virtual void Clear() = 0;
    // Appends one line: `line` + CR LF when the text is empty or ends with CR LF, otherwise
    // (an unterminated last line left by editing) CR LF + `line`.
    virtual void AddLine(std::string_view line) = 0;
    // The whole current text.
    virtual std::string Text() const = 0;
    // Redrawing is suspended between these (nested calls allowed).
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
};

// The AddLine rule on a plain text.
void AppendLine(std::string& text, std::string_view line);

// A line list held in memory.
class TTextLines final : public TLineList {
  public:
    void Clear() override { text_.clear(); }
    void AddLine(std::string_view line) override { AppendLine(text_, line); }
    std::string Text() const override { return text_; }
    const std::string& Ref() const noexcept { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }

  private:
    std::string text_;
};

// Writes the text exactly as held (no header, no conversion), atomically. Fails with
// "Cannot create file %s" or "Stream write error"; the target is then unchanged.
void SaveLines(std::string_view text, const std::filesystem::path& path);
inline void SaveLines(const TLineList& lines, const std::filesystem::path& path) {
    SaveLines(lines.Text(), path);
}

// The report's lines, in the groups in which a load adds them.
namespace report {
void AddHead(TLineList& lines, const TLineBuffer& protocol, const TAnalysisResult& result);  // 1-14
void AddImpulsivity(TLineList& lines, const TAnalysisResult& result);  // 15-16
void AddSearch(TLineList& lines, const TLineBuffer& protocol);         // 17-18
void AddTempo(TLineList& lines, const TAnalysisResult& result);        // 19-21
}  // namespace report

// The chart views that a load fills between the analysis steps; the batch tool passes none
// or its own off-screen charts.
class TAnalysisViews {
  public:
    virtual ~TAnalysisViews() = default;
    // After the selection count: the search-time chart's title (protocol line 25) and foot.
    virtual void SearchChartTexts(const TLineBuffer& protocol, const TAnalysisResult& result);
    // Each selection point as soon as it is made.
    virtual void SearchChartPoint(const TSelectionPoint& point, const TAnalysisResult& result);
    // After the pass over the records: the search-time chart's left axis range.
    virtual void SearchChartRange(const TAnalysisResult& result);
    // After the tempo statistics: the five-second chart.
    virtual void TempoChart(const TAnalysisResult& result);
};

// Runs the analysis of a loaded protocol while filling the report and the views, in the
// order of the Data command: header integers; the report emptied and lines 1-16; the search
// statistics and lines 17-18; the selection count; the search-time chart's texts; the
// interval count; the pass over the records with the chart's points; its left axis range;
// the tempo statistics; the five-second chart; lines 19-21. The first failure ends it, the
// views keeping what they got so far (the report untouched when the header integers fail).
void AnalyseIntoViews(TProtocolAnalysis& analysis, const TLineBuffer& protocol, TLineList& report,
                      TAnalysisViews* views);

}  // namespace orvix
