#pragma once

// The main window as a user meets it, for the sound benchmarks: in a working
// folder of its own with the pattern files, with its own player on the sound
// service (FluidSynth's real-time "file" output, watched for the first sound),
// and recording stand-ins for the file dialog and the message box.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/Platform.h"
#include "app/main.h"
#include "sound/MidiPlayer.h"
#include "widgets/FileDialogs.h"
#include "widgets/Messages.h"
#include "widgets/StringGrid.h"

namespace tontoko::bench {

namespace fs = std::filesystem;

// No sound: the window is measured, not the synthesizer loading beside it.
class SilentPlayer : public MidiPlayer {
  public:
    void SetFileName(const std::string&) override {}
    void Open() override {}
    void Play() override {}
    void Stop() override {}
    void Close() override {}
    void SetNotify(std::function<void()>) override {}
    int CurrentTick() const override { return -1; }
};
using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class BenchDialogs : public FileDialogs {
  public:
    std::optional<QString> SaveFileName(QWidget*, const FileDialogRequest&) override {
        return next;
    }
    std::optional<QString> OpenFileName(QWidget*, const FileDialogRequest&) override {
        return next;
    }
    std::optional<QString> next;
};

class BenchMessages : public Messages {
  public:
    MessageAnswer Show(const QString& text, const QString&, MessageButtons) override {
        shown.push_back(text.toStdString());
        return MessageAnswer::Ok;
    }
    std::vector<std::string> shown;
};

// The folder, the environment of the output and the file it writes.
class BenchPlace {
  public:
    BenchPlace() : dir_(fs::temp_directory_path() / "tontoko-bench-window") {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        for (const char* name : {"AccPattern.dat", "DrumPattern.dat"}) {
            fs::copy_file(fs::path(TONTOKO_SOURCE_DIR) / "data" / name, dir_ / name);
        }
        fs::current_path(dir_);
        setenv("TONTOKO_AUDIO_DRIVER", "file", 1);
        setenv("TONTOKO_AUDIO_FILE", Output().c_str(), 1);
    }
    ~BenchPlace() {
        std::error_code ec;
        fs::current_path(fs::temp_directory_path(), ec);
        fs::remove_all(dir_, ec);
    }
    std::string Output() const { return (dir_ / "out.raw").string(); }
    std::string File(const std::string& name) const { return (dir_ / name).string(); }

    // Before a new window: the output of an earlier one goes, so that the new
    // one's output tells when its synthesizer has loaded.
    void ForgetOutput() const {
        std::error_code ec;
        fs::remove(Output(), ec);
    }
    // Bytes of output written so far (16-bit stereo frames: 4 bytes each).
    long long OutputBytes() const {
        std::error_code ec;
        const auto size = fs::file_size(Output(), ec);
        return ec ? 0 : static_cast<long long>(size);
    }
    // Waits until a sample after byte `from` is above the noise, spinning the
    // event loop; false after `timeoutMs`.
    bool WaitForSound(long long from, int timeoutMs = 3000) const {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        std::vector<int16_t> block(4096);
        long long offset = from;
        while (Clock::now() < end) {
            std::ifstream in(Output(), std::ios::binary);
            in.seekg(static_cast<std::streamoff>(offset));
            while (in.read(reinterpret_cast<char*>(block.data()), block.size() * 2) ||
                   in.gcount() > 0) {
                const auto count = static_cast<std::size_t>(in.gcount()) / 2;
                for (std::size_t i = 0; i < count; ++i) {
                    if (std::abs(int(block[i])) > 64) {
                        return true;
                    }
                }
                offset += static_cast<long long>(count) * 2;
                if (count < block.size()) {
                    break;
                }
            }
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return false;
    }
    // Waits until the last 50 ms of output are silent (an earlier sound has
    // died away).
    bool WaitForQuiet(int timeoutMs = 10000) const {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        constexpr long long kTail = 4 * 2205;
        std::vector<int16_t> tail(kTail / 2);
        while (Clock::now() < end) {
            const long long size = OutputBytes();
            if (size >= kTail) {
                std::ifstream in(Output(), std::ios::binary);
                in.seekg(static_cast<std::streamoff>((size - kTail) & ~3LL));
                in.read(reinterpret_cast<char*>(tail.data()), kTail);
                bool quiet = in.gcount() == kTail;
                for (int16_t s : tail) {
                    quiet = quiet && std::abs(int(s)) <= 64;
                }
                if (quiet) {
                    return true;
                }
            }
            Spin(5);
        }
        return false;
    }
    // The output has started: the synthesizer is loaded and the device open.
    bool WaitForOutput(int timeoutMs = 60000) const {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (OutputBytes() < 4 * 64 && Clock::now() < end) {
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return OutputBytes() >= 4 * 64;
    }
    // Lets the output run on for a while with the event loop spinning.
    static void Spin(int ms) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

  private:
    fs::path dir_;
};

// A shown window with its own player.
struct BenchWindow {
    BenchDialogs dialogs;
    BenchMessages messages;
    std::unique_ptr<TSMain> window;

    BenchWindow() {
        Platform platform;
        platform.messages = &messages;
        platform.fileDialogs = &dialogs;
        window = std::make_unique<TSMain>(platform);
    }
    void Show() {
        window->show();
        QApplication::processEvents();
    }
    void Trigger(const char* name) {
        window->findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }
    // A left press on a cell of a melody grid, as the mouse delivers it.
    void PressCell(int measure, int column) {
        auto* grid = window->findChild<StringGrid*>(QStringLiteral("Melody%1").arg(measure));
        const QPointF at = grid->CellCenter(column);
        QMouseEvent press(QEvent::MouseButtonPress, at, grid->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, grid->viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &release);
    }
};

// Times a menu command that writes the file at `path`, once per iteration:
// the file is removed first and must be there afterwards, with no message.
inline void TimeFileCommand(benchmark::State& state, BenchWindow& w, const char* command,
                            const std::string& path) {
    w.dialogs.next = QString::fromStdString(path);
    double worst = 0;
    for (auto _ : state) {
        fs::remove(path);
        const auto click = Clock::now();
        w.Trigger(command);
        const double ms = MsSince(click);
        if (!fs::exists(path) || !w.messages.shown.empty()) {
            state.SkipWithError(w.messages.shown.empty() ? "no file" : w.messages.shown[0].c_str());
            break;
        }
        worst = std::max(worst, ms);
        state.SetIterationTime(ms / 1000);
    }
    state.counters["worst_ms"] = worst;
    state.counters["file_kb"] = fs::exists(path) ? double(fs::file_size(path)) / 1024 : 0;
}

// A Qt application on the offscreen platform unless a display was asked for.
inline int RunWithApplication(int argc, char** argv, const std::function<void()>& run) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    run();
    return 0;
}

}  // namespace tontoko::bench
