// Norm tables kept in the archive, the tool's norm commands, and the tests local norms are
// built from.
#include <sstream>

#include "archive/archive_local_norms.h"
#include "archive/test_scores.h"
#include "cli/archive_tool.h"
#include "stats/norm_table_csv.h"
#include "tests/archive/archive_fixture.h"

namespace orvix::archive::test {
namespace {

using archive_tool::ParseArchiveArguments;
using archive_tool::RunArchiveTool;
using archive_tool::TCommand;

constexpr std::string_view kHeader =
    "norm_id,version,index,sex,age_from,age_to,group,n,mean,sd,direction,reliability,source\n";

std::string Table(std::string_view id, std::string_view sd = "60") {
    return std::string(kHeader) + std::string(id) + ",1,N+,any,7,9,,40,350," + std::string(sd) +
           ",higher,,\n" + std::string(id) + ",1,Nomit,any,7,9,,40,12,5,lower,,\n";
}

TEST_F(ArchiveTest, NormTablesAreCheckedWholeChosenAndRemoved) {
    TArchive a(Db());
    // The second row's SD is bad: the message names its line and column, nothing is kept.
    try {
        a.ImportNormTable("bad.csv", Table("x", "-1"));
        ADD_FAILURE() << "a bad table was taken";
    } catch (const EArchiveError& e) {
        const std::string text = Cp1251ToUtf8(e.Message());
        EXPECT_NE(text.find("«bad.csv»: Строка 2, столбец 10"), std::string::npos) << text;
    }
    EXPECT_TRUE(a.NormTables().empty());
    EXPECT_FALSE(a.NormTableInUse());

    const auto first = a.ImportNormTable("first.csv", Table("first"));
    const auto second = a.ImportNormTable("second.csv", Table("second"));
    auto tables = a.NormTables();
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_TRUE(tables[0].InUse);  // the first one imported
    EXPECT_FALSE(tables[1].InUse);
    EXPECT_EQ(tables[1].NormIds, std::vector<std::string>{"second"});

    a.UseNormTable(second);
    ASSERT_TRUE(a.NormTableInUse());
    EXPECT_EQ(a.NormTableInUse()->Table->Rows.front().NormId, "second");
    a.ForgetIndex();  // user data: a rebuilt index keeps it
    EXPECT_EQ(a.NormTableInUse()->Id, second);
    // Removing the one in use leaves none in use; the other stays.
    a.RemoveNormTable(second);
    EXPECT_FALSE(a.NormTableInUse());
    ASSERT_EQ(a.NormTables().size(), 1u);
    EXPECT_EQ(a.NormTables()[0].Id, first);
    EXPECT_THROW(a.UseNormTable(second), EArchiveError);
    EXPECT_THROW(a.RemoveNormTable(second), EArchiveError);
    a.UseNormTable(std::nullopt);
    EXPECT_FALSE(a.NormTableInUse());
}

TEST(ArchiveToolArguments, TheNormCommands) {
    std::ostringstream err;
    auto local = ParseArchiveArguments(
        {"--db=a.db", "local-norms", "--out=n.csv", "--examinees=Ёлкина А.; Петров",
         "--from=2026-01-01", "--to=2026-06-30", "--norm-id=школа"},
        '.', err);
    ASSERT_TRUE(local) << err.str();
    EXPECT_EQ(local->Command, TCommand::LocalNorms);
    EXPECT_EQ(local->Examinees, (std::vector<std::string>{"Ёлкина А.", " Петров"}));
    EXPECT_EQ(local->From, "2026-01-01");
    EXPECT_EQ(local->NormId, "школа");
    auto use = ParseArchiveArguments({"--db=a.db", "use-norms", "0"}, '.', err);
    ASSERT_TRUE(use);
    EXPECT_EQ(use->TableId, 0);
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--db=a.db", "local-norms"},
          {"--db=a.db", "local-norms", "--out=n.csv", "extra"},
          {"--db=a.db", "local-norms", "--out=n.csv", "--from=1.1.2026"},
          {"--db=a.db", "--out=n.csv", "scan", "x"},
          {"--db=a.db", "list-norms", "x"},
          {"--db=a.db", "remove-norms", "0"},
          {"--db=a.db", "use-norms", "two"},
          {"--db=a.db", "import-norms"}}) {
        std::ostringstream e;
        EXPECT_FALSE(ParseArchiveArguments(bad, '.', e)) << bad[1];
    }
}

TEST_F(ArchiveTest, TheToolImportsListsAndChoosesNormTables) {
    WriteBytes(dir_ / "bad.csv", Table("x", "0"));
    WriteBytes(dir_ / "good.csv", Table("школа"));
    archive_tool::TArchiveOptions o;
    o.Database = Db();
    o.Command = TCommand::ImportNorms;
    o.Paths = {dir_ / "bad.csv"};
    std::ostringstream out, err;
    EXPECT_EQ(RunArchiveTool(o, out, err, false), 1);
    EXPECT_NE(err.str().find("Строка 2, столбец 10"), std::string::npos) << err.str();
    o.Paths = {dir_ / "good.csv"};
    EXPECT_EQ(RunArchiveTool(o, out, err, false), 0);
    EXPECT_EQ(out.str(), "таблица норм 1: строк: 2, используется\n");

    o.Paths.clear();
    o.Command = TCommand::ListNorms;
    std::ostringstream list;
    EXPECT_EQ(RunArchiveTool(o, list, err, false), 0);
    EXPECT_EQ(list.str().rfind("1\tgood.csv\t", 0), 0u) << list.str();
    EXPECT_NE(list.str().find("\tстрок: 2\tнормы: школа\tиспользуется\n"), std::string::npos);

    o.Command = TCommand::UseNorms;
    o.TableId = 0;
    EXPECT_EQ(RunArchiveTool(o, out, err, false), 0);
    EXPECT_FALSE(TArchive(Db()).NormTableInUse());
    o.Command = TCommand::RemoveNorms;
    o.TableId = 1;
    EXPECT_EQ(RunArchiveTool(o, out, err, false), 0);
    EXPECT_TRUE(TArchive(Db()).NormTables().empty());
}

