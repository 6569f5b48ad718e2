// The examinee's data and norm tables kept with the user's corrections: the layout step that
// adds them to an older database, their text form, and the lookup the batch tool reads them by.
#include "archive/content_hash.h"
#include "archive/database.h"
#include "archive/examinee_lookup.h"
#include "stats/norm_table_csv.h"
#include "tests/archive/archive_fixture.h"

namespace orvix::archive::test {
namespace {

stats::TExamineeData Data(std::string_view birth, stats::TSex sex, std::string group) {
    return {sex, stats::ParseDate(birth), std::move(group)};
}

void ExpectData(const stats::TExamineeData& got, const stats::TExamineeData& want) {
    EXPECT_EQ(got.BirthDate, want.BirthDate);
    EXPECT_EQ(got.Sex, want.Sex);
    EXPECT_EQ(got.Group, want.Group);
}

constexpr std::string_view kNorms =
    "norm_id;version;index;sex;age_from;age_to;group;n;mean;sd;direction;reliability;source\n"
    "школа-2026;1;N+;any;10;11;;40;350;60;higher;;\n"
    "школа-2026;1;Nomit;any;10;11;;40;12;5;lower;;\n";

// The layout of the first version, made from a new database by taking away what the second
// added: the columns of the examinee's data and the norm tables.
void MakeFirstLayout(const fs::path& db) {
    TDatabase d(db, false);
    d.Exec(
        "ALTER TABLE examinee DROP COLUMN birth_date; ALTER TABLE examinee DROP COLUMN sex; "
        "ALTER TABLE examinee DROP COLUMN group_label; DROP TABLE norm_table; "
        "PRAGMA user_version = 1");
}

TEST_F(ArchiveTest, AFirstLayoutDatabaseIsCopiedAndGainsTheExamineeDataKeepingCorrections) {
    const fs::path p1 = Protocol("p1", 1);
    Protocol("p2", 2);
    {
        TArchive a(Db());
        Scan(a);
        a.RenameExaminee(RowOf(a, p1).ExamineeId, "Ёлкина Анна");
        a.SetTestDate(RowOf(a, p1).Id, "2026-03-10");
    }
    MakeFirstLayout(Db());

    TOpenReport report;
    TArchive a(Db(), &report);
    ASSERT_TRUE(report.Backup);
    EXPECT_NE(report.Message.find(Utf8Path(*report.Backup)), std::string::npos);
    {
        TDatabase copy(*report.Backup, false);
        EXPECT_EQ(copy.QueryInt("PRAGMA user_version"), 1);
        EXPECT_EQ(copy.QueryText("SELECT name FROM examinee WHERE name LIKE 'Ё%'"), "Ёлкина Анна");
    }
    EXPECT_EQ(a.Database().QueryInt("PRAGMA user_version"), 2);
    // The corrections hold, and the new fields are there, unknown until set.
    const TTestRow row = RowOf(a, p1);
    EXPECT_EQ(row.Examinee, "Ёлкина Анна");
    EXPECT_EQ(row.Date, "2026-03-10");
    ExpectData(row.ExamineeData, {});
    const auto data = Data("2015-06-01", stats::TSex::Female, "4 класс");
    a.SetExamineeData(row.ExamineeId, data);
    ExpectData(a.ExamineeData(row.ExamineeId), data);
    EXPECT_EQ(stats::ExamineeAt(RowOf(a, p1).ExamineeData, stats::ParseDate("2026-03-10")).Age, 10);
    // The copy beside the database is of the new form and carries the data.
    const std::string copy = ReadBytes(a.CorrectionsCopyPath());
    EXPECT_EQ(copy.rfind("ORVIX-KL archive corrections 2\n", 0), 0u);
    EXPECT_NE(copy.find("\t2015-06-01\tfemale\t4 класс\n"), std::string::npos) << copy;
}

TEST_F(ArchiveTest, ExamineeDataIsCheckedAndSurvivesScansMergesAndARebuiltIndex) {
    const fs::path p1 = Protocol("p1", 1, "\xc8\xe2\xe0\xed\xee\xe2");  // Иванов
    const fs::path p2 = Protocol("p2", 2, "\xcf\xe5\xf2\xf0\xee\xe2");  // Петров
    TArchive a(Db());
    Scan(a);
    const std::int64_t one = RowOf(a, p1).ExamineeId, two = RowOf(a, p2).ExamineeId;
    ASSERT_NE(one, two);

    EXPECT_THROW(a.SetExamineeData(one, Data("1850-01-01", stats::TSex::Male, "")), EArchiveError);
    EXPECT_THROW(a.SetExamineeData(9999, {}), EArchiveError);
    a.SetExamineeData(one, Data("2014-02-03", stats::TSex::Any, "  3 класс \t"));
    EXPECT_EQ(a.ExamineeData(one).Group, "3 класс");

    a.ForgetIndex();
    Scan(a);
    ExpectData(RowOf(a, p1).ExamineeData, Data("2014-02-03", stats::TSex::Any, "3 класс"));

    // A merge keeps what the examinee merged into has and takes the rest from the other.
    a.SetExamineeData(two, Data("2013-01-01", stats::TSex::Male, ""));
    a.MergeExaminees(two, one);
    ExpectData(RowOf(a, p2).ExamineeData, Data("2014-02-03", stats::TSex::Male, "3 класс"));
    for (const TExamineeRow& e : a.Examinees()) EXPECT_EQ(e.Data.Sex, stats::TSex::Male) << e.Name;
}

TEST_F(ArchiveTest, CorrectionsCarryExamineeDataAndNormTablesThereAndBack) {
    const fs::path p1 = Protocol("p1", 1);
    std::string text;
    {
        TArchive a(Db());
        Scan(a);
        a.SetExamineeData(RowOf(a, p1).ExamineeId,
                          Data("2015-06-01", stats::TSex::Female, "tab\there"));
        a.ImportNormTable("школа.csv", kNorms);
        text = a.ExportCorrections();
    }
    fs::remove(Db());
    {
        TArchive b(Db());
        Scan(b);
        b.ImportCorrections(text);
        ExpectData(RowOf(b, p1).ExamineeData, Data("2015-06-01", stats::TSex::Female, "tab\there"));
        const auto tables = b.NormTables();
        ASSERT_EQ(tables.size(), 1u);
        EXPECT_EQ(tables[0].Name, "школа.csv");
        EXPECT_TRUE(tables[0].InUse);
        EXPECT_EQ(tables[0].Rows, 2u);
        EXPECT_EQ(b.ExportCorrections(), text);

        // A text of the first version leaves the data as it is.
        std::string v1 = "ORVIX-KL archive corrections 1\n";
        const auto uid = b.Database().QueryText("SELECT uid FROM examinee LIMIT 1");
        v1 += "examinee\t" + *uid + "\tДругое Имя\n";
        b.ImportCorrections(v1);
        EXPECT_EQ(RowOf(b, p1).Examinee, "Другое Имя");
        EXPECT_EQ(RowOf(b, p1).ExamineeData.Group, "tab\there");

        // Bad fields refuse the whole text.
        for (const std::string& bad :
             {"examinee\t" + *uid + "\tX\t2015-02-30\t\t\n", "examinee\t" + *uid + "\tX\t\tboy\t\n",
              std::string("norm table\tu\tn.csv\t2026-01-01 10:00\tnot;a;table\n")}) {
            EXPECT_THROW(b.ImportCorrections("ORVIX-KL archive corrections 2\n" + bad),
                         EArchiveError)
                << bad;
            EXPECT_EQ(RowOf(b, p1).Examinee, "Другое Имя");
        }
    }
}

TEST_F(ArchiveTest, TheLookupFindsAMovedFileByItsContentAndAnUnscannedOneByItsPath) {
    const fs::path p1 = Protocol("p1", 1, "\xc8\xe2\xe0\xed\xee\xe2");  // Иванов
    const fs::path p2 = Protocol("p2", 2, "\xcf\xe5\xf2\xf0\xee\xe2");  // Петров
    {
        TArchive a(Db());
        Scan(a);
        a.SetExamineeData(RowOf(a, p1).ExamineeId,
                          Data("2016-03-11", stats::TSex::Male, "1 класс"));
        a.SetTestDate(RowOf(a, p1).Id, "2026-03-10");
        a.ImportNormTable("n.csv", kNorms);
    }
    const std::string bytes = ReadBytes(p1);
    const fs::path moved = dir_ / "elsewhere" / "renamed.dat";
    fs::create_directories(moved.parent_path());
    fs::rename(p1, moved);
    // p2 changed after the scan: its content is new, its path is known.
    WriteBytes(p2, ReadBytes(p2) + " ");

    const TExamineeLookup lookup(Db());
    EXPECT_EQ(lookup.Size(), 2u);
    const auto found = lookup.FindContent(bytes, moved);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->TestDate, stats::ParseDate("2026-03-10"));
    EXPECT_EQ(found->Data.Group, "1 класс");
    EXPECT_EQ(found->At().Age, 9);  // the birthday of 11 March is a day away
    EXPECT_EQ(found->At().Sex, stats::TSex::Male);

    const auto byPath = lookup.FindContent(ReadBytes(p2), p2);
    ASSERT_TRUE(byPath);
    EXPECT_NE(byPath->ExamineeId, found->ExamineeId);
    EXPECT_FALSE(byPath->At().Age);
    EXPECT_FALSE(lookup.Find(ContentHash("something else"), dir_ / "nowhere"));

    ASSERT_TRUE(lookup.NormsInUse());
    EXPECT_EQ(lookup.NormsInUse()->Table->Rows.size(), 2u);
    EXPECT_THROW(TExamineeLookup(dir_ / "no.db"), EArchiveError);
}

}  // namespace
}  // namespace orvix::archive::test
