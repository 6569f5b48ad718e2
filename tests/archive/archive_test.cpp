// The index: scans and re-scans, statuses, corrections that follow a file's content.
#include <thread>

#include "archive/examinee_name.h"
#include "archive/test_view.h"
#include "base/cp1251.h"
#include "base/errors.h"
#include "plots/result_plots.h"
#include "tests/archive/archive_fixture.h"

namespace orvix::archive::test {
namespace {

std::string DataMessage(const fs::path& file, char decimal) {
    try {
        LoadAsDataCommand(file, decimal);
    } catch (const Exception& e) {
        return Cp1251ToUtf8(FailureText(e.Message()));
    }
    return {};
}

TEST_F(ArchiveTest, ScanCountsAndReScanReadsOnlyWhatChanged) {
    std::vector<fs::path> good;
    for (int i = 1; i <= 4; ++i) good.push_back(Protocol("p" + std::to_string(i), i));
    good.push_back(Protocol("deep/er/p5.klp", 5));
    auto spoilt = protogen::GenerateProtocol({});
    spoilt.Head[9] = "zero";
    const fs::path bad = Write("spoilt", spoilt);
    // Not protocols: the program's outputs, a binary file, an empty file.
    WriteBytes(In() / "Results" / "p1 KL.txt", "report\r\n");
    WriteBytes(In() / "Results" / "p1 KL.5sec.gif", "GIF89a");
    WriteBytes(In() / "blob", std::string(3000, '\x01'));
    WriteBytes(In() / "empty", "");

    TArchive a(Db());
    TScanCounts c = Scan(a);
    EXPECT_EQ(c.Added, 6u);
    EXPECT_EQ(c.Failed, 1u);
    EXPECT_EQ(c.PassedOver, 4u);
    EXPECT_EQ(c.Changed + c.Unchanged + c.Missing, 0u);
    EXPECT_TRUE(c.Warnings.empty());

    const TTestRow failed = RowOf(a, bad);
    EXPECT_EQ(failed.Status, TTestStatus::Failed);
    EXPECT_FALSE(failed.Message.empty());
    EXPECT_EQ(failed.Message, DataMessage(bad, '.'));
    const TTestRow ok = RowOf(a, good[0]);
    EXPECT_EQ(ok.Status, TTestStatus::Ok);
    EXPECT_EQ(ok.Figures.size(), stats::kFigureColumns.size());
    EXPECT_EQ(ok.DateSource, TDateSource::Text);
    EXPECT_EQ(ok.Date.size(), 10u);

    c = Scan(a);
    EXPECT_EQ(c.Unchanged, 6u);
    EXPECT_EQ(c.Added + c.Changed + c.Missing, 0u);
    EXPECT_EQ(c.PassedOver, 4u);
    EXPECT_EQ(c.Failed, 1u);

    // Same size and time: not read again, even though the content is another protocol's.
    const std::string before = ReadBytes(good[1]);
    const TTestRow first = RowOf(a, good[1]);
    const auto time = fs::last_write_time(good[1]);
    std::string other = protogen::Scramble(protogen::GenerateProtocol({}).Text());
    other.resize(before.size(), '\r');
    WriteBytes(good[1], other);
    fs::last_write_time(good[1], time);
    c = Scan(a);
    EXPECT_EQ(c.Unchanged, 6u);
    EXPECT_EQ(RowOf(a, good[1]).Hash, first.Hash);
    EXPECT_EQ(RowOf(a, good[1]).FileTag, first.FileTag);

    // A new time: read again.
    fs::last_write_time(good[1], time + std::chrono::seconds(5));
    c = Scan(a);
    EXPECT_EQ(c.Changed, 1u);
    EXPECT_EQ(c.Unchanged, 5u);
    EXPECT_NE(RowOf(a, good[1]).Hash, first.Hash);
    EXPECT_NE(RowOf(a, good[1]).FileTag, first.FileTag);

    // Gone: marked missing, not dropped; back again: present.
    const std::string kept = ReadBytes(good[2]);
    const auto keptTime = fs::last_write_time(good[2]);
    fs::remove(good[2]);
    c = Scan(a);
    EXPECT_EQ(c.Missing, 1u);
    EXPECT_EQ(RowOf(a, good[2]).Status, TTestStatus::Missing);
    EXPECT_EQ(a.Tests().size(), 6u);
    WriteBytes(good[2], kept);
    fs::last_write_time(good[2], keptTime);
    c = Scan(a);
    EXPECT_EQ(c.Added, 1u);
    EXPECT_EQ(RowOf(a, good[2]).Status, TTestStatus::Ok);

    // A protocol spoilt in place is listed with its message, never dropped.
    auto worse = protogen::GenerateProtocol({});
    worse.Head[4] = "99";
    Write("p1", worse);
    fs::last_write_time(good[0], time + std::chrono::seconds(9));
    c = Scan(a);
    EXPECT_EQ(c.Changed, 1u);
    std::size_t failedNow = 0;
    for (const TTestRow& r : a.Tests()) failedNow += r.Status == TTestStatus::Failed;
    EXPECT_EQ(c.Failed, failedNow);
    EXPECT_EQ(RowOf(a, good[0]).Status, TTestStatus::Failed);
    EXPECT_EQ(RowOf(a, good[0]).Message, DataMessage(good[0], '.'));
}

TEST_F(ArchiveTest, ADifferentDecimalSeparatorReadsProtocolsAgain) {
    protogen::TGenerateOptions o;
    o.Decimal = ',';
    const fs::path comma = Write("comma", protogen::GenerateProtocol(o));
    TArchive a(Db());
    Scan(a, '.');
    EXPECT_EQ(RowOf(a, comma).Status, TTestStatus::Failed);
    EXPECT_EQ(RowOf(a, comma).Message, DataMessage(comma, '.'));
    const TScanCounts c = Scan(a, ',');
    EXPECT_EQ(c.Changed, 1u);
    EXPECT_EQ(RowOf(a, comma).Status, TTestStatus::Ok);
}

TEST_F(ArchiveTest, ExamineesGroupByNameAndCorrectionsFollowTheContent) {
    const std::string k = W1251("Кузнецов"), p = W1251("Петрова");
    const fs::path k1 = Protocol("k1", 11, k), k2 = Protocol("k2", 12, k),
                   p1 = Protocol("p1", 13, p);
    TArchive a(Db());
    Scan(a);
    const TTestRow rk1 = RowOf(a, k1), rk2 = RowOf(a, k2), rp1 = RowOf(a, p1);
    // The generator's initials may differ per seed: the name's key decides.
    EXPECT_EQ(rk1.ExamineeId == rk2.ExamineeId,
              ExamineeNameOf(rk1.Subject).Key == ExamineeNameOf(rk2.Subject).Key);
    EXPECT_NE(rk1.ExamineeId, rp1.ExamineeId);

    // Move k1 to a new examinee, set p1's date, rename Petrova.
    const std::int64_t moved = a.MoveTestToNewExaminee(rk1.Id, "Новиков Н.Н.");
    a.SetTestDate(rp1.Id, "2020-02-29");
    a.RenameExaminee(rp1.ExamineeId, "Петрова Анна");
    EXPECT_THROW(a.SetTestDate(rp1.Id, "2021-02-29"), EArchiveError);
    EXPECT_THROW(a.RenameExaminee(rp1.ExamineeId, "   "), EArchiveError);
    EXPECT_THROW(a.MoveTest(rk1.Id, 999999), EArchiveError);

    auto check = [&](const fs::path& k1Now, const fs::path& p1Now) {
        const TTestRow a1 = RowOf(a, k1Now), b1 = RowOf(a, p1Now);
        EXPECT_EQ(a1.ExamineeId, moved);
        EXPECT_EQ(a1.Examinee, "Новиков Н.Н.");
        EXPECT_TRUE(a1.ExamineeCorrected);
        EXPECT_EQ(b1.Date, "2020-02-29");
        EXPECT_EQ(b1.DateSource, TDateSource::User);
        EXPECT_EQ(b1.Examinee, "Петрова Анна");
    };
    check(k1, p1);
    // Renamed and moved to another folder: the corrections follow the content.
    fs::create_directories(In() / "moved");
    fs::rename(k1, In() / "moved" / "renamed-k1");
    fs::rename(p1, In() / "p1-new");
    TScanCounts c = Scan(a);
    EXPECT_EQ(c.Added, 2u);
    EXPECT_EQ(c.Missing, 2u);
    EXPECT_EQ(a.Tests().size(), 3u);  // the old paths are gone, not missing
    check(In() / "moved" / "renamed-k1", In() / "p1-new");
    // The index forgotten and built again: the user's data stays.
    a.ForgetIndex();
    EXPECT_TRUE(a.Tests().empty());
    c = Scan(a);
    EXPECT_EQ(c.Added, 3u);
    check(In() / "moved" / "renamed-k1", In() / "p1-new");

    // Merge: every test of Новиков goes to Петрова.
    a.MergeExaminees(moved, rp1.ExamineeId);
    EXPECT_EQ(RowOf(a, In() / "moved" / "renamed-k1").ExamineeId, rp1.ExamineeId);
    std::size_t petrova = 0;
    for (const TExamineeRow& e : a.Examinees()) {
        EXPECT_NE(e.Id, moved);
        if (e.Id == rp1.ExamineeId) petrova = e.Tests;
    }
    EXPECT_EQ(petrova, 2u);
    // Undo the move: back to the examinee the caption names.
    a.UndoMoveTest(RowOf(a, In() / "moved" / "renamed-k1").Id);
    EXPECT_EQ(RowOf(a, In() / "moved" / "renamed-k1").ExamineeId, rk1.ExamineeId);
    EXPECT_FALSE(RowOf(a, In() / "moved" / "renamed-k1").ExamineeCorrected);

    // The copy beside the database holds the latest state, and reads into a new database.
    const std::string copy = ReadBytes(a.CorrectionsCopyPath());
    EXPECT_EQ(copy, a.ExportCorrections());
    TArchive b(dir_ / "other" / "archive.db");
    b.ImportCorrections(copy);
    b.ImportCorrections(copy);  // twice changes nothing
    EXPECT_EQ(b.ExportCorrections(), copy);
    b.Scan({In()}, {});
    EXPECT_EQ(RowOf(b, In() / "p1-new").Examinee, "Петрова Анна");
    EXPECT_EQ(RowOf(b, In() / "p1-new").Date, "2020-02-29");
    EXPECT_EQ(b.Pseudonym(RowOf(b, In() / "p1-new").ExamineeId),
              a.Pseudonym(RowOf(a, In() / "p1-new").ExamineeId));
    EXPECT_THROW(b.ImportCorrections("not an export\n"), EArchiveError);
    EXPECT_THROW(b.ImportCorrections(copy + "test\tabc\tunknown-uid\t\n"), EArchiveError);
    EXPECT_EQ(b.ExportCorrections(), copy);
}

TEST_F(ArchiveTest, ANewCaptionWithARenamedExamineesNameJoinsThem) {
    const fs::path k1 = Protocol("k1", 21, W1251("Кузнецов"));
    TArchive a(Db());
    Scan(a);
    const TTestRow r = RowOf(a, k1);
    a.RenameExaminee(r.ExamineeId, "Кузнецов Евгений Викторович");
    auto full = protogen::GenerateProtocol({});
    full.Head[2] = W1251("Испытуемый: Кузнецов Евгений Викторович, 40 лет");
    const fs::path k2 = Write("k2", full);
    Scan(a);
    EXPECT_EQ(RowOf(a, k2).ExamineeId, r.ExamineeId);
    EXPECT_EQ(a.Examinees().size(), 1u);
}

TEST_F(ArchiveTest, TestViewSortsAndFiltersWithoutLosingRows) {
    for (int i = 1; i <= 12; ++i) Protocol("p" + std::to_string(i), static_cast<std::uint64_t>(i));
    auto spoilt = protogen::GenerateProtocol({});
    spoilt.Head[9] = "zero";
    // Named as UTF-8: a narrow string would be read in the system's code page on Windows.
    Write(fs::path(u8"Ёлка-spoilt"), spoilt);
    TArchive a(Db());
    Scan(a);
    TTestView view(a.Tests());
    ASSERT_EQ(view.Shown(), 13u);
    const std::size_t nPlus = *stats::FigureColumn("N+");
    view.Sort({TTestColumn::TField::Figure, nPlus}, true);
    for (std::size_t i = 1; i + 1 < view.Shown(); ++i)
        EXPECT_LE(view.ShownRow(i - 1).Figures[nPlus].Value, view.ShownRow(i).Figures[nPlus].Value);
    // The failed test has no N+: last in both directions.
    EXPECT_EQ(view.ShownRow(12).Status, TTestStatus::Failed);
    view.Sort({TTestColumn::TField::Figure, nPlus}, false);
    EXPECT_EQ(view.ShownRow(12).Status, TTestStatus::Failed);
    EXPECT_GE(view.ShownRow(0).Figures[nPlus].Value, view.ShownRow(1).Figures[nPlus].Value);
    view.Sort({TTestColumn::TField::Date, 0}, true);
    for (std::size_t i = 1; i < view.Shown(); ++i)
        EXPECT_LE(view.ShownRow(i - 1).Date, view.ShownRow(i).Date);

    // Filter by file name ignoring case and ё, by examinee, by FileTag; then everything again.
    view.Filter("ЕЛКА");
    ASSERT_EQ(view.Shown(), 1u);
    EXPECT_EQ(view.ShownRow(0).Status, TTestStatus::Failed);
    const std::string who = view.Rows()[0].Examinee;
    view.Filter(FoldCase(who));
    EXPECT_GE(view.Shown(), 1u);
    for (std::size_t i = 0; i < view.Shown(); ++i)
        EXPECT_TRUE(view.ShownRow(i).Examinee == who ||
                    FoldCase(view.ShownRow(i).FileTag).find(FoldCase(who)) != std::string::npos);
    view.Filter("");
    EXPECT_EQ(view.Shown(), 13u);
    view.OnlyExaminee(view.Rows()[0].ExamineeId);
    for (std::size_t i = 0; i < view.Shown(); ++i)
        EXPECT_EQ(view.ShownRow(i).ExamineeId, view.Rows()[0].ExamineeId);
    view.OnlyExaminee(std::nullopt);
    EXPECT_EQ(view.Shown(), 13u);
}

}  // namespace
}  // namespace orvix::archive::test

namespace orvix::archive::test {
namespace {

TEST_F(ArchiveTest, ACorrectionWhoseCopyCannotBeWrittenChangesNothing) {
    const fs::path p1 = Protocol("p1", 1);
    TArchive a(Db());
    Scan(a);
    const TTestRow before = RowOf(a, p1);
    // A folder where the copy should go: it cannot be replaced by a file.
    fs::create_directories(a.CorrectionsCopyPath() / "x");
    EXPECT_THROW(a.RenameExaminee(before.ExamineeId, "Другое Имя"), Exception);
    EXPECT_THROW(a.SetTestDate(before.Id, "2000-01-01"), Exception);
    const TTestRow after = RowOf(a, p1);
    EXPECT_EQ(after.Examinee, before.Examinee);
    EXPECT_EQ(after.Date, before.Date);
    fs::remove_all(a.CorrectionsCopyPath());
    a.RenameExaminee(before.ExamineeId, "Другое Имя");
    EXPECT_EQ(RowOf(a, p1).Examinee, "Другое Имя");
    EXPECT_NE(ReadBytes(a.CorrectionsCopyPath()).find("Другое Имя"), std::string::npos);
}

}  // namespace
}  // namespace orvix::archive::test
