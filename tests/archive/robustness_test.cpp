// orvix-kl-archive processes killed at random moments, and two of them on one database.
#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "archive/database.h"
#include "tests/archive/archive_fixture.h"

namespace orvix::archive::test {
namespace {

// Starts orvix-kl-archive with `args`, its output thrown away; returns its process id.
pid_t Start(const std::vector<std::string>& args) {
    const std::string program = std::string(ORVIX_BIN_DIR) + "/orvix-kl-archive";
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// The database as SQLite finds it, without the archive's own recovery in between.
std::string IntegrityOf(const fs::path& db) {
    TDatabase raw(db, false);
    return raw.QueryText("PRAGMA integrity_check").value_or("");
}

// Killed before its tables were made, a database has none yet: no rows.
std::int64_t RowsIn(const fs::path& db) {
    TDatabase raw(db, false);
    if (raw.QueryInt("SELECT count(*) FROM sqlite_schema WHERE name = 'protocol'") == 0) return 0;
    return raw.QueryInt("SELECT count(*) FROM protocol").value_or(-1);
}

class ArchiveProcesses : public ArchiveTest {
  protected:
    void Generate(int count) {
        for (int i = 1; i <= count; ++i)
            Protocol("p" + std::to_string(i), static_cast<std::uint64_t>(i));
    }
    std::vector<std::string> ScanArgs() const {
        return {"--db=" + Utf8Path(Db()), "--decimal=.", "scan", Utf8Path(In())};
    }
};

TEST_F(ArchiveProcesses, AScanKilledAtRandomMomentsLeavesASoundDatabaseThatGoesOn) {
    // Each round adds protocols, waits until the scan has committed some of them and kills it
    // a random moment later, so the kills fall into scans however fast the machine is.
    const int perRound = 500;
    std::mt19937 random(20260310);
    std::int64_t rows = 0;
    int total = 0;
    int killedMidway = 0;
    for (int round = 0; round < 8; ++round) {
        for (int i = 0; i < perRound; ++i, ++total)
            Protocol("p" + std::to_string(total + 1), static_cast<std::uint64_t>(total + 1));
        const pid_t pid = Start(ScanArgs());
        int status = 0;
        bool ended = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                ended = true;
                break;
            }
            if (fs::exists(Db()) && RowsIn(Db()) > rows) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (!ended) {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 20)(random)));
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        ASSERT_TRUE(fs::exists(Db())) << "round " << round;
        ASSERT_EQ(IntegrityOf(Db()), "ok") << "round " << round;
        const std::int64_t now = RowsIn(Db());
        // What was committed stays: the count never goes back.
        EXPECT_GE(now, rows) << "round " << round;
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL && now < total) ++killedMidway;
        rows = now;
    }
    EXPECT_GT(killedMidway, 3) << "too few kills fell into a scan; the test proves little";
    // The next scan opens the database as it is and reads only what is not in it yet.
    TOpenReport report;
    TArchive a(Db(), &report);
    EXPECT_FALSE(report.Recovered);
    const TScanCounts c = Scan(a);
    EXPECT_EQ(c.Added + c.Unchanged, static_cast<std::size_t>(total));
    EXPECT_EQ(c.Unchanged, static_cast<std::size_t>(rows));
    EXPECT_EQ(a.Database().QueryText("PRAGMA integrity_check"), "ok");
}

TEST_F(ArchiveProcesses, TwoScansOfOneDatabaseAtOnceNeitherFailsNorDamagesIt) {
    const int count = 300;
    Generate(count);
    for (int round = 0; round < 2; ++round) {
        const pid_t first = Start(ScanArgs());
        const pid_t second = Start(ScanArgs());
        EXPECT_EQ(Wait(first), 0);
        EXPECT_EQ(Wait(second), 0);
        ASSERT_EQ(IntegrityOf(Db()), "ok");
        EXPECT_EQ(RowsIn(Db()), count);
    }
    TArchive a(Db());
    EXPECT_EQ(Scan(a).Unchanged, static_cast<std::size_t>(count));
}

TEST_F(ArchiveProcesses, ADatabaseLockedForLongerThanTheTimeoutGivesAClearMessage) {
    Generate(1);
    { TArchive a(Db()); }
    TDatabase holder(Db(), false);
    holder.Exec("BEGIN IMMEDIATE");
    TArchive a(Db());
    const auto start = std::chrono::steady_clock::now();
    try {
        Scan(a);
        ADD_FAILURE() << "the scan did not wait for the lock";
    } catch (const EArchiveBusy& e) {
        const std::string text = Cp1251ToUtf8(e.Message());
        EXPECT_NE(text.find("занята другой программой"), std::string::npos) << text;
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(kBusyTimeoutMs - 500));
    holder.Exec("ROLLBACK");
}

}  // namespace
}  // namespace orvix::archive::test
#endif
