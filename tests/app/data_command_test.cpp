// The Data command: the open dialog, a successful load, each kind of failure with what it
// leaves on screen, cancelling, and the decimal separator from the user's settings.
#include <QDir>
#include <QEvent>
#include <QScrollBar>

#include "form_fixture.h"
#include "protocol/cp1251.h"
#include "protocol/numbers.h"

namespace orvix::test {
namespace {

using DataCommand = FormTest;

TEST_F(DataCommand, OpenDialogAndCancel) {
    AboutOk();
    const TMenuState before = Menu();
    Load(std::nullopt);
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    const TOpenDialogSettings& open = dialogs.openRequests[0];
    EXPECT_EQ(open.Title, QStringLiteral("Данные по методике \"Кольца Ландольта\""));
    EXPECT_EQ(open.InitialDir, QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                                        QStringLiteral("/Data")));
    EXPECT_TRUE(open.FileName.isEmpty());
    EXPECT_FALSE(dialogs.busyAtOpen[0]);
    // Cancelled: nothing changed, no hourglass left behind.
    EXPECT_EQ(Menu(), before);
    EXPECT_TRUE(form->paWork->isHidden());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(dialogs.failures.empty());

    // After a load, a cancelled Data command leaves that load on screen.
    Load(Write(ValidProtocol()));
    form->mmChartSel->trigger();
    const std::string report = Report();
    const TMenuState loaded = Menu();
    Load(std::nullopt);
    EXPECT_EQ(Report(), report);
    EXPECT_EQ(Menu(), loaded);
    EXPECT_EQ(form->FrontChart(), form->ChartSel);
    EXPECT_FALSE(form->paWork->isHidden());
}

TEST_F(DataCommand, ReportIsWhatTheBatchPathBuilds) {
    // A realistic protocol, and one whose texts hold the code page's awkward characters:
    // no-break space, the undefined 0x98, a tab, other control characters, trailing blanks.
    auto awkward = ValidProtocol();
    awkward.Head[0] = W1251("Протокол\xC2\xA0N\t1 ") + "\x01\x7f\x98\xA0\xFF  ";
    awkward.Head[3] = "";
    awkward.Head[22] = W1251("«Итог» — №5 €");
    protogen::TGenerateOptions generated;
    generated.Seed = 7;
    for (const QString& path : {Write(awkward, "awkward.klp"),
                                Write(protogen::GenerateProtocol(generated), "generated.klp")}) {
        AboutOk();
        Load(path);
        ASSERT_TRUE(dialogs.failures.empty()) << dialogs.failures[0].text.toStdString();
        const std::string expected = BatchReport(path);
        EXPECT_EQ(Report(), expected) << path.toStdString();
        EXPECT_EQ(Lines(Report()).size(), 21u);
        // Shown from its first line.
        EXPECT_EQ(form->meAnalysis->textCursor().position(), 0);
        EXPECT_EQ(form->meAnalysis->verticalScrollBar()->value(), 0);
        EXPECT_EQ(form->meAnalysis->UpdateDepth(), 0);
        EXPECT_TRUE(form->meAnalysis->updatesEnabled());
        EXPECT_FALSE(form->paWork->isHidden());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(form->FileTag(), form->LineBuffer().LineAt(1));
    EXPECT_EQ(form->SubjectCaption(), form->LineBuffer().LineAt(2));
    EXPECT_GT(form->SelectionCount(), 100);
}

// One kind of failure: how the protocol is spoiled, the message box text, and how much of the
// report the load leaves (-1: the previous report untouched).
struct FailureCase {
    const char* name;
    void (*spoil)(protogen::TProtocolText&);
    std::string message;
    int reportLines;
};

std::vector<FailureCase> FailureCases() {
    return {
        {"header integer", [](auto& p) { p.Head[9] = "9 8"; },
         "'9 8' is not a valid integer value.", -1},
        {"orientation out of range", [](auto& p) { p.Head[4] = "9"; }, "Range check error.", -1},
        {"arithmetic: T = 0", [](auto& p) { p.Head[9] = "0"; }, "Floating point division by zero.",
         14},
        {"later conversion: search mean", [](auto& p) { p.Head[20] = "2,0"; },
         "'2,0' is not a valid floating point value.", 16},
        {"later conversion: a record",
         [](auto& p) { p.Records[2] = protogen::RecordLine(14, "12.0", "8,0", " -"); },
         "'          8,0' is not a valid floating point value.", 18},
        {"arithmetic: one interval",
         [](auto& p) {
             p.Head[24] = "1";
             p.Records.resize(1);
         },
         "Invalid floating point operation.", 18},
        {"negative interval count",
         [](auto& p) { p.Records[3] = protogen::RecordLine(17, "13,0", "1.0", " +"); },
         "Range check error.", 18},
    };
}

TEST_F(DataCommand, FailuresLeaveTheScreenAsStated) {
    const QString good = Write(ValidProtocol(), "good.klp");
    const std::vector<std::string> goodLines = Lines(BatchReport(good));
    for (const FailureCase& c : FailureCases()) {
        for (const bool afterLoad : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (afterLoad ? ", after a load" : ", first load"));
            form = std::make_unique<TForm1>(dialogs);
            form->SetDecimalPointSource([] { return QStringLiteral("."); });
            dialogs.failures.clear();
            AboutOk();
            if (afterLoad) {
                Load(good);
                form->mmChartSel->trigger();
                form->meAnalysis->appendPlainText(QStringLiteral("правка"));
            }
            const TMenuState menu = Menu();
            const std::string report = Report();
            const bool workHidden = form->paWork->isHidden();
            const TChartArea* front = form->FrontChart();

            auto spoilt = ValidProtocol();
            spoilt.Head[1] = W1251("Другой");
            c.spoil(spoilt);
            Load(Write(spoilt, "bad.klp"));

            ASSERT_EQ(dialogs.failures.size(), 1u);
            EXPECT_EQ(dialogs.failures[0].text.toStdString(), c.message);
            EXPECT_EQ(dialogs.failures[0].caption, ApplicationTitle());
            EXPECT_FALSE(dialogs.failures[0].busyCursor);
            EXPECT_EQ(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(Menu(), menu);
            EXPECT_EQ(form->paWork->isHidden(), workHidden);
            EXPECT_EQ(form->FrontChart(), front);
            EXPECT_TRUE(form->meAnalysis->updatesEnabled());
            EXPECT_EQ(form->FileTag(), W1251("Другой"));
            if (c.reportLines < 0) {
                EXPECT_EQ(Report(), report);
            } else {
                const std::vector<std::string> lines = Lines(Report());
                ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.reportLines));
                for (int i = 0; i < c.reportLines; ++i) EXPECT_EQ(lines[i], goodLines[i]) << i;
            }
            // The program goes on: the next load works.
            Load(good);
            EXPECT_EQ(dialogs.failures.size(), 1u);
            EXPECT_EQ(Report(), BatchReport(good));
        }
    }
}

