// A table written for its owner's eyes only, as CSV or, for a name ending in ".xlsx", as a
// workbook: names in it are personal data, so nobody else may read the file at any moment.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "stats/summary_figures.h"

namespace orvix {

// True for a file name ending in ".xlsx" (any letter case).
bool IsWorkbookName(const QString& file);

// `header` and `rows` at `target`: a workbook with one sheet named `sheet` when the name ends
// in ".xlsx", else `csv` (the same table as the caller writes it as CSV). A build without the
// workbook writer refuses a workbook with a message naming the CSV way.
void WritePrivateTable(const QString& target, const std::vector<std::string>& header,
                       const std::vector<std::vector<stats::TCell>>& rows, const char* sheet,
                       const std::string& csv);

}  // namespace orvix
