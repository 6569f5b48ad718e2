#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "about_box.h"
#include "archive_window.h"
#include "base/numbers.h"
#include "busy_cursor.h"
#include "failure.h"
#include "menu_style.h"
#include "pictures.h"
#include "qt_text.h"
#include "report_view.h"
#include "user_dirs.h"

#ifdef Q_OS_WIN
#include "win_system_menu.h"
#endif

namespace orvix {
namespace {

// The client area: the bevel line along its top edge and the work panel filling it.
class TClientArea final : public QWidget {
  public:
    using QWidget::QWidget;
    QWidget* bevel = nullptr;
    QWidget* work = nullptr;
    QWidget* hint = nullptr;

  protected:
    void resizeEvent(QResizeEvent*) override {
        if (bevel) bevel->setGeometry(0, 0, width(), 2);
        if (work) work->setGeometry(0, 0, width(), height());
        // The hint wraps where the desktop's font makes it wider than the window.
        if (hint) hint->setGeometry(12, 12, width() - 24, hint->heightForWidth(width() - 24));
    }
};

template <typename Handler>
void OnTriggered(QAction* action, QObject* context, Handler handler) {
    QObject::connect(action, &QAction::triggered, context, [handler] { RunCommand(handler); });
}

}  // namespace

TForm1::TForm1(TDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      decimalPoint_([] { return QLocale::system().decimalPoint(); }) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("ORVIX - Методика \"Кольца Ландольта\""));
    setWindowIcon(pictures::ProgramIcon());
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    setFont(f);

    CreateWorkPanel();
    CreateMenu();
    CreateSystemMenu();
    FormCreate();
    AboutBox = new TAboutBox(this, mmOpen);
    AboutBox->ShowDatabasePlace(FromPath(ArchiveDatabase()));
    connect(AboutBox->OKButton, &QPushButton::clicked, lbHint, &QWidget::hide);
    ReadDecimalChar();

    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    setWindowState(Qt::WindowMaximized);
    FitBorderToState();
}

TForm1::~TForm1() = default;

void TForm1::CreateWorkPanel() {
    auto* client = new TClientArea(this);
    setCentralWidget(client);

    auto* bevel = new QFrame(client);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    Bevel1 = bevel;

    paWork = new QWidget(client);
    paWork->setObjectName(QStringLiteral("paWork"));
    client->bevel = Bevel1;
    client->work = paWork;

    // Every command is off at first: the way in, until the About box has been confirmed.
    lbHint = new QLabel(StartHint(), client);
    lbHint->setObjectName(QStringLiteral("lbHint"));
    lbHint->setWordWrap(true);
    client->hint = lbHint;

    Chart5sec = new TTempoChart(paWork);
    Chart5sec->setGeometry(1, 1, kResultChartWidth, kResultChartHeight);
    ChartSel = new TSearchTimeChart(paWork);
    ChartSel->setGeometry(1, 1, kResultChartWidth, kResultChartHeight);
    meAnalysis = new TReportView(paWork);
    meAnalysis->setObjectName(QStringLiteral("meAnalysis"));
    meAnalysis->setGeometry(1, 370, 1023, 360);
}

void TForm1::CreateMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto* style = new TMenuBarStyle();
    style->setParent(bar);
    bar->setStyle(style);

    auto command = [bar](const char* name, const QString& caption, const QIcon& icon) {
        QAction* action = bar->addAction(icon, caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    mmOpen = command("mmOpen", QStringLiteral("Data"), pictures::DataIcon());
    mmChartSel = command("mmChartSel", QStringLiteral("Chart Select"), pictures::ChartSelectIcon());
    mmChart5sec = command("mmChart5sec", QStringLiteral("Chart 5 sec"), pictures::Chart5secIcon());
    mmOpen->setShortcut(QKeySequence::Open);
    mmChartSel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    mmChart5sec->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));

    auto* save = new QMenu(QStringLiteral("Save"), bar);
    save->setObjectName(QStringLiteral("SaveMenu"));
    mmSave = bar->addMenu(save);
    mmSave->setObjectName(QStringLiteral("mmSave"));
    mmSave->setIcon(pictures::SaveIcon());
    mmSaveAnalysis = save->addAction(QStringLiteral("Analysis"));
    mmSaveAnalysis->setObjectName(QStringLiteral("mmSaveAnalysis"));
    mmSaveChart5sec = save->addAction(QStringLiteral("Chart 5 sec"));
    mmSaveChart5sec->setObjectName(QStringLiteral("mmSaveChart5sec"));
    mmSaveChartSel = save->addAction(QStringLiteral("Chart Select"));
    mmSaveChartSel->setObjectName(QStringLiteral("mmSaveChartSel"));
    mmSaveAnalysis->setShortcut(QKeySequence::Save);
    CreateReportMenu();
    CreateArchiveMenu();

    OnTriggered(mmOpen, this, [this] { mmOpenClick(); });
    OnTriggered(mmChartSel, this, [this] { mmChartSelClick(); });
    OnTriggered(mmChart5sec, this, [this] { mmChart5secClick(); });
    // A key of a Save item works only while Save is on, as the menu does.
    OnTriggered(mmSaveAnalysis, this, [this] { mmSaveAnalysisClick(); });
    OnTriggered(mmSaveChart5sec, this, [this] { btSaveClick(); });
    OnTriggered(mmSaveChartSel, this, [this] { mmSaveChartSelClick(); });
}