TEST_F(DataCommand, UnreadableFileKeepsEverything) {
    AboutOk();
    const QString good = Write(ValidProtocol());
    Load(good);
    const std::string report = Report();
    const std::string text = form->LineBuffer().WholeText();
    for (const QString& path : {dir.filePath("missing.klp"), dir.path()}) {
        dialogs.failures.clear();
        Load(path);
        ASSERT_EQ(dialogs.failures.size(), 1u);
        EXPECT_EQ(dialogs.failures[0].text, QStringLiteral("Cannot open file ") + path + ".");
        EXPECT_EQ(Report(), report);
        EXPECT_EQ(form->LineBuffer().WholeText(), text);
        EXPECT_EQ(form->FileTag(), ValidProtocol().Head[1]);
        EXPECT_EQ(Menu(), (TMenuState{1, 1, 0, 1, 1, 1, 0}));
    }
}

TEST_F(DataCommand, DecimalSeparatorFromTheUsersSettings) {
    auto comma = ValidProtocol();
    comma.Head[20] = "2,5";
    comma.Head[21] = "0,5";
    comma.Head[9] = "8";  // impulsivity 1/8 = 0.125, printed as 0.13 or 0,13
    for (auto& record : comma.Records) record.replace(record.find('.', 15), 1, ",");
    const QString path = Write(comma);

    QString setting = QStringLiteral(",");
    form->SetDecimalPointSource([&setting] { return setting; });
    EXPECT_EQ(DecimalChar(), ',');
    AboutOk();
    Load(path);
    ASSERT_TRUE(dialogs.failures.empty());
    EXPECT_NE(Report().find("T = 0,13"), std::string::npos);

    // Settings change between commands: the desktop announces it, the window reads it again.
    struct Change {
        QString setting;
        char decimal;
    };
    const Change changes[] = {{".", '.'},  {",", ','},   {"", '.'},
                              {"<>", '.'}, {u8"٫", '.'}, {"'", '\''}};
    for (const Change& change : changes) {
        setting = change.setting;
        QEvent event(QEvent::LocaleChange);
        QApplication::sendEvent(form.get(), &event);
        EXPECT_EQ(DecimalChar(), change.decimal) << change.setting.toStdString();
    }
    setting = ".";
    QEvent event(QEvent::LocaleChange);
    QApplication::sendEvent(form.get(), &event);
    Load(path);
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(dialogs.failures[0].text.toStdString(), "'2,5' is not a valid floating point value.");
}

}  // namespace
}  // namespace orvix::test
