// The Data command (success, each kind of failure with what stays on screen, cancelling, the
// decimal separator), the report view's Windows-1251 text, Save › Analysis, and the central
// failure handler.
#include <QClipboard>
#include <QDir>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <new>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/numbers.h"
#include "form_fixture.h"
#include "tests/support/file_size_limit.h"

namespace orvix::test {
namespace {

using DataCommand = FormTest;

QString BesideProgram(const char* name) {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/" + name);
}

TEST_F(DataCommand, ReportIsWhatTheBatchPathBuildsAndCancelKeepsIt) {
    // Texts with the code page's awkward characters: no-break space, the undefined 0x98,
    // a tab and other control characters, trailing blanks; and a realistic protocol.
    auto awkward = ValidProtocol();
    awkward.Head[0] = W1251("Протокол\xC2\xA0N\t1 ") + "\x01\x7f\x98\xA0\xFF  ";
    awkward.Head[22] = W1251("«Итог» — №5 €");
    protogen::TGenerateOptions generated;
    generated.Seed = 7;
    AboutOk();
    for (const QString& path :
         {Write(awkward, "a.klp"), Write(protogen::GenerateProtocol(generated), "g.klp")}) {
        Load(path);
        ASSERT_TRUE(dialogs.failures.empty()) << dialogs.failures[0].text.toStdString();
        EXPECT_EQ(Report(), BatchReport(path));
        EXPECT_EQ(Lines(Report()).size(), 21u);
        EXPECT_TRUE(form->meAnalysis->updatesEnabled());
        EXPECT_EQ(form->meAnalysis->verticalScrollBar()->value(), 0);  // from its first line
        EXPECT_EQ(form->FileTag(), form->LineBuffer().LineAt(1));
        EXPECT_EQ(form->SubjectCaption(), form->LineBuffer().LineAt(2));
        // Both charts are filled by the same load.
        EXPECT_EQ(form->ChartSel->Plot().SeriesSel->PointCount(), form->SelectionCount());
        EXPECT_EQ(form->Chart5sec->Foot.Text().at(0), form->SubjectCaption());
    }
    const TOpenDialogSettings& open = dialogs.openRequests.back();
    EXPECT_EQ(open.Title, QStringLiteral("Данные по методике \"Кольца Ландольта\""));
    EXPECT_EQ(open.InitialDir, BesideProgram("Data"));
    EXPECT_TRUE(open.FileName.isEmpty());

    form->mmChartSel->trigger();
    const std::string report = Report();
    Load(QString());  // cancelled
    EXPECT_EQ(Report(), report);
    EXPECT_EQ(Menu(), (TMenuState{1, 0, 1, 1, 1, 1, 1, 0, 1}));
    EXPECT_TRUE(dialogs.failures.empty());
}

// A kind of failure: how the protocol is spoilt (or no protocol), the message box text, and the
// report lines the load leaves (-1: the previous report untouched).
struct FailureCase {
    const char* name;
    std::function<void(protogen::TProtocolText&)> spoil;
    std::string message;
    int reportLines;
};

TEST_F(DataCommand, FailuresLeaveTheScreenAsStated) {
    using P = protogen::TProtocolText&;
    const FailureCase cases[] = {
        {"unreadable file", nullptr, "Cannot open file %s.", -1},
        {"header integer", [](P p) { p.Head[9] = "9 8"; }, "'9 8' is not a valid integer value.",
         -1},
        {"orientation out of range", [](P p) { p.Head[4] = "9"; }, "Range check error.", -1},
        {"arithmetic: T = 0", [](P p) { p.Head[9] = "0"; }, "Floating point division by zero.", 14},
        {"later conversion: search mean", [](P p) { p.Head[20] = "2,0"; },
         "'2,0' is not a valid floating point value.", 16},
        {"later conversion: a record",
         [](P p) { p.Records[2] = protogen::RecordLine(14, "12.0", "8,0", " -"); },
         "'          8,0' is not a valid floating point value.", 18},
        {"chart range: negative SD",
         [](P p) {
             p.Head[21] = "-1.0";
             for (auto& r : p.Records) r.replace(20, 8, "    -0.5");  // the search time
         },
         "Axis Maximum Value must be >= Minimum.", 18},
        {"arithmetic: a single interval", [](P p) { p.Head[24] = "1"; },
         "Invalid floating point operation.", 18},
        {"negative interval count",
         [](P p) { p.Records[3] = protogen::RecordLine(17, "13,0", "1.0", " +"); },
         "Range check error.", 18},
    };
    const QString good = Write(ValidProtocol(), "good.klp");
    const std::vector<std::string> goodLines = Lines(BatchReport(good));
    for (const FailureCase& c : cases) {
        for (const bool afterLoad : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (afterLoad ? " after a load" : " as first load"));
            NewForm();
            dialogs.failures.clear();
            AboutOk();
            if (afterLoad) {
                Load(good);
                form->mmChartSel->trigger();
                form->meAnalysis->appendPlainText(QStringLiteral("правка"));
            }
            const TMenuState menu = Menu();
            const std::string report = Report(), fileTag = form->FileTag();
            const bool workHidden = form->paWork->isHidden();
            const TChart* front = form->FrontChart();

            auto spoilt = ValidProtocol();
            spoilt.Head[1] = W1251("Другой");
            QString path = dir.filePath("missing.klp");
            if (c.spoil) {
                c.spoil(spoilt);
                path = Write(spoilt, "bad.klp");
            }
            Load(path);

            ASSERT_EQ(dialogs.failures.size(), 1u);
            QString message = QString::fromStdString(c.message);
            EXPECT_EQ(dialogs.failures[0].text, message.replace("%s", path));
            EXPECT_EQ(dialogs.failures[0].caption, ApplicationTitle());
            EXPECT_FALSE(dialogs.failures[0].busyCursor);
            EXPECT_EQ(Menu(), menu);
            EXPECT_EQ(form->paWork->isHidden(), workHidden);
            EXPECT_EQ(form->FrontChart(), front);
            EXPECT_TRUE(form->meAnalysis->updatesEnabled());
            EXPECT_EQ(form->FileTag(), c.spoil ? W1251("Другой") : fileTag);
            if (c.reportLines < 0) {
                EXPECT_EQ(Report(), report);
            } else {
                const std::vector<std::string> lines = Lines(Report());
                ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.reportLines));
                EXPECT_TRUE(std::equal(lines.begin(), lines.end(), goodLines.begin()));
            }
            Load(good);  // the program goes on
            EXPECT_EQ(dialogs.failures.size(), 1u);
            EXPECT_EQ(Report(), BatchReport(good));
        }
    }
}

