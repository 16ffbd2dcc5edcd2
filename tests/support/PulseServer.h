#pragma once

// A private PulseAudio daemon for one test: its own XDG_RUNTIME_DIR and HOME
// in a temporary folder, one null sink, and `parec` recording the sink's
// monitor into a file. The test process points its own XDG_RUNTIME_DIR, HOME
// and PULSE_SERVER at it for the server's life. Both programs are ended by
// their process ids.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"

extern char** environ;

namespace tontoko::test {

// Sets an environment variable for a scope and puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

class PulseServer {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kRate = 44100;

    PulseServer()
        : runtime_(dir_.Path() / "run"),
          home_(dir_.Path() / "home"),
          socket_((runtime_ / "pulse" / "native").string()),
          recording_(dir_.File("monitor.raw")) {
        std::filesystem::create_directories(runtime_);
        std::filesystem::create_directories(home_);
        std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
        daemon_ = Spawn({"pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1",
                         "--use-pid-file=no", "--log-target=stderr", "--log-level=error",
                         "--disallow-exit", "-L", "module-native-protocol-unix", "-L",
                         "module-null-sink sink_name=tontoko_null rate=44100 channels=2"},
                        "");
        const auto end = Clock::now() + std::chrono::seconds(20);
        while (daemon_ > 0 && !Answers() && Clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ready_ = daemon_ > 0 && Answers();
    }

    ~PulseServer() {
        StopRecording();
        End(daemon_);
    }
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    bool Ready() const { return ready_; }
    std::string Socket() const { return socket_; }
    std::string RuntimeDir() const { return runtime_.string(); }
    std::string Home() const { return home_.string(); }

    // Records the null sink's monitor; true once samples arrive.
    bool StartRecording() {
        recorder_ = Spawn({"parec", "-d", "tontoko_null.monitor", "--raw", "--format=s16le",
                           "--rate=44100", "--channels=2", "--latency-msec=5"},
                          recording_);
        const auto end = Clock::now() + std::chrono::seconds(10);
        while (recorder_ > 0 && RecordedFrames() < 441 && Clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return RecordedFrames() >= 441;
    }
    void StopRecording() {
        End(recorder_);
        recorder_ = -1;
    }

    // Frames recorded so far.
    long long RecordedFrames() const {
        std::error_code ec;
        const auto size = std::filesystem::file_size(recording_, ec);
        return ec ? 0 : static_cast<long long>(size / 4);
    }
    // Interleaved samples from frame `from` on.
    std::vector<int16_t> Samples(long long from) const {
        std::ifstream in(recording_, std::ios::binary);
        in.seekg(from * 4);
        std::vector<int16_t> samples;
        int16_t pair[2];
        while (in.read(reinterpret_cast<char*>(pair), sizeof pair)) {
            samples.push_back(pair[0]);
            samples.push_back(pair[1]);
        }
        return samples;
    }

    // RMS of 10 ms windows of interleaved samples.
    static std::vector<double> WindowRms(const std::vector<int16_t>& samples) {
        constexpr std::size_t kWindow = 2 * kRate / 100;
        std::vector<double> rms;
        for (std::size_t at = 0; at + kWindow <= samples.size(); at += kWindow) {
            double sum = 0;
            for (std::size_t i = at; i < at + kWindow; ++i) {
                sum += double(samples[i]) * samples[i];
            }
            rms.push_back(std::sqrt(sum / kWindow));
        }
        return rms;
    }

    // Waits (up to `timeout`) until a 10 ms window recorded after frame `from`
    // is louder than `floor`; returns when that was seen, or nothing.
    std::optional<Clock::time_point> WaitForSound(long long from, double floor,
                                                  std::chrono::milliseconds timeout) const {
        const auto end = Clock::now() + timeout;
        while (Clock::now() < end) {
            for (double rms : WindowRms(Samples(from))) {
                if (rms > floor) {
                    return Clock::now();
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return std::nullopt;
    }

    // How many playback streams the server has (a client's open audio output).
    int PlaybackStreams() const {
        const std::string out = dir_.File("pactl.txt");
        const pid_t pid = Spawn({"pactl", "list", "short", "sink-inputs"}, out);
        if (pid <= 0) {
            return -1;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        std::ifstream in(out);
        int lines = 0;
        for (std::string line; std::getline(in, line);) {
            lines += line.empty() ? 0 : 1;
        }
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? lines : -1;
    }

  private:
    bool Answers() const {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socket_.c_str(), sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool ok =
            fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (fd >= 0) {
            ::close(fd);
        }
        return ok;
    }

    // Starts a program with the server's environment; standard output goes to
    // `output` (or nowhere), standard error nowhere.
    pid_t Spawn(std::vector<std::string> args, const std::string& output) const {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("XDG_RUNTIME_DIR=", 0) != 0 && entry.rfind("HOME=", 0) != 0 &&
                entry.rfind("PULSE_SERVER=", 0) != 0) {
                env.push_back(entry);
            }
        }
        env.push_back("XDG_RUNTIME_DIR=" + runtime_.string());
        env.push_back("HOME=" + home_.string());
        std::vector<char*> argv, envp;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        for (std::string& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, output.empty() ? "/dev/null" : output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
            pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    static void End(pid_t pid) {
        if (pid <= 0) {
            return;
        }
        ::kill(pid, SIGTERM);
        for (int i = 0; i < 200; ++i) {
            if (::waitpid(pid, nullptr, WNOHANG) == pid) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }

    TempDir dir_;
    std::filesystem::path runtime_;
    std::filesystem::path home_;
    std::string socket_;
    std::string recording_;
    pid_t daemon_ = -1;
    pid_t recorder_ = -1;
    bool ready_ = false;
};

// Points this process at `server` (or at no server at all) for a scope.
class PulseEnvironment {
  public:
    explicit PulseEnvironment(const PulseServer& server)
        : runtime_("XDG_RUNTIME_DIR", server.RuntimeDir()),
          home_("HOME", server.Home()),
          pulse_("PULSE_SERVER", "unix:" + server.Socket()),
          driver_("TONTOKO_AUDIO_DRIVER", std::nullopt) {}
    // No server: a runtime folder without a socket.
    explicit PulseEnvironment(const std::filesystem::path& emptyRuntime)
        : runtime_("XDG_RUNTIME_DIR", emptyRuntime.string()),
          home_("HOME", emptyRuntime.string()),
          pulse_("PULSE_SERVER", std::nullopt),
          driver_("TONTOKO_AUDIO_DRIVER", std::nullopt) {}

  private:
    ScopedEnv runtime_;
    ScopedEnv home_;
    ScopedEnv pulse_;
    ScopedEnv driver_;
};

}  // namespace tontoko::test
