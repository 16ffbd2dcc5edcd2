// A song of 32 measures (eight parts) in the window: Save from the menu
// command (the file chosen) to the file renamed into place, and its Ogg
// Vorbis export through the window's export. Goals: Save under 20 ms, the Ogg
// export under 1.5 s. The export's two halves, the synthesis and the writing
// of its samples as Ogg Vorbis, are timed on their own too.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>

#include "WindowBench.h"
#include "document/SongDocument.h"
#include "sound/AudioFile.h"
#include "sound/OfflineSynth.h"
#include "sound/SoundFont.h"

namespace {

using namespace tontoko::bench;

BenchPlace* place = nullptr;
BenchWindow* shared = nullptr;

// Eight parts, each generated afresh, as "4小節ふやす" and the generate
// buttons make them; written where the window opens it.
void WriteLongSong(const std::string& path) {
    tontoko::SongDocument song(32);
    song.LoadPatterns(TONTOKO_SOURCE_DIR "/data");
    song.SetFinish(true);
    for (int p = 0; p < tontoko::kMaxParts; ++p) {
        tontoko::SongState state = song.Snapshot();
        state.partCount = uint8_t(p + 1);
        if (p > 0) {
            state.parts[p] = state.parts[p - 1];
        }
        song.Restore(state);
        song.SetPosition(p);
        song.GenerateChords();
        song.GenerateMelody();
    }
    const std::vector<uint8_t> bytes = song.Write();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void Run(benchmark::State& state, const char* command, const char* name) {
    TimeFileCommand(state, *shared, command, place->File(name));
}

void BM_Save32Measures(benchmark::State& state) {
    Run(state, "MI_Save", "saved.mid");
}
// Each repetition one command: the report gives the median of the repetitions.
BENCHMARK(BM_Save32Measures)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(40)
    ->ReportAggregatesOnly(true);

void BM_ExportOgg32Measures(benchmark::State& state) {
    Run(state, "MI_Export", "song.ogg");
}
BENCHMARK(BM_ExportOgg32Measures)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// The export's halves, on a synthesizer of their own, with the same bytes.
void BM_SynthesizeOnly32Measures(benchmark::State& state) {
    std::vector<uint8_t> midi;
    tontoko::ReadFileBytes(place->File("long.mid"), midi);
    tontoko::OfflineSynth synth(tontoko::LookUpSoundFont());
    std::vector<float> pcm;
    std::string error;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!synth.SynthesizePcm(midi, pcm, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        state.SetIterationTime(MsSince(start) / 1000);
    }
    state.counters["seconds"] = double(pcm.size() / 2) / 44100;
}
BENCHMARK(BM_SynthesizeOnly32Measures)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_EncodeOggOnly32Measures(benchmark::State& state) {
    std::vector<uint8_t> midi;
    tontoko::ReadFileBytes(place->File("long.mid"), midi);
    tontoko::OfflineSynth synth(tontoko::LookUpSoundFont());
    std::vector<float> pcm;
    std::string error;
    if (!synth.SynthesizePcm(midi, pcm, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        const auto start = Clock::now();
        const auto written =
            tontoko::WriteAudioFile(place->File("only.ogg"), tontoko::AudioFormat::Ogg, pcm, 44100);
        if (!written.ok) {
            state.SkipWithError(written.error.c_str());
            break;
        }
        state.SetIterationTime(MsSince(start) / 1000);
    }
}
BENCHMARK(BM_EncodeOggOnly32Measures)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

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
        const std::string song = here.File("long.mid");
        WriteLongSong(song);
        if (!window.window->OpenFile(QString::fromStdString(song)) ||
            !window.messages.shown.empty()) {
            std::fprintf(stderr, "the 32-measure song did not open%s%s\n",
                         window.messages.shown.empty() ? "" : ": ",
                         window.messages.shown.empty() ? "" : window.messages.shown[0].c_str());
            return;
        }
        shared = &window;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        shared = nullptr;
        place = nullptr;
    });
}
