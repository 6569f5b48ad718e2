// orvix-kl-archive's norm commands: tables imported into the archive, listed, chosen and
// removed, and local norms built from the archive's tests.
#include <ctime>
#include <ostream>

#include "archive/archive.h"
#include "archive/archive_local_norms.h"
#include "archive/private_file.h"
#include "base/file_io.h"
#include "base/local_time.h"
#include "cli/archive_tool.h"
#include "stats/norm_table_csv.h"

namespace orvix::archive_tool {
namespace {

std::string Today() {
    return LocalTimeText("%Y-%m-%d");
}

// One line per table: number, name, when imported, rows, its norms, and whether it is in use;
// tab-separated, so that a script can read it.
void ListNorms(archive::TArchive& archive, std::ostream& out) {
    for (const archive::TNormTableRow& t : archive.NormTables()) {
        std::string ids;
        for (const std::string& id : t.NormIds) ids += (ids.empty() ? "" : ", ") + id;
        out << t.Id << "\t" << t.Name << "\t" << t.Imported << "\tстрок: " << t.Rows
            << "\tнормы: " << ids << "\t" << (t.InUse ? "используется" : "") << "\n";
    }
}

int LocalNorms(archive::TArchive& archive, const TArchiveOptions& options, std::ostream& out,
               std::ostream& err) {
    archive::TTestSelection selection;
    selection.Examinees = options.Examinees;
    selection.From = options.From;
    selection.To = options.To;
    const std::vector<archive::TTestRow> tests = SelectTests(archive.Tests(), selection);
    stats::TLocalNormGroup group;
    group.NormId = options.NormId;
    group.Version = Today();
    group.Source = "местные нормы архива, тестов: " + std::to_string(tests.size());
    const stats::TLocalNorms norms = archive::LocalNormsOf(tests, group);
    if (norms.Table.Rows.empty()) {
        err << "orvix-kl-archive: выбрано тестов: " << tests.size()
            << "; для норм нужно не меньше двух тестов с разными значениями показателя.\n";
        return 1;
    }
    archive::WritePrivateFile(options.Out, stats::WriteNormTable(norms.Table));
    out << "тестов: " << tests.size() << ", показателей: " << norms.Table.Rows.size() << "\n";
    if (!norms.Skipped.empty()) {
        err << "без норм (меньше двух значений или все равны):";
        for (const std::string_view index : norms.Skipped) err << " «" << index << "»";
        err << "\n";
    }
    return 0;
}

}  // namespace

int RunNormsCommand(archive::TArchive& archive, const TArchiveOptions& options, std::ostream& out,
                    std::ostream& err) {
    switch (options.Command) {
        case TCommand::ImportNorms: {
            const std::filesystem::path& file = options.Paths.front();
            const std::int64_t id =
                archive.ImportNormTable(archive::Utf8Path(file.filename()), ReadWholeFile(file));
            for (const archive::TNormTableRow& t : archive.NormTables())
                if (t.Id == id)
                    out << "таблица норм " << id << ": строк: " << t.Rows
                        << (t.InUse ? ", используется" : "") << "\n";
            return 0;
        }
        case TCommand::ListNorms:
            ListNorms(archive, out);
            return 0;
        case TCommand::UseNorms:
            archive.UseNormTable(
                options.TableId == 0 ? std::nullopt : std::optional<std::int64_t>(options.TableId));
            return 0;
        case TCommand::RemoveNorms:
            archive.RemoveNormTable(options.TableId);
            return 0;
        case TCommand::LocalNorms:
            return LocalNorms(archive, options, out, err);
        default:
            return 2;
    }
}

}  // namespace orvix::archive_tool
