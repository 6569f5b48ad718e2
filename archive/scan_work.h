// How a scan spreads its files over threads: work on each item on a worker pool, results
// handed over in the items' order on the calling thread.
#pragma once

#include <cstddef>
#include <functional>

#include "base/ordered_jobs.h"
#include "base/worker_pool.h"

namespace orvix::archive {

// Runs work(i) for every i in [0, count) on `workers` threads (0: the machine's) and calls
// consume(i, result) on the calling thread in the order of i; consume returns false to stop
// (work not yet begun is skipped, work running is waited for). An exception from work or
// consume reaches the caller.
template <class TResult>
void RunInOrder(std::size_t count, unsigned workers,
                const std::function<TResult(std::size_t)>& work,
                const std::function<bool(std::size_t, TResult&&)>& consume) {
    if (count == 0) return;
    TWorkerPool pool(workers ? workers : MachineWorkerCount());
    TOrderedJobs<TResult> jobs(pool, count, work);
    while (!jobs.Done()) {
        const std::size_t i = jobs.NextIndex();
        if (!consume(i, jobs.Next())) return;
    }
}

}  // namespace orvix::archive
