// One song from chords to MIDI bytes in memory: progression, melody, rendering
// of the accompaniment and drums, and the Standard MIDI File layout.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"

namespace {

using namespace tontoko;

void BM_ComposeRenderWrite(benchmark::State& state) {
    PatternLibrary library;
    LoadPatterns(library, std::filesystem::path(TONTOKO_SOURCE_DIR) / "data");
    if (library.acc.empty() || library.drums.empty()) {
        state.SkipWithError("pattern files not found");
        return;
    }
    Song song(12345);
    ApplyMelodyStyle(song, MelodyStyle::MoreQuarters);
    SStandardMidi writer;
    SoundSettings settings;
    RenderChoice choice;
    std::vector<uint8_t> bytes;
    bytes.reserve(8192);
    int64_t songs = 0;
    for (auto _ : state) {
        GenerateProgression(song, FirstChord::One, 0);
        GenerateMelody(song);
        choice.accPattern = static_cast<int>(songs % static_cast<int64_t>(library.acc.size()));
        choice.drumPattern = static_cast<int>(songs % static_cast<int64_t>(library.drums.size()));
        RenderSong(song, library, choice);
        bytes.clear();
        writer.Compose(bytes, song.rhythms, song.melodies, kSongSteps, 120, settings);
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
        ++songs;
    }
    state.SetItemsProcessed(songs);
    state.counters["bytes_per_song"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_ComposeRenderWrite);

}  // namespace

BENCHMARK_MAIN();
