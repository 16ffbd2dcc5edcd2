#pragma once

// Runs the built tontoko-compose as a program: in a chosen folder (or one
// removed under it), with a file size limit or extra environment, capturing
// its output, and optionally signalling it once a condition holds.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempDir.h"

extern char** environ;

namespace compose_run {

struct RunResult {
    int status = -1;  // exit status, or -1 when ended by a signal
    int signal = 0;   // the signal that ended it
    bool timedOut = false;
    std::string out;
    std::string err;
};

struct RunOptions {
    std::filesystem::path cwd;
    bool removeCwd = false;                // the folder is removed before the program starts
    std::optional<rlim_t> fileSizeLimit;   // bytes
    std::vector<std::string> environment;  // extra NAME=value entries
    std::chrono::seconds deadline{120};
    // Polled while the program runs; once it returns true, `signal` is sent.
    std::function<bool()> when;
    int signal = 0;
};

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline RunResult RunComposer(std::vector<std::string> args, const RunOptions& options) {
    args.insert(args.begin(), TONTOKO_COMPOSE);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envStore;
    for (char** e = environ; *e != nullptr; ++e) {
        envStore.emplace_back(*e);
    }
    envStore.insert(envStore.end(), options.environment.begin(), options.environment.end());
    std::vector<char*> envp;
    for (std::string& e : envStore) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    // Output goes through pipes, drained while the program runs: a file would
    // fall under the program's file size limit too.
    int outPipe[2];
    int errPipe[2];
    RunResult run;
    if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) {
        return run;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ}) {
            ::signal(s, SIG_DFL);
        }
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) {
            ::close(fd);
        }
        if (!options.cwd.empty() && ::chdir(options.cwd.c_str()) != 0) {
            ::_exit(120);
        }
        if (options.removeCwd && ::rmdir(options.cwd.c_str()) != 0) {
            ::_exit(121);
        }
        if (options.fileSizeLimit) {
            rlimit limit{*options.fileSizeLimit, RLIM_INFINITY};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(122);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ::fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
    ::fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
    auto drain = [&] {
        char buffer[65536];
        ssize_t n;
        while ((n = ::read(outPipe[0], buffer, sizeof buffer)) > 0) {
            run.out.append(buffer, static_cast<size_t>(n));
        }
        while ((n = ::read(errPipe[0], buffer, sizeof buffer)) > 0) {
            run.err.append(buffer, static_cast<size_t>(n));
        }
    };
    const auto end = std::chrono::steady_clock::now() + options.deadline;
    bool signalled = false;
    int status = 0;
    for (;;) {
        drain();
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            break;
        }
        if (std::chrono::steady_clock::now() >= end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            run.timedOut = true;
            break;
        }
        if (!signalled && options.when && options.when()) {
            ::kill(pid, options.signal);
            signalled = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(signalled || !options.when ? 5 : 1));
    }
    drain();
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return run;
}

// Runs the composer in `cwd`.
inline RunResult RunComposer(const TempDir& cwd, std::vector<std::string> args) {
    RunOptions options;
    options.cwd = cwd.Path();
    return RunComposer(std::move(args), options);
}

// Names in a folder that start with a dot: the composer's temporaries.
inline std::vector<std::string> Temporaries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && name[0] == '.') {
            names.push_back(name);
        }
    }
    return names;
}

inline const std::string kData = TONTOKO_SOURCE_DIR "/data";

}  // namespace compose_run
