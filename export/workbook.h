// A table written as a spreadsheet workbook (.xlsx) that opens right in any spreadsheet
// program whatever its locale: numbers stored as numbers, texts as strings, the header row
// frozen and filterable, columns as wide as their content. Plain C++ on libxlsxwriter.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "stats/summary_figures.h"

namespace orvix::workbook {

struct TTable {
    std::vector<std::string> Header;  // UTF-8
    // Each row as many cells as the header has names (missing cells stay empty, extra ones
    // are dropped).
    std::vector<std::vector<stats::TCell>> Rows;
};

// The widest a column is made, in characters; longer texts are cut off by the next column.
inline constexpr int kMaxColumnWidth = 60;

// The width a column gets for the longest text it shows, in characters.
int ColumnWidth(std::size_t longestText) noexcept;

// The characters of `cell` as the sheet shows it (a real number with its significant digits).
std::size_t ShownLength(const stats::TCell& cell);

// Writes `table` as the only worksheet, named `sheet` (UTF-8, at most 31 characters, none of
// []:*?/\), of a workbook at `target`, atomically as WriteFileAtomically writes: on failure the
// target keeps what it had, with the failure messages of every other output ("Cannot create
// file %s" naming the target, "Stream write error"). A real number is stored as the number
// its text in the CSV reads as, to 16 significant digits (what the library writes; a
// spreadsheet shows and computes with 15); one that is not finite is stored as that text.
void WriteWorkbook(const std::filesystem::path& target, const TTable& table,
                   std::string_view sheet);

}  // namespace orvix::workbook
