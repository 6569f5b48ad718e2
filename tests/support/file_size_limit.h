// A full disk, as far as one process can tell: while a TFileSizeLimit lives, no file of this
// process can grow beyond `bytes` (writes past it fail instead of raising SIGXFSZ). Works for
// root too, unlike permissions.
#pragma once

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>

namespace orvix::test {

class TFileSizeLimit {
  public:
    explicit TFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

}  // namespace orvix::test
#endif
