// The main window: the work panel with the two stacked charts and the report, the main menu
// whose enabled states lead the user through the work, the window menu with "О программе",
// and the commands: Data, view switching, Save › Analysis and the two chart pictures; beside
// them the Report commands and the Archive window.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs.h"
#include "plots/result_charts.h"
#include "protocol/load.h"
#include "stats/norm_input.h"

class QAction;
class QFrame;
class QKeySequence;
class QLabel;
class QMenu;
class QToolButton;

namespace orvix {

class TAboutBox;
class TArchiveWindow;
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
    void mmArchiveClick();        // Archive: opens (or raises) the archive window

    // The Data command's work once a file is chosen: the file loaded and analysed, the views
    // filled, the menu and the work panel set; a failure ends it with its message (thrown).
    // The archive window loads a protocol through it, exactly as Data does.
    void OpenProtocol(const QString& path);

    // Shows the comparison of two complete loads in place of the comparison window that was
    // open; `warnings` (compare_warning.h) stand at its top and on its page; with `norms` the
    // change is measured against them too.
    void ShowComparison(TLoadedProtocol earlier, TLoadedProtocol later,
                        const std::string& earlierName, const std::string& laterName,
                        std::vector<std::string> warnings,
                        std::optional<stats::TNormInput> norms = std::nullopt);

    // Where the archive's database lives for this program, and the folder of protocols every
    // scan looks through (none when the program has no Data folder). Tests put them elsewhere.
    std::filesystem::path ArchiveDatabase() const;
    std::optional<QString> ArchiveDataFolder() const;
    void SetArchivePlaces(std::filesystem::path database, std::optional<QString> dataFolder);
    TDialogs& Dialogs() noexcept { return dialogs_; }
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
    QAction* mmArchive = nullptr;  // enabled together with Data
    // The statistics windows (one of each at a time), while they are open.
    QPointer<TWorkCurveWindow> WorkCurveWindow;
    QPointer<TCompareWindow> CompareWindow;
    QPointer<TArchiveWindow> ArchiveWindow;
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
    void CreateArchiveMenu();
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
    TLoadedProtocol loaded_;  // the last load's protocol and analysis
    QString loadedName_;      // and its file's name
    std::filesystem::path loadedPath_;
    bool shownComplete_ = false;  // the views show all of its analysis
    std::optional<std::pair<std::filesystem::path, std::optional<QString>>> archivePlaces_;
    TSaveDialogSettings saveDialog_;
    std::function<QString()> decimalPoint_;
};

}  // namespace orvix
