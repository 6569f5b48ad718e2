// Save › Chart 5 sec and Save › Chart Select: the dialog as prepared, the picture of what is in
// front at the chart's place, the ".gif" rule, cancelling, and failures. Built twice: on the
// offscreen platform (the chart renders itself) and on an X display (the screen is copied).
#include <QDir>
#include <QFile>

#include "chart_save_fixture.h"

namespace orvix::test {
namespace {

QString BesideProgram(const QString& name) {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/" + name);
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

const TFileFilter kGifFilter{"GIF Files (*.gif)", "*.GIF"};

TEST_F(ChartSave, DialogAndPictureOfWhatIsInFrontAtTheChartsPlace) {
    LoadProtocol();
    struct Case {
        const char* name;
        QAction* view;  // the view command before the save
        bool reload;    // a load after it
        QAction* command;
        QString title, proposed;
        TChart* shown;  // the chart in front at that place
    };
    const QString title5sec = QStringLiteral("Запись графика динамики поиска по 5 sec в gif-файл");
    const QString titleSel = QStringLiteral("Запись графика динамики поиска в gif-файл");
    const Case cases[] = {
        {"Chart 5 sec", form->mmChart5sec, false, form->mmSaveChart5sec, title5sec,
         "Results/Иванов 3_10_b_ KL.5sec.gif", form->Chart5sec},
        {"Chart Select", form->mmChartSel, false, form->mmSaveChartSel, titleSel,
         "Results/Иванов 3_10_b_ KL.Choice.gif", form->ChartSel},
        // After a load with Chart Select in front the menu offers its picture, named for it.
        {"Chart Select after a load", form->mmChartSel, true, form->mmSaveChartSel, titleSel,
         "Results/Иванов 3_10_b_ KL.Choice.gif", form->ChartSel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.view->trigger();
        if (c.reload) Load(dir.filePath("p.klp"));
        ASSERT_TRUE(c.command->isEnabled());
        form->SaveDialog() = {"old title", "old folder", "old name", std::nullopt, false};

        const QString target = dir.filePath(QString(c.name) + ".gif");
        Save(c.command, target);
        ASSERT_TRUE(dialogs.failures.empty()) << dialogs.failures[0].text.toStdString();
        const TSaveDialogSettings& asked = dialogs.saveRequests.back();
        EXPECT_EQ(asked.Title, c.title);
        EXPECT_EQ(asked.InitialDir, BesideProgram("Results"));
        EXPECT_EQ(asked.FileName, BesideProgram(c.proposed));
        EXPECT_EQ(asked.Filter, kGifFilter);
        EXPECT_TRUE(asked.OverwritePrompt);

        const TDecodedPicture saved = Saved(target);
        EXPECT_EQ(saved.Width, 1023);
        EXPECT_EQ(saved.Height, 369);
        EXPECT_TRUE(saved == AsSavedPicture(c.shown->RenderImage()));
    }
    // The arrow buttons are in the search-time picture: without them it would differ.
    QImage bare(form->ChartSel->size(), QImage::Format_RGB32);
    form->ChartSel->render(&bare, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    EXPECT_FALSE(Saved(dir.filePath("Chart Select.gif")) == AsSavedPicture(bare));
}

TEST_F(ChartSave, GifEndingAddedUnlessExactlyThere) {
    LoadProtocol();
    const std::pair<const char*, const char*> names[] = {
        {"result", "result.gif"},
        {"result.gif", "result.gif"},
        {"result.GIF", "result.GIF.gif"},
        {"result.gif.txt", "result.gif.txt.gif"},
        {"gif", "gif.gif"},
    };
    int case_ = 0;
    for (const auto& [entered, written] : names) {
        SCOPED_TRACE(entered);
        // A folder of its own per name, numbered: Windows file names ignore letter case, so
        // folders named after "result.gif" and "result.GIF" would be one.
        const QString folder = dir.filePath(QString::number(++case_));
        QDir().mkpath(folder);
        Save(form->mmSaveChart5sec, folder + "/" + entered);
        EXPECT_EQ(Entries(folder), QStringList{written});
        EXPECT_EQ(Read(folder + "/" + written).substr(0, 6), "GIF87a");
    }
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(ChartSave, CancelWritesNothingAndTheDialogKeepsTheGifSettings) {
    LoadProtocol();
    form->mmChartSel->trigger();
    const QStringList before = Entries(dir.path());
    form->mmSaveChartSel->trigger();  // cancelled
    EXPECT_EQ(Entries(dir.path()), before);

    // Save › Analysis sets only its title and name.
    const QString report = dir.filePath("report");
    Save(form->mmSaveAnalysis, report);
    const TSaveDialogSettings& asked = dialogs.saveRequests.back();
    EXPECT_EQ(asked.Filter, kGifFilter);
    EXPECT_EQ(asked.InitialDir, BesideProgram("Results"));
    EXPECT_EQ(asked.Title, QStringLiteral("Запись результатов анализа в текстовый файл"));
    EXPECT_TRUE(QFile::exists(report));  // the text file under the name as entered
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(ChartSave, FailuresNameTheTargetAndLeaveNothingBehind) {
    LoadProtocol();
    QDir().mkpath(dir.filePath("taken.gif"));  // a folder where the picture would go
    const QStringList before = Entries(dir.path());
    const std::pair<QString, QString> cases[] = {
        {dir.filePath("no/such/folder/chart"), dir.filePath("no/such/folder/chart.gif")},
        {dir.filePath("taken"), dir.filePath("taken.gif")},
    };
    for (const auto& [entered, target] : cases) {
        SCOPED_TRACE(entered.toStdString());
        dialogs.failures.clear();
        Save(form->mmSaveChart5sec, entered);
        ASSERT_EQ(dialogs.failures.size(), 1u);
        EXPECT_EQ(dialogs.failures[0].text, "Cannot create file " + target + ".");
        EXPECT_EQ(dialogs.failures[0].caption, ApplicationTitle());
        EXPECT_EQ(Entries(dir.path()), before);
        EXPECT_TRUE(Entries(dir.filePath("taken.gif")).isEmpty());
    }
}

}  // namespace
}  // namespace orvix::test
