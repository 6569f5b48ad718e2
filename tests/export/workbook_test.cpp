// The workbook writer's failures are those of every other output, and leave what stood.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "base/errors.h"
#include "base/file_io.h"
#include "export/workbook.h"

namespace orvix::workbook {
namespace {
namespace fs = std::filesystem;

TEST(Workbook, ATargetThatCannotBeWrittenFailsAsEveryOutputAndLeavesWhatStood) {
    const fs::path dir =
        fs::temp_directory_path() / ("orvix-workbook-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir / "folder.xlsx");
    WriteFileAtomically(dir / "kept.xlsx", "earlier");
    TTable table;
    table.Header = {"file"};
    table.Rows = {{stats::TCell::Of("a.klp")}};
    for (const fs::path& target : {dir / "folder.xlsx", dir / "missing" / "x.xlsx"}) {
        try {
            WriteWorkbook(target, table, "sheet");
            ADD_FAILURE() << "wrote " << target;
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message(), "Cannot create file " + PathText(target));
        }
    }
    WriteWorkbook(dir / "kept.xlsx", table, "sheet");
    // Read through a handle closed at once: Windows removes no file that is still open.
    const std::string bytes = ReadWholeFile(dir / "kept.xlsx");
    EXPECT_EQ(bytes.substr(0, 2), "PK");  // a zip container, the earlier bytes replaced
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 2);  // the folder and the workbook, no temporary file
    fs::remove_all(dir);
}

TEST(Workbook, ColumnsAreAsWideAsTheirLongestTextWithinLimits) {
    EXPECT_EQ(ColumnWidth(0), 8);
    EXPECT_EQ(ColumnWidth(20), 21);
    EXPECT_EQ(ColumnWidth(5000), kMaxColumnWidth);
    // Characters, not bytes; numbers as the CSV writes them.
    EXPECT_EQ(ShownLength(stats::TCell::Of("Петрова")), 7u);
    EXPECT_EQ(ShownLength(stats::TCell::Real(2.0 / 3.0, 10)), 12u);
    EXPECT_EQ(ShownLength(stats::TCell::Whole(-120)), 4u);
    EXPECT_EQ(ShownLength(stats::TCell{}), 0u);
}

}  // namespace
}  // namespace orvix::workbook
