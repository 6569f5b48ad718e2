// The windows of the Report menu's statistics: the work curve of the loaded test, and the
// comparison of an earlier test with the loaded (later) one. Both are non-modal, hold copies of
// what they show, and go when closed.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "charts/chart.h"
#include "plots/curve_legend.h"
#include "plots/curve_plots.h"
#include "protocol/load.h"
#include "stats/norm_input.h"
#include "stats/retest.h"

class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace orvix {

class TDialogs;

// The per-minute chart of one test with its legend, and the figures under them.
class TWorkCurveWindow final : public QDialog {
    Q_OBJECT

  public:
    // `load` must come from a complete analysis; numbers use `decimal`.
    TWorkCurveWindow(const TLoadedProtocol& load, char decimal, QWidget* parent);
    ~TWorkCurveWindow() override;

    TChart* Chart = nullptr;
    TLegendStrip* Legend = nullptr;
    QPlainTextEdit* Figures = nullptr;
    TWorkCurvePlot& Plot() const noexcept { return *plot_; }

  private:
    std::unique_ptr<TWorkCurvePlot> plot_;
};

// Both work curves over each other, the table of indices, the full comparison text (with norms,
// the reliable change too), and a button that saves the comparison page as PDF.
class TCompareWindow final : public QDialog {
    Q_OBJECT

  public:
    // Both loads must come from complete analyses. `earlierName` and `laterName` (UTF-8) name
    // the tests in the text; `dialogs` asks where the PDF goes, starting in `resultsFolder`.
    // `norms`, when given, are what the window and its page measure the change against.
    TCompareWindow(TLoadedProtocol earlier, TLoadedProtocol later, const std::string& earlierName,
                   const std::string& laterName, char decimal, TDialogs& dialogs,
                   QString resultsFolder, QWidget* parent,
                   std::optional<stats::TNormInput> norms = std::nullopt);
    ~TCompareWindow() override;

    TChart* Chart = nullptr;
    TLegendStrip* Legend = nullptr;
    QTableWidget* Table = nullptr;
    QPlainTextEdit* Text = nullptr;
    QPushButton* PdfButton = nullptr;
    TCurveOverlayPlot& Plot() const noexcept { return *plot_; }
    const stats::TRetest& Retest() const noexcept { return retest_; }

    // The PDF… button: the save dialog, then the page written atomically.
    void SavePdf();

  private:
    TLoadedProtocol earlier_;
    TLoadedProtocol later_;
    std::optional<stats::TNormInput> norms_;
    stats::TRetest retest_;
    TDialogs& dialogs_;
    QString resultsFolder_;
    std::unique_ptr<TCurveOverlayPlot> plot_;
};

}  // namespace orvix
