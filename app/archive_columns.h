// The columns of the archive window's list of tests, as a table: each column's heading, how
// its cell is shown and which field it sorts by. A new column is one more entry.
#pragma once

#include <QString>
#include <functional>
#include <string_view>
#include <vector>

#include "archive/archive_rows.h"
#include "archive/test_view.h"

namespace orvix {

// What one cell shows.
struct TArchiveCell {
    QString Text;
    QString ToolTip;
    bool Dim = false;  // grey and italic: a value standing in for a missing one
};

struct TArchiveColumn {
    QString Heading;
    QString ToolTip;  // of the heading
    archive::TTestColumn Sort;
    bool Number = false;  // right-aligned
    int Width = 80;       // initial width, pixels
    std::function<TArchiveCell(const archive::TTestRow&, char decimal)> Cell;
};

// The columns in their order: examinee, date, FileTag, file, orientation, N+, Nпр, Nо.в.,
// accuracy, selections per minute, tempo V, work-curve verdict, status.
const std::vector<TArchiveColumn>& ArchiveColumns();

// A figure column's name (stats::kFigureColumns) as the window shows it, in Russian.
QString FigureTitle(std::string_view column);

// "2026-03-10" as "10.03.2026" (anything else as it is).
QString ShownDate(const std::string& iso);

// What the status column says: "ок", the failure's message, or "нет файла".
QString StatusText(const archive::TTestRow& row);

}  // namespace orvix
