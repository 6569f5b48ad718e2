// A main window driven by scripted dialogs, and protocols written for the test.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <array>
#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/archive_window.h"
#include "app/failure.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/report_view.h"
#include "plots/result_plots.h"
#include "protocol/load.h"
#include "tools/protogen/protocol_writer.h"

// Failing checks show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace orvix::test {

// Answers the window's dialogs from queues (an empty queue: the user cancels) and records
// what the window asked and which failures it showed.
class TScriptedDialogs final : public TDialogs {
  public:
    struct Failure {
        QString caption, text;
        bool busyCursor;  // the hourglass still showing when the box came up
    };
    std::deque<QString> openAnswers, saveAnswers;
    std::vector<TOpenDialogSettings> openRequests;
    std::vector<TSaveDialogSettings> saveRequests;
    std::vector<Failure> failures;

    std::optional<QString> OpenFile(QWidget*, const TOpenDialogSettings& settings) override {
        openRequests.push_back(settings);
        return Next(openAnswers);
    }
    std::optional<QString> SaveFile(QWidget*, const TSaveDialogSettings& settings) override {
        saveRequests.push_back(settings);
        return Next(saveAnswers);
    }
    void ShowFailure(QWidget*, const QString& caption, const QString& text) override {
        failures.push_back({caption, text, QApplication::overrideCursor() != nullptr});
    }
    // The print dialog's answer: it may set the printer up; none cancels.
    std::function<bool(QPrinter&)> printAnswer;
    int printRequests = 0;
    bool Print(QWidget*, QPrinter& printer) override {
        ++printRequests;
        return printAnswer && printAnswer(printer);
    }

  private:
    static std::optional<QString> Next(std::deque<QString>& answers) {
        if (answers.empty()) return std::nullopt;
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Enabled: Data, Chart Select, Chart 5 sec, Save, Report, Archive, › Analysis, › Chart 5 sec,
// › Chart Select.
using TMenuState = std::array<bool, 9>;

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// A valid protocol: selections at 3, 4, 12 and 13 seconds, one of them wrong.
inline protogen::TProtocolText ValidProtocol() {
    auto p = protogen::BasicProtocol();
    p.Head[11] = "3";
    p.Head[13] = "1";
    p.Head[24] = "4";
    p.Records = {protogen::RecordLine(5, "3.0", "3.0", " +"),
                 protogen::RecordLine(9, "4.0", "1.0", " +"),
                 protogen::RecordLine(14, "12.0", "8.0", " -"),
                 protogen::RecordLine(17, "13.0", "1.0", " +")};
    return p;
}

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetFailureDialogs(&dialogs);
        NewForm();
    }
    void TearDown() override {
        form.reset();
        SetFailureDialogs(nullptr);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    void NewForm() {
        form = std::make_unique<TForm1>(dialogs);
        form->SetDecimalPointSource([] { return QStringLiteral("."); });
        form->show();
    }

    QString Write(const protogen::TProtocolText& protocol, const QString& name = "p.klp") {
        const QString path = dir.filePath(name);
        protogen::WriteProtocolFile(protocol, ToPath(path));
        return path;
    }
    std::string Read(const QString& path) {
        std::ifstream in(ToPath(path), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The Data command with the user choosing `path` (an empty path: cancelling).
    void Load(const QString& path) {
        if (!path.isEmpty()) dialogs.openAnswers.push_back(path);
        form->mmOpen->trigger();
    }
    void AboutOk() {
        form->WMSysCommand(syscmd::kAbout);
        form->AboutBox->OKButton->click();
    }
    TMenuState Menu() const {
        return {form->mmOpen->isEnabled(),         form->mmChartSel->isEnabled(),
                form->mmChart5sec->isEnabled(),    form->mmSave->isEnabled(),
                form->mmReport->isEnabled(),       form->mmArchive->isEnabled(),
                form->mmSaveAnalysis->isEnabled(), form->mmSaveChart5sec->isEnabled(),
                form->mmSaveChartSel->isEnabled()};
    }
    std::string Report() const { return form->meAnalysis->Text(); }

    // What the batch tool's path (the same analysis on a plain line list) makes of a file.
    static std::string BatchReport(const QString& path) {
        const TLoadedProtocol load = LoadAndAnalyse(ToPath(path));
        TDetachedCharts charts;
        TTextLines lines;
        ShowLoad(load, lines, charts.Tempo, charts.Search);
        return lines.Text();
    }

    QTemporaryDir dir;
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;
};

}  // namespace orvix::test
