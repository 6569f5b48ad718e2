#include "archive_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "archive/archive.h"
#include "archive/test_date.h"
#include "archive_columns.h"
#include "archive_dialogs.h"
#include "archive_models.h"
#include "archive_scanner.h"
#include "base/cp1251.h"
#include "base/numbers.h"
#include "charts/chart.h"
#include "failure.h"
#include "main_window.h"
#include "plots/curve_legend.h"
#include "qt_text.h"
#include "user_dirs.h"

namespace orvix {
namespace {

constexpr int kDateColumn = 1;

// Rows of equal height, set once: the view then never measures ten thousand rows.
void SetUpTable(QTableView* table) {
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    table->setWordWrap(false);
    table->setSortingEnabled(true);
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setSectionsMovable(true);
    table->horizontalHeader()->setHighlightSections(false);
}

}  // namespace

TArchiveWindow* TArchiveWindow::Open(TForm1& form) {
    archive::TOpenReport report;
    auto archive = std::make_unique<archive::TArchive>(form.ArchiveDatabase(), &report);
    // Owned here until it is filled: a database that cannot be read leaves no window behind.
    std::unique_ptr<TArchiveWindow> made(new TArchiveWindow(form, std::move(archive)));
    made->RefreshNorms();
    made->Refresh();
    TArchiveWindow* window = made.release();
    window->show();
    // The scan starts once the window is on the screen: on a machine of two cores its threads
    // would otherwise share them with the first paint.
    QTimer::singleShot(0, window, [window] { RunCommand([window] { window->Rescan(); }); });
    if (!report.Message.empty())
        ArchiveDialogs().Inform(window, QStringLiteral("Архив протоколов"),
                                QString::fromStdString(report.Message));
    return window;
}

TArchiveWindow::TArchiveWindow(TForm1& form, std::unique_ptr<archive::TArchive> archive)
    : QMainWindow(&form, Qt::Window), form_(form), archive_(std::move(archive)) {
    setObjectName(QStringLiteral("ArchiveWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Архив протоколов"));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    setFont(f);

    scanner_ = new TArchiveScanner(archive_->Path(), this);
    connect(scanner_, &TArchiveScanner::Progress, this, &TArchiveWindow::ScanProgress);
    connect(scanner_, &TArchiveScanner::Finished, this, &TArchiveWindow::ScanFinished);

    CreateLists();
    CreateHistory();
    CreateActions();

    Counts = new QLabel(this);
    Counts->setObjectName(QStringLiteral("ArchiveCounts"));
    ScanState = new QLabel(this);
    ScanState->setObjectName(QStringLiteral("ArchiveScanState"));
    statusBar()->addWidget(Counts, 1);
    statusBar()->addPermanentWidget(NormsState);
    statusBar()->addPermanentWidget(ScanState);
    resize(1200, 720);
    UpdateCommands();
}

TArchiveWindow::~TArchiveWindow() {
    // The scan stops and its thread ends before the window's own connection closes.
    delete scanner_;
}

void TArchiveWindow::closeEvent(QCloseEvent* event) {
    scanner_->Cancel();
    QMainWindow::closeEvent(event);
}

void TArchiveWindow::CreateLists() {
    Search = new QLineEdit(this);
    Search->setObjectName(QStringLiteral("ArchiveSearch"));
    Search->setPlaceholderText(QStringLiteral("Поиск: испытуемый, FileTag или имя файла"));
    Search->setClearButtonEnabled(true);
    connect(Search, &QLineEdit::textChanged, this,
            [this] { RunCommand([this] { SearchChanged(); }); });

    examineeModel_ = new TExamineeModel(this);
    examineeFilter_ = new TExamineeFilter(this);
    examineeFilter_->setSourceModel(examineeModel_);
    Examinees = new QTableView(this);
    Examinees->setObjectName(QStringLiteral("ArchiveExaminees"));
    SetUpTable(Examinees);
    Examinees->setModel(examineeFilter_);
    Examinees->sortByColumn(0, Qt::AscendingOrder);
    Examinees->setColumnWidth(0, 200);
    Examinees->setColumnWidth(1, 55);
    Examinees->setColumnWidth(2, 85);
    Examinees->setColumnWidth(3, 35);
    Examinees->setColumnWidth(4, 60);
    Examinees->setColumnWidth(5, 90);
    connect(Examinees->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { RunCommand([this] { ExamineeSelectionChanged(); }); });

    testModel_ = new TArchiveTestModel(this);
    Tests = new QTableView(this);
    Tests->setObjectName(QStringLiteral("ArchiveTests"));
    SetUpTable(Tests);
    Tests->setModel(testModel_);
    Tests->horizontalHeader()->setSortIndicatorShown(true);
    // Each examinee's tests together, in date order within them.
    Tests->sortByColumn(0, Qt::AscendingOrder);
    for (std::size_t c = 0; c < ArchiveColumns().size(); ++c)
        Tests->setColumnWidth(static_cast<int>(c), ArchiveColumns()[c].Width);
    connect(Tests, &QTableView::activated, this,
            [this] { RunCommand([this] { OpenSelected(); }); });
    connect(Tests->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateCommands(); });

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(Search);
    leftLayout->addWidget(Examinees);

