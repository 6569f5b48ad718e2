// Independent jobs run in parallel on a worker pool, their results taken in input order: job(0),
// job(1), ... each handed back as soon as it and all before it are done. At most `ahead` jobs
// run or wait beyond the one taken next, so a slow consumer does not pile up results.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <type_traits>
#include <utility>

#include "base/worker_pool.h"

namespace orvix {

template <class R>
class TOrderedJobs {
    static_assert(!std::is_void_v<R> && std::is_move_constructible_v<R>,
                  "a job returns a movable value");

  public:
    using TJob = std::function<R(std::size_t)>;

    // Starts the first jobs at once. `ahead` 0: four per worker. The pool must outlive the
    // jobs. A job must not wait for the consumer: the consumer may be waiting for it.
    TOrderedJobs(TWorkerPool& pool, std::size_t count, TJob job, std::size_t ahead = 0)
        : pool_(pool),
          count_(count),
          ahead_(ahead ? ahead : 4 * pool.Size()),
          shared_(std::make_shared<TShared>(std::move(job))) {
        try {
            StartMore();
        } catch (...) {
            Stop();
            throw;
        }
    }
    // Stops: jobs that have not begun are skipped, those running are waited for (a job may use
    // what its creator gave it by reference).
    ~TOrderedJobs() { Stop(); }
    TOrderedJobs(const TOrderedJobs&) = delete;
    TOrderedJobs& operator=(const TOrderedJobs&) = delete;

    // Whether every result has been taken (or the jobs were stopped).
    bool Done() const noexcept { return next_ >= count_; }
    // The index of the job Next() returns.
    std::size_t NextIndex() const noexcept { return next_; }

    // The result of the next job in input order, waiting until it is ready. What the job threw
    // is thrown here instead; the jobs after it go on. Not to be called when Done().
    R Next() {
        std::future<R> result = std::move(running_.front());
        running_.pop_front();
        ++next_;
        StartMore();
        return result.get();
    }

    // Skips the jobs that have not begun and waits for those that are running; nothing is
    // taken after this.
    void Stop() noexcept {
        shared_->Stopped = true;
        for (std::future<R>& f : running_)
            if (f.valid()) f.wait();
        running_.clear();
        next_ = count_;
    }

  private:
    struct TShared {
        explicit TShared(TJob j) : Job(std::move(j)) {}
        TJob Job;
        std::atomic<bool> Stopped{false};
    };
    struct TSkipped {};

    void StartMore() {
        const std::size_t limit = std::min(count_, next_ + ahead_);
        for (; started_ < limit; ++started_) {
            running_.push_back(pool_.Submit([shared = shared_, i = started_]() -> R {
                if (shared->Stopped) throw TSkipped{};
                return shared->Job(i);
            }));
        }
    }

    TWorkerPool& pool_;
    std::size_t count_;
    std::size_t ahead_;
    std::shared_ptr<TShared> shared_;
    std::deque<std::future<R>> running_;
    std::size_t next_ = 0;
    std::size_t started_ = 0;
};

}  // namespace orvix
