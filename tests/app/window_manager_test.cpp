// Save › Chart 5 sec as a user does it under a window manager: the program's own save dialog,
// the overwrite question answered with the mouse, and the picture copied from the screen. The
// window manager removes a closed dialog's frame when it gets round to it; the saved picture
// must show the chart all the same, never the dialog. Runs on an X display, starts openbox.
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "chart_save_fixture.h"

namespace orvix::test {
namespace {

// The program's real save dialog; the protocol to open is given.
class TRealSaveDialog final : public TDialogs {
  public:
    QString openAnswer;
    std::vector<QString> failures;
    std::optional<QString> OpenFile(QWidget*, const TOpenDialogSettings&) override {
        return openAnswer;
    }
    std::optional<QString> SaveFile(QWidget* parent, const TSaveDialogSettings& s) override {
        return real_.SaveFile(parent, s);
    }
    void ShowFailure(QWidget*, const QString&, const QString& text) override {
        failures.push_back(text);
    }

  private:
    TQtDialogs real_;
};

// Runs `step` every few milliseconds from the event loop, whichever loop runs, until it
// returns true or `seconds` pass (then `expired` runs), or until `scope` goes.
void Poll(QObject& scope, std::function<bool()> step, std::function<void()> expired,
          int seconds = 20) {
    auto* timer = new QTimer(&scope);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        const bool done = step();
        if (done || clock->elapsed() > seconds * 1000) {
            timer->stop();
            timer->deleteLater();
            if (!done) expired();
        }
    });
    timer->start(10);
}

template <typename Dialog>
Dialog* ShownModal() {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->windowHandle() || !dialog->windowHandle()->isExposed()) return nullptr;
    return dialog;
}

// A click as the toolkit gets it from the mouse: press and release through its input path.
void Click(QAbstractButton& button) {
    QWindow* window = button.window()->windowHandle();
    const QPoint at = button.mapTo(button.window(), button.rect().center());
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at);
}

// Input from the X server's own pointer and keyboard (XTEST), as the window manager sees it.
void Xdotool(const QStringList& arguments) {
    QProcess::execute("xdotool", arguments);
}

void ClickWithThePointer(QAbstractButton& button) {
    const QPoint at = button.mapToGlobal(button.rect().center());
    Xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

std::string ReadBytes(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll().toStdString();
}

bool WindowManagerRunning() {
    QProcess xprop;
    xprop.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
    xprop.waitForFinished(5000);
    return xprop.readAllStandardOutput().contains("window id");
}

class UnderWindowManager : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        wm_ = new QProcess;
        wm_->start("openbox", {"--sm-disable"});
        QElapsedTimer clock;
        clock.start();
        while (!WindowManagerRunning() && clock.elapsed() < 15000) QThread::msleep(100);
    }
    static void TearDownTestSuite() {
        wm_->terminate();
        if (!wm_->waitForFinished(5000)) wm_->kill();
        delete wm_;
    }
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under an X server";
        ASSERT_TRUE(WindowManagerRunning()) << "openbox did not start";
        ASSERT_TRUE(dir.isValid());
        SetFailureDialogs(&dialogs);
    }
    void TearDown() override { SetFailureDialogs(nullptr); }

    static inline QProcess* wm_ = nullptr;
    QTemporaryDir dir;
    TRealSaveDialog dialogs;
};

TEST_F(UnderWindowManager, ChartPictureNeverShowsTheDialogWhenTheQuestionIsAnsweredWithTheMouse) {
    TForm1 form(dialogs);
    form.SetDecimalPointSource([] { return QStringLiteral("."); });
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.WMSysCommand(syscmd::kAbout);
    form.AboutBox->OKButton->click();
    protogen::TGenerateOptions options;
    options.Seed = 11;
    dialogs.openAnswer = dir.filePath("p.klp");
    protogen::WriteProtocolFile(protogen::GenerateProtocol(options), ToPath(dialogs.openAnswer));
    form.mmOpen->trigger();
    ASSERT_TRUE(dialogs.failures.empty()) << dialogs.failures[0].toStdString();
    // The window manager frames the window.
    ASSERT_NE(form.frameGeometry(), form.geometry());

    const QString target = dir.filePath("chart.gif");
    QFile(target).open(QIODevice::WriteOnly);  // there already: the question comes
    const QRect chartPlace(form.Chart5sec->mapToGlobal(QPoint()), form.Chart5sec->size());
    int questions = 0, dialogsOverTheChart = 0;
    for (int save = 0; save < 20; ++save) {
        SCOPED_TRACE(save);
        QObject scope;  // the dialogs' answers wait no longer than this save
        bool stuck = false;
        const auto giveUp = [&stuck] {
            stuck = true;
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        };
        Poll(
            scope,
            [&] {
                QFileDialog* dialog = ShownModal<QFileDialog>();
                if (!dialog) return false;
                if (dialog->frameGeometry().intersects(chartPlace)) ++dialogsOverTheChart;
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText(target);
                Poll(
                    scope,
                    [&] {
                        QMessageBox* question = ShownModal<QMessageBox>();
                        if (!question) return false;
                        ++questions;
                        ClickWithThePointer(*question->button(QMessageBox::Yes));
                        return true;
                    },
                    giveUp);
                auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
                Click(*buttons->button(QDialogButtonBox::Save));
                return true;
            },
            giveUp);
        form.mmSaveChart5sec->trigger();
        ASSERT_FALSE(stuck);
        ASSERT_TRUE(dialogs.failures.empty()) << dialogs.failures[0].toStdString();
        EXPECT_TRUE(DecodeGifFile(ReadBytes(target)) ==
                    AsSavedPicture(form.Chart5sec->RenderImage()));
    }
    EXPECT_EQ(questions, 20);
    EXPECT_EQ(dialogsOverTheChart, 20);  // else the test proves nothing
}

// The window menu's key reaches the window under a window manager (which keeps Alt+Space for
// its own menu), and the hint names it.
TEST_F(UnderWindowManager, WindowMenuKeyReachesTheWindow) {
    TForm1 form(dialogs);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_FALSE(TForm1::SystemMenuKeys().isEmpty());
    const QKeySequence key = TForm1::SystemMenuKeys()[0];
    EXPECT_TRUE(form.lbHint->text().contains(key.toString()));
    Xdotool({"key", key.toString()});
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.SystemMenu->isVisible(); }, 5000));
    form.SystemMenu->hide();
}

}  // namespace
}  // namespace orvix::test

int main(int argc, char** argv) {
    orvix::TApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