    right_ = new QSplitter(Qt::Vertical, this);
    right_->addWidget(Tests);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(left);
    split->addWidget(right_);
    split->setStretchFactor(1, 1);
    split->setSizes({440, 760});
    setCentralWidget(split);
}

void TArchiveWindow::CreateHistory() {
    HistoryPane = new QWidget(this);
    auto* layout = new QVBoxLayout(HistoryPane);
    layout->setContentsMargins(0, 0, 0, 0);
    HistoryChart = new TChart(HistoryPane);
    HistoryChart->setObjectName(QStringLiteral("ArchiveHistoryChart"));
    HistoryChart->setMinimumSize(kHistoryChartWidth / 2, kHistoryChartHeight * 3 / 4);
    HistoryChart->DecimalSeparator = DecimalChar();
    history_ = std::make_unique<THistoryPlot>(*HistoryChart);
    HistoryLegend = new TLegendStrip(HistoryPane);
    HistoryLegend->SetEntries(history_->Legend());
    layout->addWidget(HistoryChart, 1);
    layout->addWidget(HistoryLegend);
    right_->addWidget(HistoryPane);
    right_->setSizes({420, 300});
    HistoryPane->hide();
}

void TArchiveWindow::Refresh() {
    Fill(archive_->Tests(), archive_->Examinees());
}

void TArchiveWindow::Fill(std::vector<archive::TTestRow> tests,
                          std::vector<archive::TExamineeRow> examinees) {
    std::vector<std::int64_t> testIds, examineeIds;
    for (const archive::TTestRow& t : SelectedTests()) testIds.push_back(t.Id);
    for (const archive::TExamineeRow& e : SelectedExaminees()) examineeIds.push_back(e.Id);
    failed_ = missing_ = 0;
    for (const archive::TTestRow& t : tests) {
        failed_ += t.Status == archive::TTestStatus::Failed;
        missing_ += t.Status == archive::TTestStatus::Missing;
    }
    testModel_->SetDecimal(DecimalChar());
    HistoryChart->DecimalSeparator = DecimalChar();
    testModel_->SetRows(std::move(tests));
    {
        // The examinee list's own selection handling waits until both lists are filled.
        const QSignalBlocker block(Examinees->selectionModel());
        examineeModel_->SetRows(std::move(examinees));
        if (!Search->text().isEmpty())
            examineeFilter_->SetAllowed(testModel_->ExamineesMatchingFilter());
        SelectExaminees(examineeIds);
    }
    ExamineeSelectionChanged();
    SelectTests(testIds);
    UpdateCounts();
}

void TArchiveWindow::SearchChanged() {
    testModel_->SetFilter(Search->text());
    const QSignalBlocker block(Examinees->selectionModel());
    if (Search->text().isEmpty())
        examineeFilter_->SetAllowed(std::nullopt);
    else
        examineeFilter_->SetAllowed(testModel_->ExamineesMatchingFilter());
    // An examinee the search hides is no longer chosen.
    ExamineeSelectionChanged();
    UpdateCounts();
}

void TArchiveWindow::ExamineeSelectionChanged() {
    const std::vector<archive::TExamineeRow> chosen = SelectedExaminees();
    const std::optional<std::int64_t> one =
        chosen.size() == 1 ? std::optional(chosen.front().Id) : std::nullopt;
    const bool newPerson = one && one != shownExaminee_;
    shownExaminee_ = one;
    testModel_->SetExaminee(one);
    // One person's tests read in the order they were taken.
    if (newPerson) Tests->sortByColumn(kDateColumn, Qt::AscendingOrder);
    UpdateHistory();
    UpdateCommands();
    UpdateCounts();
}

