// The window with its own player, as a user meets it: how soon it appears
// while the synthesizer loads behind it, and from a click or a press to the
// first audio block with sound in FluidSynth's real-time output. Goals: the
// window within 300 ms; the first Play after the background load within 50 ms,
// later Plays within 20 ms; an edited note within 20 ms.
#include <benchmark/benchmark.h>

#include <QWindow>

#include "WindowBench.h"

namespace {

using namespace tontoko::bench;

BenchPlace* place = nullptr;

// From the window's construction to its first frame on screen.
void BM_WindowAppears(benchmark::State& state) {
    double worst = 0;
    for (auto _ : state) {
        place->ForgetOutput();
        const auto start = Clock::now();
        BenchWindow w;
        w.Show();
        while (!w.window->windowHandle() || !w.window->windowHandle()->isExposed()) {
            QApplication::processEvents();
        }
        const double ms = MsSince(start);
        worst = std::max(worst, ms);
        state.SetIterationTime(ms / 1000);
        place->WaitForOutput();  // the background load, before the window goes
    }
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_WindowAppears)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// A fresh window each time; the click comes once the background load is done.
void BM_FirstPlayAfterLoad(benchmark::State& state) {
    double worst = 0;
    for (auto _ : state) {
        place->ForgetOutput();
        BenchWindow w;
        w.Show();
        if (!place->WaitForOutput()) {
            state.SkipWithError("the synthesizer did not load");
            break;
        }
        BenchPlace::Spin(100);
        const long long from = place->OutputBytes();
        const auto click = Clock::now();
        w.Trigger("TB_Play");
        if (!place->WaitForSound(from)) {
            state.SkipWithError(w.messages.shown.empty() ? "no sound"
                                                         : w.messages.shown[0].c_str());
            break;
        }
        const double ms = MsSince(click);
        worst = std::max(worst, ms);
        state.SetIterationTime(ms / 1000);
        w.Trigger("TB_Stop");
        BenchPlace::Spin(20);
    }
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_FirstPlayAfterLoad)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// One window: every Play after the first.
void BM_LaterPlay(benchmark::State& state) {
    place->ForgetOutput();
    BenchWindow w;
    w.Show();
    if (!place->WaitForOutput()) {
        state.SkipWithError("the synthesizer did not load");
        return;
    }
    w.Trigger("TB_Play");
    BenchPlace::Spin(200);
    w.Trigger("TB_Stop");
    double worst = 0;
    for (auto _ : state) {
        place->WaitForQuiet();
        const long long from = place->OutputBytes();
        const auto click = Clock::now();
        w.Trigger("TB_Play");
        if (!place->WaitForSound(from)) {
            state.SkipWithError("no sound");
            break;
        }
        const double ms = MsSince(click);
        worst = std::max(worst, ms);
        state.SetIterationTime(ms / 1000);
        w.Trigger("TB_Stop");
        BenchPlace::Spin(20);
    }
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_LaterPlay)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

// A press on a melody cell to the first block of the edited note.
void BM_AuditionPress(benchmark::State& state) {
    place->ForgetOutput();
    BenchWindow w;
    w.Show();
    if (!place->WaitForOutput()) {
        state.SkipWithError("the synthesizer did not load");
        return;
    }
    double worst = 0;
    int cell = 0;
    for (auto _ : state) {
        place->WaitForQuiet();
        const long long from = place->OutputBytes();
        const auto press = Clock::now();
        w.PressCell(1 + (cell / 8) % 4, cell % 8);
        ++cell;
        if (!place->WaitForSound(from)) {
            state.SkipWithError("the edited note was not heard");
            break;
        }
        const double ms = MsSince(press);
        worst = std::max(worst, ms);
        state.SetIterationTime(ms / 1000);
    }
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_AuditionPress)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    return RunWithApplication(argc, argv, [&] {
        BenchPlace here;
        place = &here;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        place = nullptr;
    });
}
