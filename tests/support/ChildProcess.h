#pragma once

// Runs a piece of a test in a forked child with a deadline, so that a call
// that would hang (a FIFO opened for reading, an endless device) fails the
// test instead of stopping it, and so that peak memory, signals and resource
// limits can be measured or set without touching the test process.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

struct ChildResult {
    bool finished = false;  // false: the deadline passed and the child was killed
    bool exited = false;    // ended by _exit (else by a signal)
    int exitCode = -1;
    int signal = 0;
    std::string report;  // what the child wrote to its report descriptor
};

// `body` runs in the child with a descriptor to write a short report to; its
// return value is the child's exit status. The child starts with the default
// action for the signals a test may send.
inline ChildResult RunInChild(const std::function<int(int reportFd)>& body,
                              std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
    ChildResult result;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return result;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return result;
    }
    if (pid == 0) {
        ::close(pipeFds[0]);
        for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ}) {
            ::signal(s, SIG_DFL);
        }
        const int status = body(pipeFds[1]);
        ::_exit(status);
    }
    ::close(pipeFds[1]);
    const auto end = std::chrono::steady_clock::now() + deadline;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            result.finished = true;
            break;
        }
        if (std::chrono::steady_clock::now() >= end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (result.finished) {
        result.exited = WIFEXITED(status);
        result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
        result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        result.report.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    return result;
}

inline void Report(int fd, const std::string& text) {
    ssize_t unused = ::write(fd, text.data(), text.size());
    (void)unused;
}