void TArchiveWindow::UpdateHistory() {
    const std::vector<archive::TExamineeRow> chosen = SelectedExaminees();
    HistoryPane->setVisible(chosen.size() == 1);
    if (chosen.size() != 1) return;
    std::vector<THistoryTest> history;
    const std::size_t spm = *stats::FigureColumn("selections per minute");
    const std::size_t accuracy = *stats::FigureColumn("accuracy");
    const auto value = [](const archive::TTestRow& row, std::size_t c) -> std::optional<double> {
        if (c < row.Figures.size() && row.Figures[c].IsNumber()) return row.Figures[c].Value;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < testModel_->View().Shown(); ++i) {
        const archive::TTestRow& row = testModel_->View().ShownRow(i);
        const auto date = archive::ParseIsoDate(row.Date);
        if (!date || row.Status != archive::TTestStatus::Ok) continue;
        history.push_back(
            {date->Year, date->Month, date->Day, value(row, spm), value(row, accuracy)});
    }
    history_->Fill(std::move(history), Utf8ToCp1251(chosen.front().Name));
}

void TArchiveWindow::UpdateCommands() {
    const std::vector<archive::TTestRow> tests = SelectedTests();
    const std::size_t examinees = Examinees->selectionModel()->selectedRows().size();
    actOpen->setEnabled(tests.size() == 1);
    actCompare->setEnabled(tests.size() == 2);
    actSummary->setEnabled(!tests.empty());
    actNorms->setEnabled(tests.size() >= 2);
    actMove->setEnabled(!tests.empty());
    actSetDate->setEnabled(!tests.empty());
    actUndoMove->setEnabled(
        std::any_of(tests.begin(), tests.end(), [](const auto& t) { return t.ExamineeCorrected; }));
    actRename->setEnabled(examinees == 1);
    actMerge->setEnabled(examinees == 2);
    actExamineeData->setEnabled(examinees == 1);
}

void TArchiveWindow::UpdateCounts() {
    Counts->setText(QStringLiteral("Протоколов: %1, испытуемых: %2, показано: %3, с ошибкой: "
                                   "%4, нет файла: %5")
                        .arg(testModel_->View().Rows().size())
                        .arg(examineeModel_->rowCount())
                        .arg(testModel_->View().Shown())
                        .arg(failed_)
                        .arg(missing_));
}

std::vector<archive::TTestRow> TArchiveWindow::SelectedTests() const {
    std::vector<archive::TTestRow> rows;
    for (const QModelIndex& i : Tests->selectionModel()->selectedRows())
        rows.push_back(testModel_->Row(i.row()));
    return rows;
}

std::vector<archive::TExamineeRow> TArchiveWindow::SelectedExaminees() const {
    std::vector<archive::TExamineeRow> rows;
    for (const QModelIndex& i : Examinees->selectionModel()->selectedRows())
        rows.push_back(examineeModel_->Row(examineeFilter_->mapToSource(i).row()));
    return rows;
}

void TArchiveWindow::SelectTests(const std::vector<std::int64_t>& ids) {
    QItemSelection selection;
    for (const std::int64_t id : ids)
        if (const int row = testModel_->ShownRowOf(id); row >= 0)
            selection.select(testModel_->index(row, 0),
                             testModel_->index(row, testModel_->columnCount() - 1));
    Tests->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty()) {
        Tests->selectionModel()->setCurrentIndex(selection.indexes().front(),
                                                 QItemSelectionModel::NoUpdate);
        Tests->scrollTo(selection.indexes().front());
    }
}

void TArchiveWindow::SelectExaminees(const std::vector<std::int64_t>& ids) {
    QItemSelection selection;
    for (int r = 0; r < examineeFilter_->rowCount(); ++r) {
        const QModelIndex at = examineeFilter_->index(r, 0);
        const std::int64_t id = examineeModel_->Row(examineeFilter_->mapToSource(at).row()).Id;
        if (std::find(ids.begin(), ids.end(), id) != ids.end())
            selection.select(at, examineeFilter_->index(r, examineeFilter_->columnCount() - 1));
    }
    Examinees->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

QString TArchiveWindow::ResultsFolder() const {
    return user_dirs::ResultsFolder(form_.ExeDir());
}

}  // namespace orvix
