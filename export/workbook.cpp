#include "workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/errors.h"
#include "base/file_io.h"
#include "base/staged_files.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace orvix::workbook {
namespace fs = std::filesystem;

namespace {

// The most characters a cell may hold.
constexpr std::size_t kMaxCellCharacters = 32767;

std::size_t Utf8Length(std::string_view text) noexcept {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// `text` cut to the characters a cell may hold, at a character's boundary.
std::string_view CellText(std::string_view text) noexcept {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (++characters > kMaxCellCharacters) return text.substr(0, i);
    }
    return text;
}

std::string Utf8(const fs::path& path) {
    const auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

struct WorkbookCloser {
    void operator()(lxw_workbook* book) const noexcept {
        if (book) workbook_close(book);
    }
};

// The workbook's writes report errors; any of them fails the save.
void Check(lxw_error error) {
    if (error != LXW_NO_ERROR) throw EWriteError(msg::kStreamWriteError);
}

void WriteCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const stats::TCell& cell) {
    switch (cell.Kind) {
        case stats::TCell::TKind::Empty:
            return;
        case stats::TCell::TKind::Text:
            Check(worksheet_write_string(sheet, row, col, std::string(CellText(cell.Text)).c_str(),
                                         nullptr));
            return;
        case stats::TCell::TKind::Integer:
        case stats::TCell::TKind::Real: {
            const std::string text = stats::CsvText(cell);
            if (!std::isfinite(cell.Value)) {
                Check(worksheet_write_string(sheet, row, col, text.c_str(), nullptr));
                return;
            }
            // The number the CSV's text reads as: the same digits in either file.
            Check(worksheet_write_number(sheet, row, col, std::strtod(text.c_str(), nullptr),
                                         nullptr));
            return;
        }
    }
}

// The name the workbook writer opens `file` (which exists) by. Built for Windows with MinGW it
// opens files with the C library, which reads a name in the ANSI code page, not UTF-8: a name
// with other characters (a Russian folder or file name) is given as the file's short name,
// plain ASCII where the volume keeps short names.
std::string WriterFileName(const fs::path& file) {
#ifdef _WIN32
    const auto ascii = [](const std::wstring& name) {
        return std::all_of(name.begin(), name.end(), [](wchar_t c) { return c < 0x80; });
    };
    const std::wstring& name = file.native();
    if (!ascii(name)) {
        const DWORD size = GetShortPathNameW(name.c_str(), nullptr, 0);
        std::wstring shortName(size, L'\0');
        if (size > 0 && GetShortPathNameW(name.c_str(), shortName.data(), size) == size - 1) {
            shortName.resize(size - 1);
            if (ascii(shortName)) return std::string(shortName.begin(), shortName.end());
        }
    }
#endif
    return Utf8(file);
}

void WriteSheet(const fs::path& file, const TTable& table, std::string_view sheetName) {
    lxw_workbook_options options{};
    std::unique_ptr<lxw_workbook, WorkbookCloser> book(
        workbook_new_opt(WriterFileName(file).c_str(), &options));
    if (!book) throw EWriteError(msg::kStreamWriteError);
    lxw_worksheet* sheet = workbook_add_worksheet(book.get(), std::string(sheetName).c_str());
    lxw_format* bold = workbook_add_format(book.get());
    if (!sheet || !bold) throw EWriteError(msg::kStreamWriteError);
    format_set_bold(bold);

    const std::size_t columns = table.Header.size();
    std::vector<std::size_t> longest(columns, 0);
    for (std::size_t c = 0; c < columns; ++c) {
        const auto col = static_cast<lxw_col_t>(c);
        Check(worksheet_write_string(sheet, 0, col, std::string(CellText(table.Header[c])).c_str(),
                                     bold));
        longest[c] = Utf8Length(table.Header[c]) + 2;  // bold, and the filter's button
    }
    for (std::size_t r = 0; r < table.Rows.size(); ++r) {
        const auto& row = table.Rows[r];
        for (std::size_t c = 0; c < std::min(columns, row.size()); ++c) {
            WriteCell(sheet, static_cast<lxw_row_t>(r + 1), static_cast<lxw_col_t>(c), row[c]);
            longest[c] = std::max(longest[c], ShownLength(row[c]));
        }
    }
    for (std::size_t c = 0; c < columns; ++c) {
        const auto col = static_cast<lxw_col_t>(c);
        Check(worksheet_set_column(sheet, col, col, ColumnWidth(longest[c]), nullptr));
    }
    if (columns > 0) {
        Check(worksheet_autofilter(sheet, 0, 0, static_cast<lxw_row_t>(table.Rows.size()),
                                   static_cast<lxw_col_t>(columns - 1)));
    }
    worksheet_freeze_panes(sheet, 1, 0);

    const lxw_error closed = workbook_close(book.release());
    if (closed == LXW_ERROR_CREATING_XLSX_FILE) throw EFCreateError(std::string());
    Check(closed);
}

}  // namespace

int ColumnWidth(std::size_t longestText) noexcept {
    return static_cast<int>(std::clamp<std::size_t>(longestText + 1, 8, kMaxColumnWidth));
}

std::size_t ShownLength(const stats::TCell& cell) {
    return cell.Kind == stats::TCell::TKind::Text ? Utf8Length(cell.Text)
                                                  : stats::CsvText(cell).size();
}

void WriteWorkbook(const fs::path& target, const TTable& table, std::string_view sheet) {
    TStagedFiles file;
    file.AddWritten(target, [&](const fs::path& temporary) {
        try {
            WriteSheet(temporary, table, sheet);
        } catch (const EFCreateError&) {
            throw EFCreateError(WithArgument(msg::kCannotCreateFile, PathText(target)));
        }
    });
    file.Commit();
}

}  // namespace orvix::workbook