TEST_F(DataCommand, DecimalSeparatorFromTheUsersSettings) {
    auto comma = ValidProtocol();
    comma.Head[20] = "2,5";
    comma.Head[21] = "0,5";
    comma.Head[9] = "8";  // impulsivity 1/8, printed as 0.13 or 0,13
    for (auto& record : comma.Records) record.replace(record.find('.', 15), 1, ",");
    const QString path = Write(comma);

    QString setting = ",";
    form->SetDecimalPointSource([&setting] { return setting; });
    AboutOk();
    Load(path);
    ASSERT_TRUE(dialogs.failures.empty());
    EXPECT_NE(Report().find("T = 0,13"), std::string::npos);
    // A settings change between commands is announced to the window, which reads it again.
    const std::pair<QString, char> changes[] = {
        {".", '.'}, {"", '.'}, {"<>", '.'}, {QStringLiteral("٫"), '.'}, {"'", '\''}};
    for (const auto& [text, decimal] : changes) {
        setting = text;
        QEvent event(QEvent::LocaleChange);
        QApplication::sendEvent(form.get(), &event);
        EXPECT_EQ(DecimalChar(), decimal) << text.toStdString();
    }
    setting = ".";
    QEvent event(QEvent::LocaleChange);
    QApplication::sendEvent(form.get(), &event);
    Load(path);
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(dialogs.failures[0].text, "'2,5' is not a valid floating point value.");
}

// Typing as a keyboard does: one key event per character, carrying its text.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

using SaveAnalysis = FormTest;

