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

// Fills `lines` with the report of an analysis that stopped at `stopped` (Done: it succeeded),
// as the load adds it: untouched when the header failed; otherwise emptied, then lines 1-14,
// 15-16 once the impulsivity is known, 17-18 once the search statistics are, and 19-21 only
// after a load that succeeded.
void FillReport(TLineList& lines, const TLineBuffer& protocol, const TAnalysisResult& result,
                TAnalysisStep stopped);

}  // namespace orvix
