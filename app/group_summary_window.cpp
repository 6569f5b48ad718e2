#include "group_summary_window.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "archive/archive_export.h"
#include "archive/private_file.h"
#include "archive_columns.h"
#include "dialogs.h"
#include "failure.h"
#include "private_table_file.h"
#include "qt_text.h"
#include "stats/stats_text.h"

namespace orvix {
namespace {

// Shares and ratios read best with three decimals, the rest with two.
int DecimalsOf(const std::string& index) {
    for (const char* fine : {"impulsivity", "accuracy", "wrong share", "last/first third"})
        if (index == fine) return 3;
    return 2;
}

// The figures of the tests a summary counts: a failed test's row is empty.
std::vector<std::vector<stats::TCell>> FigureRows(const std::vector<archive::TTestRow>& tests) {
    std::vector<std::vector<stats::TCell>> rows;
    rows.reserve(tests.size());
    for (const archive::TTestRow& t : tests)
        rows.push_back(t.Status == archive::TTestStatus::Ok ? t.Figures
                                                            : std::vector<stats::TCell>{});
    return rows;
}

}  // namespace

TGroupSummaryWindow::TGroupSummaryWindow(std::vector<archive::TTestRow> tests, char decimal,
                                         TDialogs& dialogs, QString resultsFolder, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), resultsFolder_(std::move(resultsFolder)) {
    setObjectName(QStringLiteral("GroupSummaryWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setSizeGripEnabled(true);
    setWindowTitle(QStringLiteral("Сводка по выбранным обследованиям"));
    std::size_t failed = 0;
    for (archive::TTestRow& t : tests) {
        if (t.Status == archive::TTestStatus::Missing) continue;
        failed += t.Status == archive::TTestStatus::Failed;
        tests_.push_back(std::move(t));
    }
    const std::vector<std::string> names(stats::kFigureColumns.begin(),
                                         stats::kFigureColumns.end());
    summary_ = stats::SummariseColumns(names, FigureRows(tests_), stats::NumericFigureColumns());

    Caption = new QLabel(QStringLiteral("Обследований: %1, из них с ошибкой (без показателей): %2")
                             .arg(tests_.size())
                             .arg(failed),
                         this);
    Caption->setObjectName(QStringLiteral("GroupSummaryCaption"));

    const QStringList headings{
        QStringLiteral("Показатель"), QStringLiteral("n"),       QStringLiteral("Среднее"),
        QStringLiteral("SD"),         QStringLiteral("Медиана"), QStringLiteral("Q1"),
        QStringLiteral("Q3"),         QStringLiteral("Мин."),    QStringLiteral("Макс.")};
    Table = new QTableWidget(static_cast<int>(summary_.size()), static_cast<int>(headings.size()),
                             this);
    Table->setObjectName(QStringLiteral("GroupSummaryTable"));
    Table->setHorizontalHeaderLabels(headings);
    Table->verticalHeader()->hide();
    Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setAlternatingRowColors(true);
    int r = 0;
    for (const stats::TIndexSummary& s : summary_) {
        const int decimals = DecimalsOf(s.Index);
        const auto cell = [&](int c, const QString& text, bool number) {
            auto* item = new QTableWidgetItem(text);
            item->setTextAlignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
            Table->setItem(r, c, item);
        };
        cell(0, FigureTitle(s.Index), false);
        cell(1, QString::number(s.N), true);
        int c = 2;
        for (const auto& v : {s.Mean, s.SD, s.Median, s.Q1, s.Q3, s.Min, s.Max})
            cell(c++, QString::fromStdString(stats::NumberText(v, decimals, decimal)), true);
        ++r;
    }
    Table->resizeColumnsToContents();
    Table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);

    ExportButton = new QPushButton(QStringLiteral("Экспорт…"), this);
    ExportButton->setObjectName(QStringLiteral("GroupSummaryExport"));
    ExportButton->setToolTip(QStringLiteral("Записать строки обследований и сводку в CSV-файлы"));
    connect(ExportButton, &QPushButton::clicked, this,
            [this] { RunCommand([this] { Export(); }); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    buttons->addButton(ExportButton, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Caption);
    layout->addWidget(Table, 1);
    layout->addWidget(buttons);
    resize(820, 560);
}

QString TGroupSummaryWindow::SummaryFileFor(const QString& rowsFile) {
    const QFileInfo info(rowsFile);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("csv") : info.suffix();
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(" (сводка).") + suffix);
}

void TGroupSummaryWindow::Export() {
    const TSaveDialogSettings settings = SaveSettingsIn(
        resultsFolder_, QStringLiteral("Архив — выборка.csv"),
        QStringLiteral("Запись выбранных обследований и сводки в CSV-файлы или книги .xlsx"),
        TFileFilter{QStringLiteral("Таблицы CSV или книги .xlsx"), QStringLiteral("*.csv *.xlsx")});
    const std::optional<QString> chosen = dialogs_.SaveFile(this, settings);
    if (!chosen) return;
    std::vector<std::vector<stats::TCell>> rows;
    rows.reserve(tests_.size());
    for (const archive::TTestRow& t : tests_)
        rows.push_back(archive::ExportCells(t, t.Examinee, false));
    // Names are personal data: both files are for their owner's eyes only. A name ending in
    // .xlsx makes both workbooks.
    const std::string rowsCsv = archive::ExportCsv(rows);
    WritePrivateTable(*chosen, archive::ExportHeader(), rows, "Обследования", rowsCsv);
    const std::vector<std::vector<stats::TCell>> summary = stats::SummaryCells(summary_);
    WritePrivateTable(SummaryFileFor(*chosen), stats::SummaryHeader(), summary, "Сводка",
                      stats::CsvTable(stats::SummaryHeader(), summary));
}

}  // namespace orvix
