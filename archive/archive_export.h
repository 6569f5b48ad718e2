// The archive's export: one row per test with the batch summary's columns, so that the same
// file gives the same cells in both.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "archive/archive_rows.h"
#include "stats/summary_figures.h"

namespace orvix::archive {

// The header: file, examinee, test date, FileTag, subject, the figure columns
// (stats::kFigureColumns), status.
std::vector<std::string> ExportHeader();

// The cells of one test: the file's path, the examinee, the test date (ISO 8601), FileTag,
// subject, its figures, and "ok" or the failure message as the batch tool prints it.
// `examinee` replaces the examinee's name (a pseudonym); with `pseudonymous` FileTag is left
// empty, the subject is `examinee`, and the file is the test's code (see TestCode).
std::vector<stats::TCell> ExportCells(const TTestRow& row, const std::string& examinee,
                                      bool pseudonymous);

// A test's code for pseudonymous exports: "T-" and the first 12 digits of its content hash.
std::string TestCode(const TTestRow& row);

// The rows as UTF-8 CSV, header first, "," between fields, "\n" after each row, exactly as
// the batch summary writes its cells (stats::CsvText).
std::string ExportCsv(const std::vector<std::vector<stats::TCell>>& rows);

// `header` and `rows` as a workbook at `target` with one sheet named `sheet`, written in a
// folder only the owner may enter and made the owner's only before it is moved over the target:
// nobody else can read it at any moment (names in it are personal data). A build without the
// workbook writer refuses with a message naming the CSV way.
void WritePrivateWorkbook(const std::filesystem::path& target,
                          const std::vector<std::string>& header,
                          std::vector<std::vector<stats::TCell>> rows, const char* sheet);

}  // namespace orvix::archive