TEST_F(ArchiveTest, ASelectionTakesItsExamineesAndDatesAndOnlyTestsThatWereRead) {
    const fs::path a1 = Protocol("a1", 1, "\xa8\xeb\xea\xe8\xed\xe0");  // Ёлкина
    const fs::path a2 = Protocol("a2", 2, "\xa8\xeb\xea\xe8\xed\xe0");
    const fs::path b1 = Protocol("b1", 3, "\xcf\xe5\xf2\xf0\xee\xe2");  // Петров
    auto spoilt = protogen::GenerateProtocol({});
    spoilt.Head[9] = "zero";
    Write("spoilt", spoilt);
    TArchive a(Db());
    Scan(a);
    a.SetTestDate(RowOf(a, a1).Id, "2026-01-10");
    a.SetTestDate(RowOf(a, a2).Id, "2026-02-10");
    a.SetTestDate(RowOf(a, b1).Id, "2026-03-10");
    a.MoveTest(RowOf(a, a2).Id, RowOf(a, a1).ExamineeId);  // one person, whatever the initials
    const auto tests = a.Tests();
    EXPECT_EQ(SelectTests(tests, {}).size(), 3u);
    auto names = [](const std::vector<TTestRow>& rows) {
        std::vector<std::string> files;
        for (const auto& r : rows) files.push_back(r.File.filename().string());
        std::sort(files.begin(), files.end());
        return files;
    };
    // The name as typed: another letter case and е for ё find the same examinee.
    // The name shown keeps the caption's ё; the name as typed may differ in letter case and
    // have е for ё.
    const std::string yolkina = RowOf(a, a1).Examinee;
    ASSERT_EQ(yolkina.rfind("Ёлкина", 0), 0u) << yolkina;
    EXPECT_EQ(names(SelectTests(tests, {{"  ЕЛКИНА" + yolkina.substr(12)}, {}, {}})),
              (std::vector<std::string>{"a1", "a2"}));
    EXPECT_EQ(names(SelectTests(tests, {{}, "2026-02-10", "2026-03-10"})),
              (std::vector<std::string>{"a2", "b1"}));
    EXPECT_EQ(names(SelectTests(tests, {{}, {}, "2026-01-31"})), std::vector<std::string>{"a1"});

    stats::TLocalNormGroup group;
    group.NormId = "n";
    const auto norms = LocalNormsOf(SelectTests(tests, {}), group);
    ASSERT_FALSE(norms.Table.Rows.empty());
    EXPECT_EQ(norms.Table.Rows.front().N, 3);
    EXPECT_EQ(norms.Table.Rows.front().DateFrom, "2026-01-10");
    EXPECT_EQ(norms.Table.Rows.front().DateTo, "2026-03-10");
}

TEST_F(ArchiveTest, EachTestIsScoredWithTheAgeAtItsOwnDate) {
    const fs::path before = Protocol("before", 1, "\xc8\xe2\xe0\xed\xee\xe2");  // Иванов
    const fs::path after = Protocol("after", 2, "\xc8\xe2\xe0\xed\xee\xe2");
    TArchive a(Db());
    Scan(a);
    a.MoveTest(RowOf(a, after).Id, RowOf(a, before).ExamineeId);
    a.SetExamineeData(RowOf(a, before).ExamineeId,
                      {stats::TSex::Male, stats::ParseDate("2016-03-11"), {}});
    a.SetTestDate(RowOf(a, before).Id, "2026-03-10");  // 9 years old
    a.SetTestDate(RowOf(a, after).Id, "2026-03-11");   // 10 on that day
    a.UseNormTable(a.ImportNormTable("ages.csv", std::string(kHeader) +
                                                     "n,1,N+,male,9,9,,40,300,50,higher,,\n" +
                                                     "n,1,N+,male,10,10,,40,400,50,higher,,\n"));
    const std::vector<TTestRow> tests = {RowOf(a, before), RowOf(a, after)};
    const auto norms = a.NormTableInUse();
    const stats::TNormLookup lookup(*norms->Table);
    const auto scores = ScoreTests(tests, lookup);
    ASSERT_EQ(scores.size(), 2u);
    ASSERT_EQ(scores[0].size(), 1u);
    ASSERT_EQ(scores[1].size(), 1u);
    EXPECT_EQ(scores[0][0].Row->AgeFrom, 9);
    EXPECT_EQ(scores[1][0].Row->AgeFrom, 10);
    EXPECT_TRUE(scores[0][0].Warnings.empty());
}

}  // namespace
}  // namespace orvix::archive::test
