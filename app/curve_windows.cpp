#include "curve_windows.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs.h"
#include "export/compare_page.h"
#include "failure.h"
#include "protocol/output_names.h"
#include "qt_text.h"
#include "stats/stats_text.h"

namespace orvix {
namespace {

QFont WindowFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    return f;
}

QFont FiguresFont() {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(13);
    return f;
}

TChart* NewCurveChart(QWidget* parent) {
    auto* chart = new TChart(parent);
    chart->setMinimumSize(640, 280);
    chart->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return chart;
}

QPlainTextEdit* NewFiguresView(const std::string& utf8, QWidget* parent) {
    auto* view = new QPlainTextEdit(parent);
    view->setReadOnly(true);
    view->setFont(FiguresFont());
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    QString text = QString::fromStdString(utf8);
    while (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    view->setPlainText(text);
    return view;
}

// A text view as high as its lines, so the chart gets the rest of the window.
void FitHeightToLines(QPlainTextEdit* view) {
    const int lines = view->document()->blockCount();
    const QMargins m = view->contentsMargins();
    view->setFixedHeight(QFontMetrics(view->font()).lineSpacing() * lines +
                         static_cast<int>(2 * view->document()->documentMargin()) + m.top() +
                         m.bottom() + 4);
}

// Closes the window.
QDialogButtonBox* CloseButtons(QDialog* window) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setText(QStringLiteral("Закрыть"));
    // The window opens with the focus here, not on a row of its table.
    close->setFocus();
    QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
    return buttons;
}

void SetUpWindow(QDialog* window, const char* name, const QString& title) {
    window->setObjectName(QLatin1String(name));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setModal(false);
    window->setFont(WindowFont());
    window->setWindowTitle(title);
    window->setSizeGripEnabled(true);
}

}  // namespace

// ---- TWorkCurveWindow ------------------------------------------------------------------

TWorkCurveWindow::TWorkCurveWindow(const TLoadedProtocol& load, char decimal, QWidget* parent)
    : QDialog(parent) {
    SetUpWindow(this, "WorkCurveWindow",
                QStringLiteral("Кривая работы — ") + ToQString(load.Subject));
    const TAnalysisResult& result = load.Analysis.Result;
    const stats::TWorkCurve curve = stats::ComputeWorkCurve(result);

    Chart = NewCurveChart(this);
    Chart->DecimalSeparator = decimal;
    plot_ = std::make_unique<TWorkCurvePlot>(*Chart);
    plot_->Fill(curve, load.Subject);
    Legend = new TLegendStrip(this);
    Legend->SetEntries(plot_->Legend());
    Figures =
        NewFiguresView(stats::WorkCurveText(curve, stats::ComputeAccuracy(result), decimal), this);
    Figures->setObjectName(QStringLiteral("WorkCurveFigures"));
    FitHeightToLines(Figures);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Chart, 1);
    layout->addWidget(Legend);
    layout->addWidget(Figures);
    layout->addWidget(CloseButtons(this));
    resize(kCurveChartWidth + 24, kCurveChartHeight + Figures->height() + 110);
}

TWorkCurveWindow::~TWorkCurveWindow() = default;

// ---- TCompareWindow --------------------------------------------------------------------

