#include "archive_export.h"

#include <algorithm>
#include <map>

#include "archive/archive.h"
#include "archive/private_file.h"
#include "base/cp1251.h"
#include "base/errors.h"
#include "base/file_io.h"

#if ORVIX_ARCHIVE_XLSX
#include <random>
#include <system_error>

#include "export/workbook.h"
#endif

namespace orvix::archive {
namespace {

bool EndsWithNoCase(const std::string& s, std::string_view end) {
    if (s.size() < end.size()) return false;
    for (std::size_t i = 0; i < end.size(); ++i) {
        char c = s[s.size() - end.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != end[i]) return false;
    }
    return true;
}

// A text with every occurrence of `what` replaced by `by`.
std::string Replaced(std::string text, const std::string& what, const std::string& by) {
    if (what.empty()) return text;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + by.size()))
        text.replace(at, what.size(), by);
    return text;
}

}  // namespace

void WritePrivateWorkbook(const std::filesystem::path& target,
                          const std::vector<std::string>& header,
                          std::vector<std::vector<stats::TCell>> rows, const char* sheet) {
#if ORVIX_ARCHIVE_XLSX
    namespace fs = std::filesystem;
    const fs::path folder = (target.has_parent_path() ? target.parent_path() : fs::path(".")) /
                            (".orvix-export-" + std::to_string(std::random_device{}()));
    std::error_code ec;
    if (!fs::create_directory(folder, ec))
        throw EFCreateError(WithArgument(msg::kCannotCreateFile, PathText(target)));
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    const fs::path inside = folder / target.filename();
    try {
        try {
            workbook::WriteWorkbook(inside, {header, std::move(rows)}, sheet);
        } catch (const EFCreateError&) {
            throw EFCreateError(WithArgument(msg::kCannotCreateFile, PathText(target)));
        }
        MakeOwnerOnly(inside);
        fs::rename(inside, target, ec);
        if (ec) throw EFCreateError(WithArgument(msg::kCannotCreateFile, PathText(target)));
    } catch (...) {
        fs::remove_all(folder, ec);
        throw;
    }
    fs::remove_all(folder, ec);
#else
    (void)target;
    (void)header;
    (void)rows;
    (void)sheet;
    throw EArchiveError::Utf8(
        "Эта сборка сделана без libxlsxwriter и не пишет книги .xlsx; выберите имя .csv.");
#endif
}

std::vector<std::string> ExportHeader() {
    std::vector<std::string> header = {"file", "examinee", "test date", "FileTag", "subject"};
    for (const std::string_view column : stats::kFigureColumns) header.emplace_back(column);
    header.emplace_back("status");
    return header;
}

std::string TestCode(const TTestRow& row) {
    return "T-" + row.Hash.substr(0, 12);
}

std::vector<stats::TCell> ExportCells(const TTestRow& row, const std::string& examinee,
                                      bool pseudonymous) {
    using stats::TCell;
    std::vector<TCell> cells;
    cells.reserve(stats::kFigureColumns.size() + 6);
    const std::string file = Utf8Path(row.File);
    cells.push_back(TCell::Of(pseudonymous ? TestCode(row) : file));
    cells.push_back(TCell::Of(examinee));
    cells.push_back(row.Date.empty() ? TCell{} : TCell::Of(row.Date));
    cells.push_back(pseudonymous ? TCell{} : TCell::Of(row.FileTag));
    cells.push_back(TCell::Of(pseudonymous ? examinee : row.Subject));
    if (row.Status == TTestStatus::Ok && row.Figures.size() == stats::kFigureColumns.size())
        cells.insert(cells.end(), row.Figures.begin(), row.Figures.end());
    else
        cells.resize(cells.size() + stats::kFigureColumns.size());
    std::string status = row.Status == TTestStatus::Ok ? "ok" : row.Message;
    // Data's messages name the file in Windows-1251; so does the copy stored.
    if (pseudonymous) status = Replaced(status, Cp1251ToUtf8(PathText(row.File)), TestCode(row));
    cells.push_back(TCell::Of(status));
    return cells;
}

std::string ExportCsv(const std::vector<std::vector<stats::TCell>>& rows) {
    std::string csv;
    bool first = true;
    for (const std::string& column : ExportHeader()) {
        if (!first) csv += ",";
        csv += stats::CsvField(column);
        first = false;
    }
    csv += "\n";
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) csv += ",";
            csv += stats::CsvText(row[i]);
        }
        csv += "\n";
    }
    return csv;
}

bool TArchive::Export(const std::filesystem::path& target, const TExportOptions& options) {
    std::vector<TTestRow> tests = Tests();
    std::erase_if(tests, [](const TTestRow& t) { return t.Status == TTestStatus::Missing; });
    std::sort(tests.begin(), tests.end(),
              [](const TTestRow& a, const TTestRow& b) { return a.File < b.File; });
    std::map<std::int64_t, std::string> pseudonyms;
    std::vector<std::vector<stats::TCell>> rows;
    rows.reserve(tests.size());
    bool allOk = true;
    for (const TTestRow& t : tests) {
        std::string examinee = t.Examinee;
        if (options.Pseudonyms) {
            auto it = pseudonyms.find(t.ExamineeId);
            if (it == pseudonyms.end())
                it = pseudonyms.emplace(t.ExamineeId, Pseudonym(t.ExamineeId)).first;
            examinee = it->second;
        }
        rows.push_back(ExportCells(t, examinee, options.Pseudonyms));
        allOk = allOk && t.Status == TTestStatus::Ok;
    }
    if (EndsWithNoCase(Utf8Path(target), ".xlsx")) {
        WritePrivateWorkbook(target, ExportHeader(), std::move(rows), "Архив");
    } else {
        WritePrivateFile(target, ExportCsv(rows));
    }
    return allOk;
}

}  // namespace orvix::archive
