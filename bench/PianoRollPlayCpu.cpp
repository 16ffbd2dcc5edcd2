// What the piano roll costs while a song plays: the CPU time of the whole
// process over four seconds of playback through the main window, with the roll
// closed and open (goal: under 5 % of one core more). arg 0: roll closed (0)
// or open (1); arg 1: a player whose position follows the clock (0) or the
// real FluidSynth player synthesizing into a file in real time (1).
#include <benchmark/benchmark.h>

#include <time.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <memory>

#include "app/Platform.h"
#include "app/main.h"
#include "sound/FluidSynthPlayer.h"
#include "sound/MidiPlayer.h"
#include "sound/SoundFont.h"
#include "widgets/DocumentOpener.h"
#include "widgets/FileDialogs.h"
#include "widgets/Messages.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace tontoko;

const fs::path kDir = fs::temp_directory_path() / "tontoko-bench-rollcpu";
constexpr int kSeconds = 4;

class QuietMessages : public Messages {
  public:
    MessageAnswer Show(const QString&, const QString&, MessageButtons) override {
        ++shown;
        return MessageAnswer::Ok;
    }
    int shown = 0;
};

class NoFileDialogs : public FileDialogs {
  public:
    std::optional<QString> SaveFileName(QWidget*, const FileDialogRequest&) override { return {}; }
    std::optional<QString> OpenFileName(QWidget*, const FileDialogRequest&) override { return {}; }
};

class NoOpener : public DocumentOpener {
  public:
    bool Open(const QString&) override { return true; }
};

// Reports the position a real playback at 120 beats a minute would be at.
class ClockPlayer : public MidiPlayer {
  public:
    void SetFileName(const std::string&) override {}
    void Open() override {}
    void Play() override {
        start_ = Clock::now();
        playing_ = true;
    }
    void Stop() override { playing_ = false; }
    void Close() override { playing_ = false; }
    void SetNotify(std::function<void()> onNotify) override { notify_ = std::move(onNotify); }
    int CurrentTick() const override {
        if (!playing_) {
            return -1;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        return int(seconds * 2 * 96);
    }
    void Notify() {
        if (notify_) {
            notify_();
        }
    }

  private:
    Clock::time_point start_;
    bool playing_ = false;
    std::function<void()> notify_;
};

double ProcessSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void Run(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_PlayCpu(benchmark::State& state) {
    const bool open = state.range(0) != 0;
    const bool real = state.range(1) != 0;
    QuietMessages messages;
    NoFileDialogs dialogs;
    NoOpener opener;
    ClockPlayer clockPlayer;
    std::unique_ptr<FluidSynthPlayer> fluid;
    Platform platform;
    platform.messages = &messages;
    platform.fileDialogs = &dialogs;
    platform.opener = &opener;
    if (real) {
        FluidSynthPlayer::Options options;
        options.audioDriver = "file";
        options.audioFile = (kDir / "out.raw").string();
        fluid = std::make_unique<FluidSynthPlayer>(options);
        platform.player = fluid.get();
    } else {
        platform.player = &clockPlayer;
    }
    platform.clock = [] { return 20260101u; };
    TSMain window(platform);
    window.show();
    window.findChild<QPushButton*>(QStringLiteral("B_CGenerate"))->click();
    window.findChild<QPushButton*>(QStringLiteral("B_MGenerate"))->click();
    if (open) {
        window.findChild<QAction*>(QStringLiteral("MI_PianoRoll"))->trigger();
    }
    Run(300);
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        window.findChild<QAction*>(QStringLiteral("TB_Play"))->trigger();
        if (messages.shown > 0) {
            state.SkipWithError("the song did not play");
            break;
        }
        const double cpu0 = ProcessSeconds();
        const auto wall0 = Clock::now();
        Run(kSeconds * 1000);
        cpu += ProcessSeconds() - cpu0;
        wall += std::chrono::duration<double>(Clock::now() - wall0).count();
        window.findChild<QAction*>(QStringLiteral("TB_Stop"))->trigger();
        clockPlayer.Notify();
        Run(300);
    }
    state.counters["cpu_percent"] = wall > 0 ? 100 * cpu / wall : 0;
}
BENCHMARK(BM_PlayCpu)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"roll", "fluid"})
    ->Iterations(2)
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    fs::create_directories(kDir);
    for (const char* name : {"AccPattern.dat", "DrumPattern.dat"}) {
        fs::copy_file(fs::path(TONTOKO_SOURCE_DIR) / "data" / name, kDir / name,
                      fs::copy_options::overwrite_existing);
    }
    fs::current_path(kDir);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(kDir);
    return 0;
}
