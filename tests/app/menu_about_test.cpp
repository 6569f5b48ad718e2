// The menu state machine, view switching, the window menu and the About box gate.
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "form_fixture.h"

namespace orvix::test {
namespace {

struct MenuRow {
    const char* state;
    TMenuState menu;  // Data, Chart Select, Chart 5 sec, Save, › Analysis, › Chart 5 sec, › Select
};
constexpr MenuRow kStartUp{"after start-up", {0, 0, 0, 0, 1, 1, 1}};
constexpr MenuRow kAboutOk{"after About OK", {1, 0, 0, 0, 1, 1, 1}};
constexpr MenuRow kLoaded{"after a successful load", {1, 1, 0, 1, 1, 1, 0}};
constexpr MenuRow kChartSel{"after Chart Select", {1, 0, 1, 1, 1, 0, 1}};
constexpr MenuRow kChart5sec{"after Chart 5 sec", {1, 1, 0, 1, 1, 1, 0}};

using MenuStates = FormTest;

TEST_F(MenuStates, WalkEveryRowOfTheTable) {
    EXPECT_EQ(Menu(), kStartUp.menu) << kStartUp.state;
    EXPECT_EQ(form->FrontChart(), form->Chart5sec);
    EXPECT_TRUE(form->paWork->isHidden());

    AboutOk();
    EXPECT_EQ(Menu(), kAboutOk.menu) << kAboutOk.state;

    const QString path = Write(ValidProtocol());
    // Each step: the command, the row it must lead to, the chart in front afterwards.
    struct Step {
        const char* command;
        QAction* action;
        const MenuRow& row;
        TChartArea* front;
    };
    const Step steps[] = {
        {"Data", form->mmOpen, kLoaded, form->Chart5sec},
        {"Chart Select", form->mmChartSel, kChartSel, form->ChartSel},
        {"Chart 5 sec", form->mmChart5sec, kChart5sec, form->Chart5sec},
        {"Chart Select", form->mmChartSel, kChartSel, form->ChartSel},
        // A load leaves the chart in front as it was and sets the menu for the 5 sec view.
        {"Data", form->mmOpen, kLoaded, form->ChartSel},
    };
    for (const Step& step : steps) {
        if (step.action == form->mmOpen) dialogs.openAnswers.push_back(path);
        ASSERT_TRUE(step.action->isEnabled()) << step.command;
        step.action->trigger();
        EXPECT_EQ(Menu(), step.row.menu) << step.command << ": " << step.row.state;
        EXPECT_EQ(form->FrontChart(), step.front) << step.command;
        // What the user sees at the chart's place is the chart in front.
        EXPECT_EQ(form->paWork->childAt(500, 100), step.front) << step.command;
    }
    EXPECT_TRUE(dialogs.failures.empty());
    EXPECT_FALSE(form->paWork->isHidden());
}

TEST_F(MenuStates, DisabledCommandsDoNothing) {
    // Before About OK nothing can be started: a trigger of a disabled item is ignored.
    form->mmOpen->trigger();
    form->mmChartSel->trigger();
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_EQ(form->FrontChart(), form->Chart5sec);
    EXPECT_EQ(Menu(), kStartUp.menu);
}

TEST_F(MenuStates, AboutOkOnlyEverEnablesData) {
    AboutOk();
    Load(Write(ValidProtocol()));
    form->mmChartSel->trigger();
    form->mmOpen->setEnabled(false);  // whatever else is on, OK touches only Data
    TMenuState expected = kChartSel.menu;
    expected[0] = false;
    EXPECT_EQ(Menu(), expected);
    AboutOk();
    EXPECT_EQ(Menu(), kChartSel.menu);
    EXPECT_EQ(form->FrontChart(), form->ChartSel);
}

TEST_F(MenuStates, SaveSubmenuHangsUnderSave) {
    QMenu* save = form->mmSave->menu();
    ASSERT_NE(save, nullptr);
    const QList<QAction*> items = save->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0], form->mmSaveAnalysis);
    EXPECT_EQ(items[1], form->mmSaveChart5sec);
    EXPECT_EQ(items[2], form->mmSaveChartSel);
    const QList<QAction*> top = form->menuBar()->actions();
    ASSERT_EQ(top.size(), 4);
    const char* captions[] = {"Data", "Chart Select", "Chart 5 sec", "Save"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(top[i]->text(), QLatin1String(captions[i]));
        EXPECT_FALSE(top[i]->icon().isNull()) << captions[i];
    }
}

