// The report view keeps to Windows-1251, Save › Analysis writes what it shows, and failures
// reach the central handler, which shows them and lets the program go on.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QTest>
#include <new>

#include "form_fixture.h"
#include "protocol/cp1251.h"
#include "protocol/errors.h"

namespace orvix::test {
namespace {

using SaveAnalysis = FormTest;

// Typing as a keyboard does: one key event per character, carrying its text.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

TEST_F(SaveAnalysis, WritesTheLoadedReportAndTheUsersEdits) {
    auto protocol = ValidProtocol();
    protocol.Head[1] = W1251("Петров 12:05/a");
    const QString path = Write(protocol);
    AboutOk();
    Load(path);
    const std::string built = BatchReport(path);
    ASSERT_EQ(Report(), built);

    // Typed text, a line break, text the code page lacks, a paste with its own line breaks.
    form->meAnalysis->setFocus();
    form->meAnalysis->moveCursor(QTextCursor::End);
    Type(form->meAnalysis, QStringLiteral("Вывод: норма — €5"));
    QTest::keyClick(form->meAnalysis, Qt::Key_Return, Qt::ShiftModifier);
    Type(form->meAnalysis, QStringLiteral("日本 ok"));
    QGuiApplication::clipboard()->setText(QStringLiteral("\nвставка ∑\r\nконец"));
    form->meAnalysis->paste();
    // And the first line edited in place.
    form->meAnalysis->moveCursor(QTextCursor::Start);
    Type(form->meAnalysis, QStringLiteral("№"));

    const std::string expected =
        W1251("№") + built + W1251("Вывод: норма — €5\r\n?? ok") + W1251("\r\nвставка ?\r\nконец");
    EXPECT_EQ(Report(), expected);
    // What is shown is what is saved: the view holds exactly these characters.
    EXPECT_EQ(
        form->meAnalysis->document()->toRawText(),
        ToQString(expected).replace(QStringLiteral("\r\n"), QChar(QChar::ParagraphSeparator)));

    const QString target = dir.filePath("out.txt");
    dialogs.saveAnswers.push_back(target);
    form->mmSaveAnalysis->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const TSaveDialogSettings& save = dialogs.saveRequests[0];
    EXPECT_EQ(save.Title, QStringLiteral("Запись результатов анализа в текстовый файл"));
    EXPECT_EQ(save.FileName,
              QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                       QStringLiteral("/Results/Петров 12_05_a KL.txt")));
    EXPECT_TRUE(save.OverwritePrompt);
    EXPECT_TRUE(dialogs.failures.empty());
    EXPECT_EQ(ReadBytes(target), expected);
}

TEST_F(SaveAnalysis, KeepsTheSharedDialogsOtherSettingsAndTheNameAsEntered) {
    const QString path = Write(ValidProtocol());
    AboutOk();
    Load(path);
    form->SaveDialog().Filter = QStringLiteral("GIF Files (*.gif)");
    form->SaveDialog().InitialDir = QStringLiteral("/elsewhere");
    const QString target = dir.filePath("report.GIF");  // no extension is added or changed
    dialogs.saveAnswers.push_back(target);
    form->mmSaveAnalysis->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].Filter, QStringLiteral("GIF Files (*.gif)"));
    EXPECT_EQ(dialogs.saveRequests[0].InitialDir, QStringLiteral("/elsewhere"));
    EXPECT_EQ(ReadBytes(target), BatchReport(path));
}

TEST_F(SaveAnalysis, CancelAndFailedSave) {
    AboutOk();
    Load(Write(ValidProtocol()));
    const std::string report = Report();
    const QString target = dir.filePath("kept.txt");
    { std::ofstream(ToPath(target), std::ios::binary) << "old"; }
    form->mmSaveAnalysis->trigger();  // the user cancels
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_TRUE(dialogs.failures.empty());

    const QString unwritable = dir.filePath("no/such/folder/r.txt");
    dialogs.saveAnswers.push_back(unwritable);
    form->mmSaveAnalysis->trigger();
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(dialogs.failures[0].text, QStringLiteral("Cannot create file ") + unwritable + ".");
    EXPECT_EQ(Report(), report);
    EXPECT_EQ(Menu(), (TMenuState{1, 1, 0, 1, 1, 1, 0}));
}

TEST(ReportView, BuildsLinesLikeThePlainList) {
    // The AddLine rule (an unterminated last line gets the break before the new line) and
    // every byte of the code page except the line-break ones survive the view.
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') all.push_back(static_cast<char>(b));
    TReportView view;
    TTextLines plain;
    for (TLineList* lines : {static_cast<TLineList*>(&view), static_cast<TLineList*>(&plain)}) {
        lines->Clear();
        lines->BeginUpdate();
        lines->AddLine(all);
        lines->AddLine("");
        lines->AddLine("x");
        lines->EndUpdate();
    }
    EXPECT_EQ(view.Text(), plain.Text());
    view.setPlainText(QStringLiteral("edited"));
    plain.SetText("edited");
    view.AddLine("next");
    plain.AddLine("next");
    EXPECT_EQ(view.Text(), plain.Text());
    EXPECT_EQ(view.Text(), "edited\r\nnext");
    view.Clear();
    EXPECT_EQ(view.Text(), "");
}

TEST(ReportView, BuildingIsNoEditToUndo) {
    TReportView view;
    view.BeginUpdate();
    view.BeginUpdate();
    view.AddLine("a");
    view.EndUpdate();
    EXPECT_FALSE(view.updatesEnabled());  // nested: still suspended
    view.EndUpdate();
    EXPECT_TRUE(view.updatesEnabled());
    view.undo();
    EXPECT_EQ(view.Text(), "a\r\n");
}

// An object whose event handler fails the way a command can.
class TFailingObject final : public QObject {
  public:
    int handled = 0;
    std::function<void()> fail;

  protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        ++handled;
        if (handled == 1) fail();
        return true;
    }
};

TEST(CentralHandler, ShowsTheFailureAndTheEventLoopGoesOn) {
    struct Case {
        const char* name;
        std::function<void()> fail;
        std::string text;  // UTF-8
    };
    const Case cases[] = {
        {"message ending in a letter", [] { throw EZeroDivide(msg::kZeroDivide); },
         "Floating point division by zero."},
        {"message ending in '.'", [] { throw EConvertError("Bad value."); }, "Bad value."},
        {"message ending in ')'", [] { throw ERangeError("Range (1..8)"); }, "Range (1..8)"},
        {"path ending in txt",
         [] { throw EFOpenError(WithArgument(msg::kCannotOpenFile, W1251("/д/a.txt"))); },
         "Cannot open file /д/a.txt."},
        {"Windows-1251 message", [] { throw EConvertError(W1251("'чушь' is wrong")); },
         "'чушь' is wrong."},
        {"out of memory", [] { throw std::bad_alloc(); }, "Out of memory."},
    };
    for (const Case& c : cases) {
        TScriptedDialogs dialogs;
        SetFailureDialogs(&dialogs);
        QWidget grabber;
        grabber.show();
        grabber.grabMouse();
        TFailingObject object;
        object.fail = c.fail;
        QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
        QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        EXPECT_EQ(object.handled, 2) << c.name;  // the next event is handled as usual
        ASSERT_EQ(dialogs.failures.size(), 1u) << c.name;
        EXPECT_EQ(dialogs.failures[0].text.toStdString(), c.text) << c.name;
        EXPECT_EQ(dialogs.failures[0].caption, ApplicationTitle());
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << c.name;
        SetFailureDialogs(nullptr);
    }
}

}  // namespace
}  // namespace orvix::test
