#pragma once

// A full disk, for as long as it lives: the process may not grow a file past
// `bytes`, and a write beyond fails with an error instead of a signal.
#include <sys/resource.h>

#include <csignal>
#include <cstddef>

class FileSizeLimit {
  public:
    explicit FileSizeLimit(std::size_t bytes) {
        if (getrlimit(RLIMIT_FSIZE, &old_) != 0) {
            return;
        }
        struct rlimit small = old_;
        small.rlim_cur = bytes;
        previous_ = signal(SIGXFSZ, SIG_IGN);
        active_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        if (active_) {
            setrlimit(RLIMIT_FSIZE, &old_);
        }
        if (previous_ != SIG_ERR) {
            signal(SIGXFSZ, previous_);
        }
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool Active() const { return active_; }

  private:
    struct rlimit old_ {};
    void (*previous_)(int) = SIG_ERR;
    bool active_ = false;
};