TEST(MainWindowLayout, DesignSizeAndPlaces) {
    TScriptedDialogs dialogs;
    TForm1 form(dialogs);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ORVIX - Методика \"Кольца Ландольта\""));
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    form.setWindowState(Qt::WindowNoState);
    form.show();
    QApplication::processEvents();
    // The normal window is the design client area under the menu, and keeps its size.
    EXPECT_EQ(form.centralWidget()->size(), QSize(1024, 730));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.ChartSel->geometry(), QRect(1, 1, 1023, 369));
    EXPECT_EQ(form.Chart5sec->geometry(), QRect(1, 1, 1023, 369));
    EXPECT_EQ(form.meAnalysis->geometry(), QRect(1, 370, 1023, 360));
    EXPECT_EQ(form.paWork->geometry(), QRect(0, 0, 1024, 730));
    EXPECT_EQ(form.Bevel1->geometry(), QRect(0, 0, 1024, 2));
    EXPECT_EQ(form.meAnalysis->font().pixelSize(), 16);
    EXPECT_EQ(form.meAnalysis->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(form.meAnalysis->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form.meAnalysis->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_FALSE(form.meAnalysis->isReadOnly());
    EXPECT_EQ(form.font().pixelSize(), 11);
    // Maximizing lifts the fixed size again.
    form.showMaximized();
    QApplication::processEvents();
    EXPECT_NE(form.minimumSize(), form.maximumSize());
}

using AboutBox = FormTest;

TEST_F(AboutBox, LayoutAndTexts) {
    TAboutBox& box = *form->AboutBox;
    EXPECT_TRUE(box.isHidden());
    EXPECT_EQ(box.windowTitle(), QStringLiteral("О программе"));
    EXPECT_EQ(box.size(), QSize(298, 225));
    EXPECT_EQ(box.OKButton->geometry(), QRect(111, 196, 75, 25));
    EXPECT_TRUE(box.OKButton->isDefault());
    auto text = [&](const char* name) {
        auto* label = box.findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : QString();
    };
    EXPECT_TRUE(text("Version").contains(QLatin1String("3.01")));
    EXPECT_TRUE(text("Comments").endsWith(QStringLiteral("      \"Кольца Ландольта\"")));
    EXPECT_FALSE(text("Copyright").isEmpty());
    EXPECT_EQ(text("Contacts").count(QLatin1Char('\n')), 2);  // three contact lines
}

TEST_F(AboutBox, WaysOfLeavingIt) {
    // How the box is closed decides whether Data is released.
    struct Case {
        const char* how;
        void (*close)(TAboutBox&);
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
        ASSERT_TRUE(form->AboutBox->isVisible()) << c.how;
        EXPECT_FALSE(form->AboutBox->isModal()) << c.how;
        c.close(*form->AboutBox);
        EXPECT_TRUE(form->AboutBox->isHidden()) << c.how;
        EXPECT_EQ(form->mmOpen->isEnabled(), c.enablesData) << c.how;
        EXPECT_EQ(Menu()[1] || Menu()[2] || Menu()[3], false) << c.how;
    }
}

TEST_F(AboutBox, ShowingAVisibleBoxKeepsIt) {
    form->WMSysCommand(syscmd::kAbout);
    const QPoint at = form->AboutBox->pos();
    form->WMSysCommand(syscmd::kAbout);
    EXPECT_TRUE(form->AboutBox->isVisible());
    EXPECT_EQ(form->AboutBox->pos(), at);
    // Modeless: the window's commands go on while the box is shown.
    form->AboutBox->OKButton->click();
    AboutOk();
    Load(Write(ValidProtocol()));
    form->WMSysCommand(syscmd::kAbout);
    form->mmChartSel->trigger();
    EXPECT_EQ(form->FrontChart(), form->ChartSel);
    EXPECT_TRUE(form->AboutBox->isVisible());
}

TEST_F(AboutBox, OpenedFromTheWindowMenu) {
    const QList<QAction*> items = form->SystemMenu->actions();
    ASSERT_GE(items.size(), 2);
    QAction* about = items.back();
    EXPECT_EQ(about->text(), QStringLiteral("О программе"));
    EXPECT_EQ(about->data().toInt(), 1025);
    EXPECT_TRUE(items[items.size() - 2]->isSeparator());
    about->trigger();
    EXPECT_TRUE(form->AboutBox->isVisible());
    form->AboutBox->OKButton->click();
    EXPECT_TRUE(form->mmOpen->isEnabled());
}

TEST_F(AboutBox, WindowMenuOpensFromItsButtonAndAltSpace) {
    ASSERT_NE(form->sbSystemMenu, nullptr);
    EXPECT_EQ(form->menuBar()->cornerWidget(Qt::TopLeftCorner), form->sbSystemMenu);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(form->SystemMenu->isVisible());
    form->SystemMenu->hide();
    form->sbSystemMenu->click();
    EXPECT_TRUE(form->SystemMenu->isVisible());
    form->SystemMenu->hide();
}

TEST_F(AboutBox, WindowCommandsGoOnToTheWindow) {
    AboutOk();
    Load(Write(ValidProtocol()));
    ASSERT_FALSE(form->LineBuffer().WholeText().empty());
    form->WMSysCommand(syscmd::kRestore);
    EXPECT_FALSE(form->windowState() & Qt::WindowMaximized);
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