TCompareWindow::TCompareWindow(TLoadedProtocol earlier, TLoadedProtocol later,
                               const std::string& earlierName, const std::string& laterName,
                               char decimal, TDialogs& dialogs, QString resultsFolder,
                               QWidget* parent, std::optional<stats::TNormInput> norms)
    : QDialog(parent),
      earlier_(std::move(earlier)),
      later_(std::move(later)),
      norms_(std::move(norms)),
      retest_(stats::CompareTests(earlier_.Analysis.Result, later_.Analysis.Result,
                                  norms_ ? &*norms_ : nullptr)),
      dialogs_(dialogs),
      resultsFolder_(std::move(resultsFolder)) {
    SetUpWindow(this, "CompareWindow",
                QStringLiteral("Сравнение обследований — ") + QString::fromStdString(earlierName) +
                    QStringLiteral(" и ") + QString::fromStdString(laterName));

    Chart = NewCurveChart(this);
    Chart->DecimalSeparator = decimal;
    plot_ = std::make_unique<TCurveOverlayPlot>(*Chart);
    plot_->Fill(retest_.EarlierCurve, retest_.LaterCurve, earlier_.Subject, later_.Subject);
    Legend = new TLegendStrip(this);
    Legend->SetEntries(plot_->Legend());

    Table = new QTableWidget(static_cast<int>(retest_.Rows.size()), 4, this);
    Table->setObjectName(QStringLiteral("CompareTable"));
    Table->setHorizontalHeaderLabels({QStringLiteral("Показатель"), QStringLiteral("Первое"),
                                      QStringLiteral("Повторное"), QStringLiteral("Разность")});
    Table->verticalHeader()->hide();
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setAlternatingRowColors(true);
    int row = 0;
    for (const stats::TIndexRow& r : retest_.Rows) {
        const auto cell = [&](int column, const QString& text, Qt::Alignment align) {
            auto* item = new QTableWidgetItem(text);
            item->setTextAlignment(align | Qt::AlignVCenter);
            Table->setItem(row, column, item);
        };
        cell(0, QString::fromUtf8(r.Name.data(), static_cast<qsizetype>(r.Name.size())),
             Qt::AlignLeft);
        const std::optional<double>* values[] = {&r.Earlier, &r.Later, &r.Difference};
        for (int c = 0; c < 3; ++c)
            cell(c + 1, QString::fromStdString(stats::NumberText(*values[c], r.Decimals, decimal)),
                 Qt::AlignRight);
        ++row;
    }
    Table->resizeColumnsToContents();
    Table->resizeRowsToContents();
    // The names take what the numbers leave; the table is as high as its rows.
    Table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < 4; ++c) Table->setColumnWidth(c, std::max(Table->columnWidth(c), 110));
    Table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int tableHeight = Table->horizontalHeader()->sizeHint().height() + 2 * Table->frameWidth();
    for (int r = 0; r < Table->rowCount(); ++r) tableHeight += Table->rowHeight(r);
    Table->setFixedHeight(tableHeight);

    Text = NewFiguresView(stats::RetestText(retest_, earlierName, laterName, decimal), this);
    Text->setObjectName(QStringLiteral("CompareText"));

    PdfButton = new QPushButton(QStringLiteral("PDF…"), this);
    PdfButton->setObjectName(QStringLiteral("ComparePdfButton"));
    PdfButton->setToolTip(QStringLiteral("Записать страницу сравнения в PDF-файл"));
    connect(PdfButton, &QPushButton::clicked, this, [this] { RunCommand([this] { SavePdf(); }); });
    auto* buttons = CloseButtons(this);
    buttons->addButton(PdfButton, QDialogButtonBox::ActionRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Chart, 3);
    layout->addWidget(Legend);
    layout->addWidget(Table);
    layout->addWidget(Text, 2);
    layout->addWidget(buttons);
    resize(kCurveChartWidth + 24, 960);
}

TCompareWindow::~TCompareWindow() = default;

void TCompareWindow::SavePdf() {
    const TSaveDialogSettings settings = SaveSettingsIn(
        resultsFolder_, ToQString(output::FileName(later_.FileTag, output::kComparePdf)),
        QStringLiteral("Запись сравнения обследований в PDF-файл"),
        TFileFilter{QStringLiteral("PDF Files (*.pdf)"), QStringLiteral("*.pdf")});
    const std::optional<QString> chosen = dialogs_.SaveFile(this, settings);
    if (!chosen) return;
    WriteComparisonPdf(ToPath(*chosen), earlier_, later_, QDate::currentDate(),
                       norms_ ? &*norms_ : nullptr);
}

}  // namespace orvix
