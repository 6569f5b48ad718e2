// Files and folders that must not stop a scan.
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>

#include "archive/content_hash.h"
#include "archive/scan_file.h"
#include "base/cp1251.h"
#include "tests/archive/archive_fixture.h"

namespace orvix::archive::test {
namespace {

// Folders deeper than the 260 characters Windows once allowed are walked and read there too.
TEST_F(ArchiveTest, ProtocolsInFoldersDeeperThan260CharactersAreFoundAndRead) {
    fs::path deep;
    for (int i = 0; i < 4; ++i) deep /= PathFromUtf8("папка-" + std::string(80, 'x'));
    const fs::path file = deep / PathFromUtf8("протокол");
    ASSERT_GT((In() / file).native().size(), 340u);
    Protocol(file, 5);
    Protocol("near", 6);

    TArchive a(Db());
    const TScanCounts c = Scan(a);
    EXPECT_EQ(c.Added, 2u);
    EXPECT_TRUE(c.Warnings.empty()) << c.Warnings.front();
    EXPECT_EQ(RowOf(a, In() / file).Status, TTestStatus::Ok);
    EXPECT_EQ(Scan(a).Unchanged, 2u);
    // MinGW's remove_all cannot list folders this deep: the tree goes from the inside out.
    fs::remove(In() / file);
    for (fs::path folder = deep; !folder.empty(); folder = folder.parent_path())
        fs::remove(In() / folder);
}

#ifndef _WIN32
TEST_F(ArchiveTest, PipesHugeFilesLinksAndLongCyrillicNamesDoNotStopAScan) {
    Protocol("p1", 1);
    // A pipe: never opened (opening it would wait for a writer).
    ASSERT_EQ(::mkfifo((In() / "pipe").c_str(), 0600), 0);
    // A huge protocol: its beginning looks like one, Data refuses it by its size.
    const std::string head = protogen::Scramble(protogen::GenerateProtocol({}).Text());
    {
        std::ofstream huge(In() / "huge", std::ios::binary);
        huge << head;
        huge.seekp((std::streamoff{300} << 20));
        huge << 'x';
    }
    // A huge file that is no protocol.
    {
        std::ofstream huge(In() / "huge-binary", std::ios::binary);
        huge << std::string(2000, '\x02');
        huge.seekp((std::streamoff{300} << 20));
        huge << 'x';
    }
    // A link to the folder itself (a loop if followed), a dangling link, a linked protocol.
    fs::create_directory_symlink(In(), In() / "loop");
    fs::create_symlink(In() / "nowhere", In() / "dangling");
    fs::create_symlink(In() / "p1", In() / "link-to-p1");
    // Cyrillic names near the longest a file name can be (255 bytes, less the writer's
    // temporary suffix), in folders deep enough for a path of more than 1,000 bytes.
    std::string longName;
    while (longName.size() < 220) longName += "протокол";
    fs::path deep;
    for (int i = 0; i < 6; ++i) deep /= PathFromUtf8("папка-" + longName.substr(0, 160));
    const fs::path longFile = deep / PathFromUtf8(longName);
    ASSERT_GT(Utf8Path(In() / longFile).size(), 1000u);
    Protocol(longFile, 7);

    TArchive a(Db());
    const TScanCounts c = Scan(a);
    EXPECT_EQ(c.Added, 4u);  // p1, its link, huge, the long one
    EXPECT_EQ(c.Failed, 1u);
    EXPECT_EQ(c.PassedOver, 2u);  // the pipe, the huge binary
    EXPECT_EQ(RowOf(a, In() / "huge").Message, "Text exceeds memo capacity.");
    EXPECT_EQ(RowOf(a, In() / longFile).Status, TTestStatus::Ok);
    EXPECT_EQ(RowOf(a, In() / "link-to-p1").Hash, RowOf(a, In() / "p1").Hash);
    // The second time nothing is read: not even the huge files.
    const TScanCounts again = Scan(a);
    EXPECT_EQ(again.Unchanged, 4u);
    EXPECT_EQ(again.PassedOver, 2u);
}

TEST_F(ArchiveTest, FilesThatVanishOrChangeDuringTheScanDoNotStopIt) {
    const fs::path gone = Protocol("a-gone", 1);
    const fs::path changing = Protocol("b-changing", 2);
    Protocol("c-stays", 3);
    // A file gone between the look at the folder and the reading.
    EXPECT_EQ(ScanFile(In() / "never-there", 100, '.').Kind, TScannedFile::TKind::Vanished);

    TArchive a(Db());
    TScanOptions o;
    bool once = false;
    o.Progress = [&](const TScanProgress& p) {
        // The folder has been looked at; the files have not been read yet.
        if (once || p.Done != 0) return;
        once = true;
        fs::remove(gone);
        Protocol("b-changing", 22);
    };
    TScanCounts c = a.Scan({In()}, o);
    EXPECT_TRUE(once);
    EXPECT_EQ(c.Added, 2u);
    EXPECT_EQ(a.Tests().size(), 2u);
    // The changed file was read as it is now; its new time makes the next scan read it again
    // (the time the scan saw before reading is what it stored).
    c = Scan(a);
    EXPECT_EQ(c.Changed + c.Unchanged, 2u);
    EXPECT_EQ(c.Missing, 0u);
    EXPECT_EQ(RowOf(a, changing).Hash, ContentHash(ReadBytes(changing)));
}

TEST_F(ArchiveTest, AFolderThatCannotBeReadIsReportedAndItsProtocolsAreNotTakenAsGone) {
    Protocol("sub/p1", 1);
    Protocol("p2", 2);
    TArchive a(Db());
    EXPECT_EQ(Scan(a).Added, 2u);
    // Permissions do not stop root; running out of file handles stops everybody.
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    TScanCounts c;
    EXPECT_NO_THROW(c = Scan(a));
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_FALSE(c.Warnings.empty());
    EXPECT_EQ(c.Missing, 0u);
    for (const TTestRow& r : a.Tests()) EXPECT_EQ(r.Status, TTestStatus::Ok) << r.File;
    EXPECT_EQ(Scan(a).Unchanged, 2u);
}

TEST_F(ArchiveTest, FilesThatCannotBeOpenedAreReportedAndReadAgainNextTime) {
#ifdef ORVIX_SANITIZED
    // The undefined-behaviour checker tests an object's type through a pipe of its own; with
    // no file handle left it finds none and reports the exception the scan catches as a
    // broken object.
    GTEST_SKIP() << "needs file handles the sanitizers' runtime cannot do without";
#endif
    const fs::path known = Protocol("known", 1);
    TArchive a(Db());
    Scan(a);
    fs::last_write_time(known, fs::last_write_time(known) + std::chrono::seconds(3));
    const fs::path fresh = Protocol("fresh", 2);
    // The folders are read; then no file can be opened any more.
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    TScanOptions o;
    o.Progress = [&](const TScanProgress& p) {
        if (p.Done != 0) return;
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit tight = saved;
        tight.rlim_cur = static_cast<rlim_t>(lowestFree);
        setrlimit(RLIMIT_NOFILE, &tight);
    };
    TScanCounts c;
    EXPECT_NO_THROW(c = a.Scan({In()}, o));
    setrlimit(RLIMIT_NOFILE, &saved);
    // The known protocol shows Data's message; the new file is only named.
    EXPECT_EQ(RowOf(a, known).Status, TTestStatus::Failed);
    EXPECT_EQ(RowOf(a, known).Message, "Cannot open file " + Utf8Path(known) + ".");
    EXPECT_EQ(a.Tests().size(), 1u);
    ASSERT_EQ(c.Warnings.size(), 1u);
    EXPECT_NE(c.Warnings[0].find(Utf8Path(fresh)), std::string::npos);
    c = Scan(a);
    EXPECT_EQ(c.Changed, 1u);
    EXPECT_EQ(c.Added, 1u);
    EXPECT_EQ(c.Failed, 0u);
}
#endif

}  // namespace
}  // namespace orvix::archive::test
