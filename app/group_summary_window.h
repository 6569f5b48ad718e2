// The summary of a group of tests chosen in the archive: for every numeric index its n, mean,
// SD, median, quartiles, minimum and maximum, and an export of the tests' rows with that
// summary. Non-modal; holds a copy of the rows.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "archive/archive_rows.h"
#include "stats/group_summary.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace orvix {

class TDialogs;

class TGroupSummaryWindow final : public QDialog {
    Q_OBJECT

  public:
    // Tests whose file is missing are left out; failed ones count but give no figures.
    TGroupSummaryWindow(std::vector<archive::TTestRow> tests, char decimal, TDialogs& dialogs,
                        QString resultsFolder, QWidget* parent);

    const std::vector<stats::TIndexSummary>& Summary() const noexcept { return summary_; }
    const std::vector<archive::TTestRow>& Tests() const noexcept { return tests_; }

    // The export: the save dialog (proposing the Results folder), then the tests' rows (the
    // archive export's columns) in the file chosen and the summary beside it, in
    // "<name> (сводка).csv".
    void Export();
    // Where the summary goes for rows written to `rowsFile`.
    static QString SummaryFileFor(const QString& rowsFile);

    QLabel* Caption = nullptr;
    QTableWidget* Table = nullptr;
    QPushButton* ExportButton = nullptr;

  private:
    std::vector<archive::TTestRow> tests_;
    std::vector<stats::TIndexSummary> summary_;
    TDialogs& dialogs_;
    QString resultsFolder_;
};

}  // namespace orvix
