// Audio export from the window: from the menu command (the file chosen) to the
// closed file, for WAV, FLAC and Ogg Vorbis. The first export of a run also
// loads the export's synthesizer unless the background load did; goals: WAV
// under 300 ms, Ogg under 600 ms.
#include <benchmark/benchmark.h>

#include "WindowBench.h"

namespace {

using namespace tontoko::bench;

BenchPlace* place = nullptr;
BenchWindow* shared = nullptr;

void Export(benchmark::State& state, const char* name) {
    TimeFileCommand(state, *shared, "MI_Export", place->File(name));
}

// A window just shown: the export's synthesizer is loaded by the first export.
void BM_FirstExportWav(benchmark::State& state) {
    for (auto _ : state) {
        place->ForgetOutput();
        BenchWindow w;
        w.Show();
        w.dialogs.next = QString::fromStdString(place->File("first.wav"));
        const auto click = Clock::now();
        w.Trigger("MI_Export");
        state.SetIterationTime(MsSince(click) / 1000);
        place->WaitForOutput();
    }
}
BENCHMARK(BM_FirstExportWav)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void BM_ExportWav(benchmark::State& state) {
    Export(state, "song.wav");
}
BENCHMARK(BM_ExportWav)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

void BM_ExportFlac(benchmark::State& state) {
    Export(state, "song.flac");
}
BENCHMARK(BM_ExportFlac)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

void BM_ExportOgg(benchmark::State& state) {
    Export(state, "song.ogg");
}
BENCHMARK(BM_ExportOgg)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    return RunWithApplication(argc, argv, [&] {
        BenchPlace here;
        place = &here;
        here.ForgetOutput();
        BenchWindow window;
        window.Show();
        // The background loads (playback, then export) as after a start.
        here.WaitForOutput();
        BenchPlace::Spin(2500);
        window.Trigger("TB_Play");  // a song as the user made it: generated, played
        BenchPlace::Spin(100);
        window.Trigger("TB_Stop");
        shared = &window;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        shared = nullptr;
        place = nullptr;
    });
}