TEST_F(SaveAnalysis, WritesWhatIsShownEditsIncluded) {
    auto protocol = ValidProtocol();
    protocol.Head[1] = W1251("Петров 12:05/a");
    const QString path = Write(protocol);
    AboutOk();
    Load(path);
    const std::string built = BatchReport(path);
    // Typed text, a soft line break, characters the code page lacks, a paste with its own
    // line breaks, and an edit of the first line.
    form->meAnalysis->moveCursor(QTextCursor::End);
    Type(form->meAnalysis, QStringLiteral("Вывод: норма — €5"));
    QTest::keyClick(form->meAnalysis, Qt::Key_Return, Qt::ShiftModifier);
    Type(form->meAnalysis, QStringLiteral("日本 ok"));
    QGuiApplication::clipboard()->setText(QStringLiteral("\nвставка ∑\r\nконец"));
    form->meAnalysis->paste();
    form->meAnalysis->moveCursor(QTextCursor::Start);
    Type(form->meAnalysis, QStringLiteral("№"));
    const std::string expected =
        W1251("№") + built + W1251("Вывод: норма — €5\r\n?? ok\r\nвставка ?\r\nконец");
    EXPECT_EQ(Report(), expected);
    EXPECT_EQ(form->meAnalysis->document()->toRawText(),  // shown exactly so
              ToQString(expected).replace("\r\n", QChar(QChar::ParagraphSeparator)));

    const TFileFilter gif{"GIF Files (*.gif)", "*.GIF"};
    form->SaveDialog().Filter = gif;                 // left by an earlier save: kept
    const QString target = dir.filePath("out.GIF");  // taken as entered
    dialogs.saveAnswers.push_back(target);
    form->mmSaveAnalysis->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const TSaveDialogSettings& save = dialogs.saveRequests[0];
    EXPECT_EQ(save.Title, QStringLiteral("Запись результатов анализа в текстовый файл"));
    EXPECT_EQ(save.FileName, BesideProgram("Results/Петров 12_05_a KL.txt"));
    EXPECT_EQ(save.Filter, gif);
    EXPECT_TRUE(save.OverwritePrompt);
    EXPECT_TRUE(dialogs.failures.empty());
    EXPECT_EQ(Read(target), expected);

    // Cancelled: nothing written. Failed: the message, the report as it was.
    form->mmSaveAnalysis->trigger();
    const QString unwritable = dir.filePath("no/such/folder/r.txt");
    dialogs.saveAnswers.push_back(unwritable);
    form->mmSaveAnalysis->trigger();
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(dialogs.failures[0].text, "Cannot create file " + unwritable + ".");
    EXPECT_EQ(Report(), expected);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // the protocol and out.GIF

#ifndef _WIN32
    // A full disk: the message, and the earlier file as it was.
    {
        const TFileSizeLimit full(64);
        dialogs.saveAnswers.push_back(target);
        form->mmSaveAnalysis->trigger();
    }
    ASSERT_EQ(dialogs.failures.size(), 2u);
    EXPECT_EQ(dialogs.failures[1].text, QStringLiteral("Stream write error."));
    EXPECT_EQ(Read(target), expected);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
#endif
}

TEST(ReportView, HoldsEveryByteAndTheAddLineRule) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') all.push_back(static_cast<char>(b));
    TReportView view;
    TTextLines plain;
    for (TLineList* lines : std::initializer_list<TLineList*>{&view, &plain}) {
        lines->AddLine(all);
        lines->AddLine("");
    }
    EXPECT_EQ(view.Text(), plain.Text());
    view.setPlainText("edited");  // an unterminated last line gets the break before the next
    view.AddLine("next");
    EXPECT_EQ(view.Text(), "edited\r\nnext");
}

// An object whose event handler fails the way a command can.
class TFailingObject final : public QObject {
  public:
    int handled = 0;
    std::function<void()> fail;

  protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        if (++handled == 1) fail();
        return true;
    }
};

TEST_F(DataCommand, ArrowClickWithoutPointsReachesTheCentralHandler) {
    // A load that fails before the search-time chart's points leaves the right arrow enabled
    // with nothing to read.
    AboutOk();
    Load(Write(ValidProtocol(), "good.klp"));
    form->mmChartSel->trigger();
    auto bad = ValidProtocol();
    bad.Head[9] = "9 8";
    Load(Write(bad, "bad.klp"));
    dialogs.failures.clear();
    QTest::mouseClick(form->ChartSel->sbRightSel, Qt::LeftButton);
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(dialogs.failures[0].text, QStringLiteral("List index out of bounds (-1)"));
    EXPECT_TRUE(form->ChartSel->sbRightSel->isEnabled());
    EXPECT_FALSE(form->ChartSel->sbLeftSel->isEnabled());
}

TEST(CentralHandler, ShowsTheFailureAndTheEventLoopGoesOn) {
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { throw EZeroDivide(msg::kZeroDivide); }, "Floating point division by zero."},
        {[] { throw ERangeError("Range (1..8)"); }, "Range (1..8)"},
        {[] { throw EConvertError(W1251("'д' is bad")); }, "'д' is bad."},
        {[] { throw std::bad_alloc(); }, "Out of memory."},
    };
    for (const auto& [fail, text] : cases) {
        TScriptedDialogs dialogs;
        SetFailureDialogs(&dialogs);
        QWidget grabber;
        grabber.show();
        grabber.grabMouse();
        TFailingObject object;
        object.fail = fail;
        QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
        QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        EXPECT_EQ(object.handled, 2) << text;  // the next event is handled as usual
        ASSERT_EQ(dialogs.failures.size(), 1u) << text;
        EXPECT_EQ(dialogs.failures[0].text.toStdString(), text);
        EXPECT_EQ(dialogs.failures[0].caption, ApplicationTitle());
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << text;
        SetFailureDialogs(nullptr);
    }
}

}  // namespace
}  // namespace orvix::test
