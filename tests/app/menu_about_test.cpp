// The menu state machine with view switching, the window menu, and the About box gate.
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

#include "form_fixture.h"

namespace orvix::test {
namespace {

// The rows of the menu-state table, with Archive, which goes with Data.
constexpr TMenuState kStartUp{0, 0, 0, 0, 0, 0, 1, 1, 1};
constexpr TMenuState kAboutOk{1, 0, 0, 0, 0, 1, 1, 1, 1};
constexpr TMenuState kLoaded{1, 1, 0, 1, 1, 1, 1, 1, 0};
constexpr TMenuState kChartSel{1, 0, 1, 1, 1, 1, 1, 0, 1};
constexpr TMenuState kChart5sec{1, 1, 0, 1, 1, 1, 1, 1, 0};

using MenuStates = FormTest;

TEST_F(MenuStates, WalkEveryRowOfTheTable) {
    EXPECT_EQ(Menu(), kStartUp);
    form->mmOpen->trigger();  // disabled: ignored
    form->mmArchive->trigger();
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_FALSE(form->ArchiveWindow);
    EXPECT_TRUE(form->paWork->isHidden());
    AboutOk();
    EXPECT_EQ(Menu(), kAboutOk);

    const QString path = Write(ValidProtocol());
    struct Step {
        const char* command;
        QAction* action;
        TMenuState menu;
        TChart* front;  // the chart the user sees afterwards
    };
    const Step steps[] = {
        {"Data", form->mmOpen, kLoaded, form->Chart5sec},
        {"Chart Select", form->mmChartSel, kChartSel, form->ChartSel},
        {"Chart 5 sec", form->mmChart5sec, kChart5sec, form->Chart5sec},
        {"Chart Select", form->mmChartSel, kChartSel, form->ChartSel},
        // A load keeps the chart in front and sets the menu for it.
        {"Data", form->mmOpen, kChartSel, form->ChartSel},
        // About OK changes nothing but Data.
        {"About OK", nullptr, kChartSel, form->ChartSel},
    };
    for (const Step& step : steps) {
        if (!step.action) {
            AboutOk();
        } else {
            if (step.action == form->mmOpen) dialogs.openAnswers.push_back(path);
            ASSERT_TRUE(step.action->isEnabled()) << step.command;
            step.action->trigger();
        }
        EXPECT_EQ(Menu(), step.menu) << step.command;
        EXPECT_EQ(form->FrontChart(), step.front) << step.command;
        EXPECT_EQ(form->paWork->childAt(500, 100), step.front) << step.command;
    }
    EXPECT_TRUE(dialogs.failures.empty());
    EXPECT_FALSE(form->paWork->isHidden());
    // The Save items hang under Save, which is off until the first load.
    EXPECT_EQ(form->mmSave->menu()->actions(),
              (QList<QAction*>{form->mmSaveAnalysis, form->mmSaveChart5sec, form->mmSaveChartSel}));
    // Report comes right after Save, Archive right after Report; Archive acts at once.
    const QList<QAction*> bar = form->menuBar()->actions();
    ASSERT_TRUE(bar.contains(form->mmSave));
    EXPECT_EQ(bar.indexOf(form->mmReport), bar.indexOf(form->mmSave) + 1);
    EXPECT_EQ(bar.indexOf(form->mmArchive), bar.indexOf(form->mmReport) + 1);
    EXPECT_EQ(bar.size(), bar.indexOf(form->mmArchive) + 1);
    EXPECT_EQ(form->mmArchive->text(), QStringLiteral("Archive"));
    EXPECT_EQ(form->mmArchive->menu(), nullptr);
    EXPECT_EQ(form->mmReport->menu()->actions(),
              (QList<QAction*>{form->mmReportPdf, form->mmReportPrint, form->mmReportCsv,
                               form->mmReportCurve, form->mmReportCompare}));
}

using AboutBox = FormTest;

TEST_F(AboutBox, WaysOfLeavingIt) {
    struct Case {
        const char* how;
        void (*leave)(TAboutBox&);
        bool enablesData;
    };
    const Case cases[] = {
        {"OK clicked", [](TAboutBox& b) { QTest::mouseClick(b.OKButton, Qt::LeftButton); }, true},
        {"Enter", [](TAboutBox& b) { QTest::keyClick(&b, Qt::Key_Return); }, true},
        {"keypad Enter", [](TAboutBox& b) { QTest::keyClick(&b, Qt::Key_Enter); }, true},
        {"frame's close button", [](TAboutBox& b) { b.close(); }, false},
        {"Escape", [](TAboutBox& b) { QTest::keyClick(&b, Qt::Key_Escape); }, false},
    };
    for (const Case& c : cases) {
        form->mmOpen->setEnabled(false);
        form->WMSysCommand(syscmd::kAbout);
        const QPoint at = form->AboutBox->pos();
        form->WMSysCommand(syscmd::kAbout);  // shown again: stays as it is
        ASSERT_TRUE(form->AboutBox->isVisible()) << c.how;
        EXPECT_EQ(form->AboutBox->pos(), at);
        EXPECT_FALSE(form->AboutBox->isModal());
        c.leave(*form->AboutBox);
        EXPECT_TRUE(form->AboutBox->isHidden()) << c.how;
        EXPECT_EQ(Menu()[0], c.enablesData) << c.how;
        EXPECT_EQ(Menu()[5], c.enablesData) << c.how;  // Archive goes with Data
        EXPECT_EQ(Menu()[1] || Menu()[2] || Menu()[3], false) << c.how;
    }
}

TEST_F(AboutBox, OpenedFromTheWindowMenuByButtonOrAltSpace) {
    const QList<QAction*> items = form->SystemMenu->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_TRUE(items[items.size() - 2]->isSeparator());
    QAction* about = items.back();
    EXPECT_EQ(about->text(), QStringLiteral("О программе"));
    EXPECT_EQ(about->data().toInt(), 1025);

#ifdef Q_OS_WIN
    // The desktop's own window menu with its own key: no button or key of the program's.
    EXPECT_EQ(form->sbSystemMenu, nullptr);
    EXPECT_EQ(form->menuBar()->cornerWidget(Qt::TopLeftCorner), nullptr);
    EXPECT_TRUE(TForm1::SystemMenuKeys().isEmpty());
#else
    EXPECT_EQ(form->menuBar()->cornerWidget(Qt::TopLeftCorner), form->sbSystemMenu);
    form->sbSystemMenu->click();
    EXPECT_TRUE(form->SystemMenu->isVisible());
    form->SystemMenu->hide();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(form->SystemMenu->isVisible());
    form->SystemMenu->hide();
#endif

    about->trigger();
    EXPECT_TRUE(form->AboutBox->isVisible());
    // Modeless: the window's commands go on while it is shown.
    EXPECT_TRUE(form->isEnabled());
    form->AboutBox->OKButton->click();
    EXPECT_EQ(Menu(), kAboutOk);
}

TEST_F(AboutBox, WindowCommandsGoOnToTheWindow) {
    AboutOk();
    Load(Write(ValidProtocol()));
    form->WMSysCommand(syscmd::kRestore);
    EXPECT_FALSE(form->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(form->centralWidget()->size(), QSize(1024, 730));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());  // not resizable by dragging
    form->WMSysCommand(syscmd::kMaximize);
    EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
    form->WMSysCommand(syscmd::kAbout);
    form->WMSysCommand(syscmd::kClose);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->AboutBox->isVisible());
    EXPECT_TRUE(form->LineBuffer().WholeText().empty());
}

}  // namespace
}  // namespace orvix::test
