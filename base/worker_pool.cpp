#include "worker_pool.h"

#include <algorithm>

namespace orvix {

std::size_t MachineWorkerCount() noexcept {
    return std::max<std::size_t>(1, std::thread::hardware_concurrency());
}

TWorkerPool::TWorkerPool(std::size_t workers) {
    workers = std::max<std::size_t>(1, workers);
    threads_.reserve(workers);
    try {
        for (std::size_t i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
    } catch (...) {
        // A thread that could not be started: stop those that were.
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
        throw;
    }
}

TWorkerPool::~TWorkerPool() {
    std::deque<std::function<void()>> dropped;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        dropped.swap(tasks_);
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
    // `dropped` goes here, outside the lock: a dropped task's state may be released with it.
}

void TWorkerPool::Post(std::function<void()> task) {
    {
        const std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void TWorkerPool::Work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (stopping_) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

}  // namespace orvix
