// Play of a 32-measure song, up to the sound: the eight parts rendered and
// written to "tmp.mid" as Play writes it, and the real player's Open, which
// reads the file and loads it into FluidSynth's MIDI player (goal: median under
// 20 ms). The synthesizer is loaded beforehand, as the window loads it in the
// background; the output is FluidSynth's "file" driver, into nowhere.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <filesystem>
#include <string_view>

#include "document/SongDocument.h"
#include "files/AtomicFile.h"
#include "sound/FluidSynthPlayer.h"

namespace {

using namespace tontoko;

void BM_PlayThirtyTwoMeasures(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "tontoko-bench-play";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "tmp.mid").string();

    SongDocument document(20261208u);
    document.LoadPatterns(std::filesystem::path(TONTOKO_SOURCE_DIR) / "data");
    SongState song = document.Snapshot();
    song.partCount = kMaxParts;
    // Eight different parts, each with its own melody.
    for (int part = 0; part < kMaxParts; ++part) {
        document.GenerateChords();
        document.GenerateMelody();
        song.parts[size_t(part)] = document.Snapshot().parts[0];
    }
    document.Restore(song);

    auto writeSong = [&] {
        const std::vector<uint8_t> file = document.Write();
        return WriteFileAtomically(
            path, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
    };
    if (!writeSong()) {
        state.SkipWithError("tmp.mid could not be written");
        return;
    }

    FluidSynthPlayer::Options options;
    options.audioDriver = "file";
    FluidSynthPlayer player(options);
    player.Preload();
    player.SetFileName(path);
    try {
        player.Open();  // waits for the synthesizer once
    } catch (const PlayerError& error) {
        state.SkipWithError(error.what());
        return;
    }
    player.Close();

    for (auto _ : state) {
        if (!writeSong()) {
            state.SkipWithError("tmp.mid could not be written");
            break;
        }
        player.Open();
        state.PauseTiming();
        player.Close();
        state.ResumeTiming();
    }
    state.counters["file_bytes"] = double(std::filesystem::file_size(path));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_PlayThirtyTwoMeasures)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
