#include "private_table_file.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "archive/archive_errors.h"
#include "archive/private_file.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "qt_text.h"

#if ORVIX_APP_XLSX
#include "export/workbook.h"
#endif

namespace orvix {
namespace {

#if ORVIX_APP_XLSX
// The workbook written in a folder of its own that only the owner may enter, made the owner's
// only there, then moved over the target.
void WritePrivateWorkbook(const std::filesystem::path& target, const workbook::TTable& table,
                          const char* sheet) {
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
            workbook::WriteWorkbook(inside, table, sheet);
        } catch (const EFCreateError&) {
            throw EFCreateError(WithArgument(msg::kCannotCreateFile, PathText(target)));
        }
        archive::MakeOwnerOnly(inside);
        fs::rename(inside, target, ec);
        if (ec) throw EFCreateError(WithArgument(msg::kCannotCreateFile, PathText(target)));
    } catch (...) {
        fs::remove_all(folder, ec);
        throw;
    }
    fs::remove_all(folder, ec);
}
#endif

}  // namespace

bool IsWorkbookName(const QString& file) {
    return file.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
}

void WritePrivateTable(const QString& target, const std::vector<std::string>& header,
                       const std::vector<std::vector<stats::TCell>>& rows, const char* sheet,
                       const std::string& csv) {
    if (!IsWorkbookName(target)) {
        archive::WritePrivateFile(ToPath(target), csv);
        return;
    }
#if ORVIX_APP_XLSX
    WritePrivateWorkbook(ToPath(target), {header, rows}, sheet);
#else
    (void)header;
    (void)rows;
    (void)sheet;
    throw archive::EArchiveError::Utf8(
        "Эта сборка сделана без libxlsxwriter и не пишет книги .xlsx; выберите имя .csv.");
#endif
}

}  // namespace orvix
