#include "private_table_file.h"

#include "archive/archive_export.h"
#include "archive/private_file.h"
#include "qt_text.h"

namespace orvix {

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
    archive::WritePrivateWorkbook(ToPath(target), header, rows, sheet);
}

}  // namespace orvix
