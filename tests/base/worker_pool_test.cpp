// The worker pool and ordered jobs: results in input order whatever order the jobs finish in,
// failures handed to the consumer at their place, a bounded number of jobs ahead, and a stop
// that skips what has not begun and waits for what runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/ordered_jobs.h"
#include "base/worker_pool.h"

namespace orvix {
namespace {

using namespace std::chrono_literals;

// A gate jobs wait at until the test opens it (with a deadline, so a fault fails the test
// instead of hanging it).
class Gate {
  public:
    void Open() {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        cv_.notify_all();
    }
    bool Wait() {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, 10s, [this] { return open_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool open_ = false;
};

TEST(WorkerPool, SizeFollowsTheMachineAndNeverDropsBelowOne) {
    EXPECT_GE(MachineWorkerCount(), 1u);
    EXPECT_EQ(TWorkerPool().Size(), MachineWorkerCount());
    EXPECT_EQ(TWorkerPool(0).Size(), 1u);
    EXPECT_EQ(TWorkerPool(3).Size(), 3u);
}

TEST(WorkerPool, WorkersRunTasksAtTheSameTime) {
    TWorkerPool pool(2);
    // Each of two tasks waits for the other to have started: only two workers get both done.
    std::atomic<int> started{0};
    auto meet = [&] {
        ++started;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (started < 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        return started.load();
    };
    auto a = pool.Submit(meet);
    auto b = pool.Submit(meet);
    EXPECT_EQ(a.get(), 2);
    EXPECT_EQ(b.get(), 2);
}

TEST(OrderedJobs, ResultsComeInInputOrderWhateverOrderTheJobsFinishIn) {
    for (const std::size_t workers : {1u, 2u, 5u}) {
        SCOPED_TRACE(workers);
        TWorkerPool pool(workers);
        std::mutex mutex;
        std::vector<std::size_t> finished;
        // Later jobs are quicker, so with several workers they finish first.
        constexpr std::size_t kJobs = 40;
        TOrderedJobs<std::string> jobs(pool, kJobs, [&](std::size_t i) {
            std::this_thread::sleep_for(std::chrono::microseconds(50 * (kJobs - i)));
            const std::lock_guard lock(mutex);
            finished.push_back(i);
            return "job " + std::to_string(i);
        });
        for (std::size_t i = 0; i < kJobs; ++i) {
            ASSERT_FALSE(jobs.Done());
            EXPECT_EQ(jobs.NextIndex(), i);
            EXPECT_EQ(jobs.Next(), "job " + std::to_string(i));
        }
        EXPECT_TRUE(jobs.Done());
        EXPECT_EQ(finished.size(), kJobs);  // each job ran exactly once
    }
}

TEST(OrderedJobs, AFailureReachesTheConsumerAtItsPlaceAndTheOthersGoOn) {
    TWorkerPool pool(3);
    TOrderedJobs<int> jobs(pool, 6, [](std::size_t i) {
        if (i == 2 || i == 5) throw std::runtime_error("job " + std::to_string(i) + " failed");
        return static_cast<int>(i * i);
    });
    std::vector<std::string> seen;
    while (!jobs.Done()) {
        try {
            seen.push_back(std::to_string(jobs.Next()));
        } catch (const std::runtime_error& e) {
            seen.push_back(e.what());
        }
    }
    EXPECT_EQ(seen,
              (std::vector<std::string>{"0", "1", "job 2 failed", "9", "16", "job 5 failed"}));
}

TEST(OrderedJobs, NoMoreThanAheadJobsRunBeyondTheOneTakenNext) {
    TWorkerPool pool(4);
    std::atomic<std::size_t> started{0};
    constexpr std::size_t kAhead = 3;
    TOrderedJobs<std::size_t> jobs(
        pool, 100,
        [&](std::size_t i) {
            ++started;
            return i;
        },
        kAhead);
    for (std::size_t taken = 0; taken < 100; ++taken) {
        // Give the workers time to start whatever they may.
        std::this_thread::sleep_for(200us);
        EXPECT_LE(started.load(), taken + kAhead);
        EXPECT_EQ(jobs.Next(), taken);
    }
    EXPECT_EQ(started.load(), 100u);
}

TEST(OrderedJobs, StoppingSkipsWhatHasNotBegunAndWaitsForWhatRuns) {
    TWorkerPool pool(2);
    std::atomic<int> ran{0};
    std::atomic<bool> slowRuns{false};
    std::atomic<bool> slowDone{false};
    Gate gate;
    {
        TOrderedJobs<int> jobs(
            pool, 1000,
            [&](std::size_t i) {
                ++ran;
                if (i == 1) {
                    // Still running when the consumer stops: the stop must wait for it.
                    slowRuns = true;
                    gate.Wait();
                    std::this_thread::sleep_for(20ms);
                    slowDone = true;
                }
                return static_cast<int>(i);
            },
            8);
        EXPECT_EQ(jobs.Next(), 0);
        while (!slowRuns) std::this_thread::sleep_for(1ms);
        std::thread opener([&] {
            std::this_thread::sleep_for(20ms);
            gate.Open();
        });
        jobs.Stop();
        EXPECT_TRUE(jobs.Done());
        opener.join();
        EXPECT_TRUE(slowDone);
    }
    const int after = ran.load();
    EXPECT_LE(after, 9);  // the first and those let ahead at most; never the thousand
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ran.load(), after);  // nothing runs once the jobs are gone
}

}  // namespace
}  // namespace orvix
