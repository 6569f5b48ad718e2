// Keys of the commands, and the hint that shows the way in until the About box has been
// confirmed. (The window menu's key under a window manager: window_manager_test.cpp.)
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include "form_fixture.h"

namespace orvix::test {
namespace {

using Keys = FormTest;

// Every key of the window's commands, once; none that the report view uses for editing.
TEST_F(Keys, CommandsHaveTheUsualKeysWithoutClashes) {
    const std::pair<QAction*, QKeySequence> expected[] = {
        {form->mmOpen, QKeySequence("Ctrl+O")},
        {form->mmChartSel, QKeySequence("Ctrl+1")},
        {form->mmChart5sec, QKeySequence("Ctrl+2")},
        {form->mmSaveAnalysis, QKeySequence("Ctrl+S")},
        {form->mmReportPdf, QKeySequence("Ctrl+Shift+P")},
        {form->mmReportPrint, QKeySequence("Ctrl+P")},
        {form->mmArchive, QKeySequence("Ctrl+Shift+A")},
    };
    for (const auto& [action, key] : expected)
        EXPECT_EQ(action->shortcut(), key) << key.toString().toStdString();

    QList<QKeySequence> keys = TForm1::SystemMenuKeys();
    QList<QAction*> actions = form->menuBar()->actions();
    for (QAction* menu : {form->mmSave, form->mmReport}) actions += menu->menu()->actions();
    for (QAction* action : actions) keys += action->shortcuts();
    const QKeySequence::StandardKey editing[] = {QKeySequence::Copy,
                                                 QKeySequence::Cut,
                                                 QKeySequence::Paste,
                                                 QKeySequence::Undo,
                                                 QKeySequence::Redo,
                                                 QKeySequence::SelectAll,
                                                 QKeySequence::Delete,
                                                 QKeySequence::Find,
                                                 QKeySequence::DeleteStartOfWord,
                                                 QKeySequence::Backspace,
                                                 QKeySequence::Close,
                                                 QKeySequence::Quit,
                                                 QKeySequence::MoveToEndOfLine,
                                                 QKeySequence::MoveToStartOfDocument};
    for (const QKeySequence& key : keys) {
        EXPECT_EQ(keys.count(key), 1) << key.toString().toStdString();
        for (const QKeySequence::StandardKey standard : editing)
            EXPECT_FALSE(QKeySequence::keyBindings(standard).contains(key))
                << key.toString().toStdString();
    }
}

TEST_F(Keys, KeysRunTheCommandsThatAreOn) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // At first every command is off, the Save items too although their own state is on.
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_TRUE(dialogs.saveRequests.empty());

    AboutOk();
    dialogs.openAnswers.push_back(Write(ValidProtocol()));
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    ASSERT_TRUE(dialogs.failures.empty());
    EXPECT_FALSE(form->paWork->isHidden());

    QTest::keyClick(form.get(), Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(form->FrontChart(), form->ChartSel);
    QTest::keyClick(form.get(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(form->FrontChart(), form->Chart5sec);

    // With the focus in the report view, as when the user has been editing it.
    form->meAnalysis->setFocus();
    QTest::keyClick(form->meAnalysis, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].Title,
              QStringLiteral("Запись результатов анализа в текстовый файл"));
    QTest::keyClick(form->meAnalysis, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(dialogs.saveRequests[1].Title, QStringLiteral("Запись страницы отчёта в PDF-файл"));
    QTest::keyClick(form->meAnalysis, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(dialogs.printRequests, 1);
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(Keys, HintShowsTheWayInUntilTheAboutBoxIsConfirmed) {
    const QLabel& hint = *form->lbHint;
    EXPECT_TRUE(hint.isVisible());
    EXPECT_TRUE(hint.text().contains(QStringLiteral("О программе")));
    EXPECT_TRUE(hint.text().contains(TForm1::SystemMenuKeys().isEmpty()
                                         ? QStringLiteral("Alt+Пробел")
                                         : TForm1::SystemMenuKeys()[0].toString()));
    EXPECT_TRUE(hint.text().contains(QStringLiteral("Data (Ctrl+O)")));
    EXPECT_EQ(hint.text().count('\n'), 0);
    // Wholly inside the window, and all of it: where the font makes it wider than the window
    // (as on Windows), it wraps and is as tall as its lines.
    EXPECT_TRUE(form->centralWidget()->rect().contains(hint.geometry()));
    EXPECT_TRUE(hint.wordWrap());
    EXPECT_GE(hint.height(), hint.heightForWidth(hint.width()));
    EXPECT_GE(hint.height(), hint.fontMetrics().height());

    // Closed without OK: still the way in.
    form->WMSysCommand(syscmd::kAbout);
    QTest::keyClick(form->AboutBox, Qt::Key_Escape);
    EXPECT_TRUE(hint.isVisible());
    AboutOk();
    EXPECT_FALSE(hint.isVisible());
    Load(Write(ValidProtocol()));
    form->WMSysCommand(syscmd::kAbout);
    form->AboutBox->close();
    EXPECT_FALSE(hint.isVisible());
}

}  // namespace
}  // namespace orvix::test
