// The main window: the work panel with the two stacked charts and the report, the main menu
// whose enabled states lead the user through the work, the window menu with "О программе",
// and the commands: Data, view switching, Save › Analysis and the two chart pictures.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include <string_view>

#include "dialogs.h"
#include "plots/result_charts.h"
#include "protocol/load.h"

class QAction;
class QFrame;
class QKeySequence;
class QLabel;
class QMenu;
class QToolButton;

namespace orvix {

class TAboutBox;
class TCompareWindow;
class TReportView;
class TWorkCurveWindow;

// Window-menu commands; the About item has the id the desktop's own commands leave free.
namespace syscmd {
inline constexpr int kAbout = 1025;
inline constexpr int kMinimize = 0xF020;
inline constexpr int kMaximize = 0xF030;
inline constexpr int kClose = 0xF060;
inline constexpr int kRestore = 0xF120;
}  // namespace syscmd

class TForm1 final : public QMainWindow {
    Q_OBJECT
  public:
    // The design size of the client area.
    static constexpr int kClientWidth = 1024;
    static constexpr int kClientHeight = 730;

    explicit TForm1(TDialogs& dialogs, QWidget* parent = nullptr);
    ~TForm1() override;

    // Commands.
    void WMSysCommand(int command);
    void mmOpenClick();
    void mmChartSelClick();
    void mmChart5secClick();
    void mmSaveAnalysisClick();
    void btSaveClick();           // Save › Chart 5 sec
    void mmSaveChartSelClick();   // Save › Chart Select
    void mmReportPdfClick();      // Report › PDF…
    void mmReportPrintClick();    // Report › Print…
    void mmReportCsvClick();      // Report › Data CSV…
    void mmReportCurveClick();    // Report › Work curve…
    void mmReportCompareClick();  // Report › Compare…

    // Values of the window and of the last load.
    const QString& ExeDir() const noexcept { return exeDir_; }
    const std::string& FileTag() const noexcept { return loaded_.FileTag; }
    const std::string& SubjectCaption() const noexcept { return loaded_.Subject; }
    std::int32_t SelectionCount() const noexcept { return loaded_.Analysis.Result.SelectionCount; }
    const TLineBuffer& LineBuffer() const noexcept { return loaded_.Protocol; }
    TSaveDialogSettings& SaveDialog() noexcept { return saveDialog_; }

    // Where the user's decimal separator comes from (the system locale unless replaced);
    // it is read at start-up and again when the desktop announces a settings change.
    void SetDecimalPointSource(std::function<QString()> source);

    // The chart in front: Chart5sec or ChartSel.
    TChart* FrontChart() const;

    QFrame* Bevel1 = nullptr;
    QWidget* paWork = nullptr;
    TTempoChart* Chart5sec = nullptr;
    TSearchTimeChart* ChartSel = nullptr;
    TReportView* meAnalysis = nullptr;
    QAction* mmOpen = nullptr;
    QAction* mmChartSel = nullptr;
    QAction* mmChart5sec = nullptr;
    QAction* mmSave = nullptr;
    QAction* mmSaveAnalysis = nullptr;
    QAction* mmSaveChart5sec = nullptr;
    QAction* mmSaveChartSel = nullptr;
    QAction* mmReport = nullptr;  // enabled exactly when Save is
    // Its commands are enabled when the views show the last load's complete analysis: a page or
    // data file of a case holds one whole analysis of one protocol, or nothing.
    QAction* mmReportPdf = nullptr;
    QAction* mmReportPrint = nullptr;
    QAction* mmReportCsv = nullptr;
    QAction* mmReportCurve = nullptr;
    QAction* mmReportCompare = nullptr;
    // The statistics windows (one of each at a time), while they are open.
    QPointer<TWorkCurveWindow> WorkCurveWindow;
    QPointer<TCompareWindow> CompareWindow;
    QMenu* SystemMenu = nullptr;          // the window menu
    QToolButton* sbSystemMenu = nullptr;  // its button at the left of the main menu
    TAboutBox* AboutBox = nullptr;
    QLabel* lbHint = nullptr;  // the way in, shown until the About box has been confirmed

    // The keys that open the window menu where the window has its own (none on Windows, whose
    // system menu has the desktop's key), and the one-line hint for the first start.
    static QList<QKeySequence> SystemMenuKeys();
    static QString StartHint();

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;  // FormClose
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

  private:
    void FormCreate();
    void CreateMenu();
    void CreateReportMenu();
    void UpdateReportCommands();
    void SetViewCommands(bool chartSelInFront);
    void CreateSystemMenu();
    void CreateWorkPanel();
    void ReadDecimalChar();
    void FitBorderToState();
    void AllowAnySize();
    void DefaultSysCommand(int command);
    void ShowSystemMenu();
    void SaveChartPicture(TChart& chart, const QString& title, std::string_view nameEnding);
    QString ProposedName(std::string_view ending) const;

    TDialogs& dialogs_;
    QString exeDir_;
    TLoadedProtocol loaded_;      // the last load's protocol and analysis
    QString loadedName_;          // and its file's name
    bool shownComplete_ = false;  // the views show all of its analysis
    TSaveDialogSettings saveDialog_;
    std::function<QString()> decimalPoint_;
};

}  // namespace orvix
