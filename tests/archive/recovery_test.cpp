// A damaged database, an older and a newer layout.
#include "archive/archive_schema.h"
#include "archive/database.h"
#include "tests/archive/archive_fixture.h"

namespace orvix::archive::test {
namespace {

TEST_F(ArchiveTest, ADamagedDatabaseIsSetAsideRebuiltAndTheCorrectionsRestored) {
    const fs::path p1 = Protocol("p1", 1);
    Protocol("p2", 2);
    {
        TArchive a(Db());
        Scan(a);
        a.RenameExaminee(RowOf(a, p1).ExamineeId, "Переименован Р.Р.");
        a.SetTestDate(RowOf(a, p1).Id, "2001-01-01");
    }
    // Garbage over the pages after the header.
    std::string bytes = ReadBytes(Db());
    ASSERT_GT(bytes.size(), 8192u);
    for (std::size_t i = 100; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13);
    WriteBytes(Db(), bytes);

    TOpenReport report;
    TArchive a(Db(), &report);
    EXPECT_TRUE(report.Recovered);
    EXPECT_TRUE(report.CorrectionsRestored);
    EXPECT_NE(report.Message.find("повреждена"), std::string::npos) << report.Message;
    EXPECT_NE(report.Message.find(Utf8Path(report.SetAside)), std::string::npos);
    // Never deleted: the damaged bytes are kept under the new name.
    EXPECT_EQ(ReadBytes(report.SetAside), bytes);
    EXPECT_TRUE(a.Tests().empty());
    EXPECT_EQ(Scan(a).Added, 2u);
    EXPECT_EQ(RowOf(a, p1).Examinee, "Переименован Р.Р.");
    EXPECT_EQ(RowOf(a, p1).Date, "2001-01-01");
    // The new database is sound and holds the same corrections.
    EXPECT_EQ(a.Database().QueryText("PRAGMA integrity_check"), "ok");
}

TEST_F(ArchiveTest, AFileThatIsNoDatabaseAtAllIsSetAsideToo) {
    WriteBytes(Db(), "this is a letter, not a database\n");
    TOpenReport report;
    TArchive a(Db(), &report);
    EXPECT_TRUE(report.Recovered);
    EXPECT_FALSE(report.CorrectionsRestored);
    EXPECT_EQ(ReadBytes(report.SetAside), "this is a letter, not a database\n");
    Protocol("p1", 1);
    EXPECT_EQ(Scan(a).Added, 1u);
}

TEST_F(ArchiveTest, AnOlderLayoutIsCopiedBeforeItIsBroughtUpToDate) {
    { TArchive a(Db()); }
    TDatabase db(Db(), false);
    // Back to a layout without the column that the step below adds.
    db.Exec("ALTER TABLE examinee DROP COLUMN birth_date; PRAGMA user_version = 1");
    db.Exec("INSERT INTO folder(path) VALUES ('/clinic')");
    const std::string_view steps[] = {"ALTER TABLE examinee ADD COLUMN birth_date TEXT"};
    const auto backup = Migrate(db, 2, steps);
    ASSERT_TRUE(backup);
    EXPECT_EQ(db.QueryInt("PRAGMA user_version"), 2);
    db.Exec("UPDATE examinee SET birth_date = NULL");
    TDatabase copy(*backup, false);
    EXPECT_EQ(copy.QueryInt("PRAGMA user_version"), 1);
    EXPECT_EQ(copy.QueryText("SELECT path FROM folder"), "/clinic");
    EXPECT_EQ(Utf8Path(backup->filename()).rfind("archive.db.v1-backup-", 0), 0u);
    // Up to date: nothing copied.
    EXPECT_FALSE(Migrate(db, 2, steps));
    // A step that fails leaves the version where it was.
    const std::string_view broken[] = {"ALTER TABLE examinee ADD COLUMN birth_date TEXT",
                                       "ALTER TABLE nowhere ADD COLUMN x"};
    EXPECT_THROW(Migrate(db, 3, broken), EArchiveError);
    EXPECT_EQ(db.QueryInt("PRAGMA user_version"), 2);
}

TEST_F(ArchiveTest, ADatabaseOfANewerVersionIsRefusedAndLeftAlone) {
    { TArchive a(Db()); }
    {
        TDatabase db(Db(), false);
        db.Exec("PRAGMA user_version = 99");
    }
    const std::string before = ReadBytes(Db());
    EXPECT_THROW(TArchive a(Db()), EArchiveError);
    EXPECT_EQ(ReadBytes(Db()), before);
}

}  // namespace
}  // namespace orvix::archive::test
