// The archive window: every protocol of the archive in one list beside the list of examinees,
// a search box, one examinee's history chart, and the commands over the tests chosen — load
// one into the main window as Data does, compare two, summarise any, and the user's
// corrections. Non-modal; it scans the Data folder and the folders added when it opens and on
// request, on a thread of its own, and can be closed at any moment.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "archive/archive_rows.h"
#include "plots/history_plot.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class QSplitter;
class QTableView;

namespace orvix {

namespace archive {
class TArchive;
}

class TArchiveScanner;
class TArchiveTestModel;
class TChart;
class TExamineeFilter;
class TExamineeModel;
class TForm1;
class TLegendStrip;

class TArchiveWindow final : public QMainWindow {
    Q_OBJECT

  public:
    // Opens the archive of `form`'s program and the window over it, shown, with the lists
    // filled; a scan starts as soon as the event loop runs. What opening the database did (a
    // damaged file set aside, corrections restored, layout brought up to date) is told in a message
    // box. A database that cannot be opened throws EArchiveError (and no window is made).
    static TArchiveWindow* Open(TForm1& form);
    ~TArchiveWindow() override;

    // Commands.
    void Rescan();           // "Обновить": a scan of the Data folder and the folders added
    void AddFolder();        // "Добавить папку…"
    void OpenSelected();     // Enter, double click: the test loaded into the main window
    void CompareSelected();  // "Сравнить": two tests, the earlier by date first
    void SummariseSelected();  // "Сводка"
    void NormsFromSelected();  // "Нормы по выбранным…": a local norm table saved as CSV
    void MoveSelected();       // the tests to another or a new examinee
    void UndoMoveSelected();   // back to the examinee their captions name
    void SetDateOfSelected();  // a date dialog
    void RenameExaminee();     // one examinee selected
    void MergeExaminees();     // two examinees selected
    void EditExamineeData();   // one examinee selected: birth date, sex, group
    void ImportNormTable();    // a norm CSV into the archive, from the norms folder
    void ChooseNormTable();    // the table in use, or none
    void RemoveNormTable();
    void ShowNormColumns(bool on);
    // The table in use read again, the norm columns and their menu made anew.
    void RefreshNorms();
    // The lists read again from the database, selections kept where the rows are.
    void Refresh();

    // The tests and examinees selected.
    std::vector<archive::TTestRow> SelectedTests() const;
    std::vector<archive::TExamineeRow> SelectedExaminees() const;
    // The folders a scan looks through: the Data folder, then the folders added.
    std::vector<std::filesystem::path> ScanRoots();

    TArchiveTestModel& TestModel() const noexcept { return *testModel_; }
    TExamineeModel& ExamineeModel() const noexcept { return *examineeModel_; }
    TExamineeFilter& ExamineeFilter() const noexcept { return *examineeFilter_; }
    TArchiveScanner& Scanner() const noexcept { return *scanner_; }
    archive::TArchive& Archive() const noexcept { return *archive_; }
    THistoryPlot& History() const noexcept { return *history_; }

    QLineEdit* Search = nullptr;
    QTableView* Examinees = nullptr;
    QTableView* Tests = nullptr;
    QWidget* HistoryPane = nullptr;  // the chart and its legend; shown for one examinee
    TChart* HistoryChart = nullptr;
    TLegendStrip* HistoryLegend = nullptr;
    QLabel* Counts = nullptr;     // the status line's counts
    QLabel* ScanState = nullptr;  // and the scan's progress or outcome
    QAction* actRescan = nullptr;
    QAction* actAddFolder = nullptr;
    QAction* actOpen = nullptr;
    QAction* actCompare = nullptr;
    QAction* actSummary = nullptr;
    QAction* actNorms = nullptr;
    QAction* actMove = nullptr;
    QAction* actUndoMove = nullptr;
    QAction* actSetDate = nullptr;
    QAction* actRename = nullptr;
    QAction* actMerge = nullptr;
    QAction* actExamineeData = nullptr;
    QAction* actImportNorms = nullptr;
    QAction* actChooseNorms = nullptr;
    QAction* actRemoveNorms = nullptr;
    QAction* actNormColumns = nullptr;  // checkable
    QMenu* NormIndices = nullptr;       // a checkable entry per index of the table in use
    QLabel* NormsState = nullptr;       // the status line's table in use

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    TArchiveWindow(TForm1& form, std::unique_ptr<archive::TArchive> archive);
    void CreateActions();
    void CreateLists();
    void CreateHistory();
    void CreateNormActions(QToolBar* bar);
    void Fill(std::vector<archive::TTestRow> tests, std::vector<archive::TExamineeRow> examinees);
    void SearchChanged();
    void ExamineeSelectionChanged();
    void UpdateCommands();
    void UpdateCounts();
    void UpdateHistory();
    void ScanProgress(qulonglong done, qulonglong total);
    void ScanFinished(const archive::TScanCounts& counts, const std::string& failure);
    void SelectTests(const std::vector<std::int64_t>& ids);
    void SelectExaminees(const std::vector<std::int64_t>& ids);
    QString ResultsFolder() const;

    TForm1& form_;
    std::unique_ptr<archive::TArchive> archive_;
    TArchiveScanner* scanner_ = nullptr;
    TArchiveTestModel* testModel_ = nullptr;
    TExamineeModel* examineeModel_ = nullptr;
    TExamineeFilter* examineeFilter_ = nullptr;
    std::unique_ptr<THistoryPlot> history_;
    QSplitter* right_ = nullptr;
    std::size_t failed_ = 0;                      // of the rows read last
    std::size_t missing_ = 0;                     // of the rows read last
    bool rescanAgain_ = false;                    // asked while a scan ran: once more when it ends
    std::optional<std::int64_t> shownExaminee_;   // whose tests alone the list shows
    std::optional<archive::TStoredNorms> norms_;  // the table in use
    std::vector<std::string_view> normIndices_;   // the norm columns' indices (kNormIndices)
};

}  // namespace orvix
