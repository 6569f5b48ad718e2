// The report view (meAnalysis): an editable text in Courier New that holds the analysis report
// as Windows-1251 lines. It takes only characters the code page has (typed, pasted or composed
// text is mapped to it, others become "?"), so the text shown is exactly the text saved.
#pragma once

#include <QPlainTextEdit>

#include "protocol/report.h"

namespace orvix {

class TReportView final : public QPlainTextEdit, public TLineList {
    Q_OBJECT
  public:
    explicit TReportView(QWidget* parent = nullptr);

    void Clear() override;
    void AddLine(std::string_view line) override;
    // The whole text as Windows-1251 bytes, each line break as CR LF.
    std::string Text() const override;
    void BeginUpdate() override;
    void EndUpdate() override;

    int UpdateDepth() const noexcept { return updateDepth_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
    int updateDepth_ = 0;
};

}  // namespace orvix
