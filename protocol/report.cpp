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

namespace {

// Resumes the report's redrawing however the fill ends.
class UpdateGuard {
  public:
    explicit UpdateGuard(TLineList& lines) : lines_(lines) { lines_.BeginUpdate(); }
    ~UpdateGuard() { lines_.EndUpdate(); }
    UpdateGuard(const UpdateGuard&) = delete;
    UpdateGuard& operator=(const UpdateGuard&) = delete;

  private:
    TLineList& lines_;
};

// Lines 1-14: the protocol's heading and notes, the subject and the task.
void AddHead(TLineList& lines, const TLineBuffer& protocol, const TAnalysisResult& result) {
    static const std::string kTask = W1251("Задание - поиск всех колец, ориентированных на ");
    lines.AddLine(protocol.LineAt(line::kHeading));
    lines.AddLine({});
    lines.AddLine(protocol.LineAt(line::kSubject));
    lines.AddLine({});
    lines.AddLine(protocol.LineAt(line::kNote3));
    lines.AddLine(kTask + result.Orientation);
    for (const int note : {line::kNote6, line::kNote7, line::kNote8, line::kNote10, line::kNote14})
        lines.AddLine(protocol.LineAt(note));
    lines.AddLine({});
    std::string joined(protocol.LineAt(line::kLabel16));
    joined.append(" = ").append(protocol.LineAt(line::kValue17));
    lines.AddLine(joined);
    lines.AddLine({});
}

// Lines 15-16.
void AddImpulsivity(TLineList& lines, const TAnalysisResult& result) {
    static const std::string kFormat =
        W1251("Показатель спешки, импульсивности: SQR(Ner)/T = %4.2f");
    lines.AddLine(FormatText(kFormat, {result.Impulsivity}));
    lines.AddLine({});
}

// Lines 17-18.
void AddSearch(TLineList& lines, const TLineBuffer& protocol) {
    lines.AddLine(protocol.LineAt(line::kNote19));
    lines.AddLine(protocol.LineAt(line::kNote22));
}

// Lines 19-21.
void AddTempo(TLineList& lines, const TAnalysisResult& result) {
    static const std::string kHeading = W1251("Динамика поиска по 5-ти секундным интервалам");
    lines.AddLine({});
    lines.AddLine(kHeading);
    lines.AddLine(FormatText("Ncp = %3.1f, SD = %4.2f, V = %1.0f%s",
                             {result.Tempo.Mean, result.Tempo.SD, result.Tempo.V, "%"}));
}

}  // namespace

void FillReport(TLineList& lines, const TLineBuffer& protocol, const TAnalysisResult& result,
                TAnalysisStep stopped) {
    if (stopped == TAnalysisStep::Header) return;
    lines.Clear();
    UpdateGuard guard(lines);
    AddHead(lines, protocol, result);
    if (stopped > TAnalysisStep::Impulsivity) AddImpulsivity(lines, result);
    if (stopped > TAnalysisStep::SearchStats) AddSearch(lines, protocol);
    if (stopped == TAnalysisStep::Done) AddTempo(lines, result);
}

}  // namespace orvix
