// A fixed set of worker threads that run tasks in the order they are submitted, and the number
// of workers that suits this machine. Plain C++ (std::thread): the batch tool and the archive's
// scan load and analyse protocols on it while one thread consumes the results.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

namespace orvix {

// One worker per hardware thread the system reports, at least one.
std::size_t MachineWorkerCount() noexcept;

class TWorkerPool {
  public:
    // Starts `workers` threads (at least one).
    explicit TWorkerPool(std::size_t workers = MachineWorkerCount());
    // Tasks that have not started are dropped (their futures report a broken promise); the
    // destructor waits for those that are running.
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    std::size_t Size() const noexcept { return threads_.size(); }

    // Queues `task`; its result, or the exception it throws, arrives through the future.
    template <class F>
    auto Submit(F task) -> std::future<std::invoke_result_t<F&>> {
        using R = std::invoke_result_t<F&>;
        auto packaged = std::make_shared<std::packaged_task<R()>>(std::move(task));
        std::future<R> result = packaged->get_future();
        Post([packaged] { (*packaged)(); });
        return result;
    }

  private:
    // Queues a task that does not throw.
    void Post(std::function<void()> task);
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace orvix