void TForm1::FormCreate() {
    exeDir_ = QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator();
#ifdef Q_OS_WIN
    win::AppendSystemMenuItem(static_cast<std::uintptr_t>(winId()), syscmd::kAbout, L"О программе");
#endif
    meAnalysis->Clear();
    Chart5sec->raise();
    mmOpen->setEnabled(false);
    mmChartSel->setEnabled(false);
    mmChart5sec->setEnabled(false);
    mmSave->setEnabled(false);
    paWork->hide();
}

TChart* TForm1::FrontChart() const {
    // The later of two siblings is drawn over the earlier.
    const QObjectList& order = paWork->children();
    if (order.indexOf(Chart5sec) > order.indexOf(ChartSel)) return Chart5sec;
    return ChartSel;
}

void TForm1::mmOpenClick() {
    const TOpenDialogSettings open{QStringLiteral("Данные по методике \"Кольца Ландольта\""),
                                   user_dirs::OpenFolder(exeDir_), QString()};
    const std::optional<QString> chosen = dialogs_.OpenFile(this, open);
    if (!chosen) return;
    OpenProtocol(*chosen);
}

void TForm1::OpenProtocol(const QString& path) {
    TBusyCursor busy;
    // A file that cannot be read changes nothing; a failed analysis shows what it reached.
    loaded_ = LoadAndAnalyse(ToPath(path));
    loadedName_ = QFileInfo(path).fileName();
    loadedPath_ = ToPath(path);
    shownComplete_ = false;
    UpdateReportCommands();
    ShowLoad(loaded_, *meAnalysis, Chart5sec->Plot(), ChartSel->Plot());
    shownComplete_ = true;  // every view has the whole analysis
    UpdateReportCommands();

    mmOpen->setEnabled(true);
    mmSave->setEnabled(true);
    // The view commands as the view command of the chart in front sets them: the other chart
    // can be brought forward, and only the chart in front can be saved.
    SetViewCommands(FrontChart() == ChartSel);
    paWork->show();
}

void TForm1::SetViewCommands(bool chartSelInFront) {
    mmChartSel->setEnabled(!chartSelInFront);
    mmChart5sec->setEnabled(chartSelInFront);
    mmSaveChart5sec->setEnabled(!chartSelInFront);
    mmSaveChartSel->setEnabled(chartSelInFront);
}

void TForm1::mmChartSelClick() {
    ChartSel->raise();
    SetViewCommands(true);
}

void TForm1::mmChart5secClick() {
    Chart5sec->raise();
    SetViewCommands(false);
}

void TForm1::SetDecimalPointSource(std::function<QString()> source) {
    decimalPoint_ = std::move(source);
    ReadDecimalChar();
}

void TForm1::ReadDecimalChar() {
    // A separator the code page cannot hold could never be read or written: use ".".
    const QString point = decimalPoint_();
    SetDecimalChar(FitsCp1251(point) ? DecimalCharFor(ToCp1251(point)) : '.');
    // The charts' labels follow it.
    for (TChart* chart : {static_cast<TChart*>(Chart5sec), static_cast<TChart*>(ChartSel)}) {
        chart->DecimalSeparator = DecimalChar();
        chart->Invalidate();
    }
}

void TForm1::FitBorderToState() {
    // A single border: the window keeps its design size unless maximized.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        AllowAnySize();
    } else if (!(windowState() & Qt::WindowMinimized)) {
        setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    }
}

void TForm1::AllowAnySize() {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) ReadDecimalChar();
    if (event->type() == QEvent::WindowStateChange) FitBorderToState();
    QMainWindow::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
#ifdef Q_OS_WIN
    win::ShowTaskbar();
#endif
    AboutBox->hide();
    // A scan the archive window runs stops now, not when the program's objects go.
    if (ArchiveWindow) ArchiveWindow->close();
    loaded_ = TLoadedProtocol{};
    shownComplete_ = false;
    UpdateReportCommands();
    event->accept();
}

}  // namespace orvix
