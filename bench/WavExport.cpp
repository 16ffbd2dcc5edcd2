// WAV export of one composed song: ours against `fluidsynth -ni -F` on the
// same file and SoundFont, with the trailing silence each leaves.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RunQuietly.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "sound/OfflineSynth.h"
#include "sound/SoundFont.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Files {
    fs::path dir = fs::temp_directory_path() / "tontoko-bench-wav";
    std::string midi = (dir / "song.mid").string();
    std::string ours = (dir / "ours.wav").string();
    std::string cli = (dir / "cli.wav").string();
    std::string soundFont;
    bool ready = false;

    Files() {
        fs::create_directories(dir);
        const auto found = tontoko::FindSoundFont();
        tontoko::PatternLibrary library;
        tontoko::LoadPatterns(library, TONTOKO_SOURCE_DIR "/data");
        tontoko::Song song(20240601);
        tontoko::ApplyMelodyStyle(song, tontoko::MelodyStyle::MoreQuarters);
        tontoko::GenerateProgression(song, tontoko::FirstChord::One, 0);
        tontoko::GenerateMelody(song);
        tontoko::RenderSong(song, library, tontoko::RenderChoice{});
        tontoko::SStandardMidi writer;
        ready = found && writer.Write(midi, song.rhythms, song.melodies, tontoko::kSongSteps, 120,
                                      tontoko::SoundSettings{});
        soundFont = found.value_or("");
    }
    ~Files() { fs::remove_all(dir); }
};

Files& Shared() {
    static Files files;
    return files;
}

bool ExportOurs() {
    Files& f = Shared();
    return tontoko::ExportMidiToWav(f.midi, f.ours, f.soundFont).ok;
}

bool ExportWithCli() {
    Files& f = Shared();
    return RunQuietly({"fluidsynth", "-ni", "-F", f.cli, f.soundFont, f.midi}) == 0;
}

// Seconds of the WAV's data and of its final run of samples within one step
// of silence. The data chunk is found by walking the chunks.
struct Tail {
    double seconds = 0;
    double silentTail = 0;
};

Tail Measure(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Tail tail;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        uint32_t size = 0;
        std::memcpy(&size, b.data() + at + 4, 4);
        if (std::memcmp(b.data() + at, "data", 4) == 0) {
            const std::size_t count = std::min<std::size_t>(size, b.size() - at - 8) / 2;
            const auto* samples = reinterpret_cast<const int16_t*>(b.data() + at + 8);
            std::size_t silent = 0;
            while (silent < count && std::abs(int(samples[count - 1 - silent])) <= 1) {
                ++silent;
            }
            tail.seconds = double(count) / 2 / 44100;
            tail.silentTail = double(silent) / 2 / 44100;
            break;
        }
        at += 8 + size + (size & 1);
    }
    return tail;
}

void BM_WavExportOurs(benchmark::State& state) {
    if (!Shared().ready) {
        state.SkipWithError("no SoundFont or song");
        return;
    }
    for (auto _ : state) {
        if (!ExportOurs()) {
            state.SkipWithError("export failed");
            break;
        }
    }
    const Tail tail = Measure(Shared().ours);
    state.counters["audio_s"] = tail.seconds;
    state.counters["silent_tail_s"] = tail.silentTail;
}
BENCHMARK(BM_WavExportOurs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_WavExportFluidsynthCli(benchmark::State& state) {
    if (!Shared().ready) {
        state.SkipWithError("no SoundFont or song");
        return;
    }
    for (auto _ : state) {
        if (!ExportWithCli()) {
            state.SkipWithError("fluidsynth failed");
            break;
        }
    }
    const Tail tail = Measure(Shared().cli);
    state.counters["audio_s"] = tail.seconds;
    state.counters["silent_tail_s"] = tail.silentTail;
}
BENCHMARK(BM_WavExportFluidsynthCli)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Both, alternating, in one run: the ratio of our time to the command line's.
void BM_WavExportRatio(benchmark::State& state) {
    if (!Shared().ready) {
        state.SkipWithError("no SoundFont or song");
        return;
    }
    double ours = 0, cli = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const bool a = ExportOurs();
        const auto t1 = Clock::now();
        const bool b = ExportWithCli();
        const auto t2 = Clock::now();
        if (!a || !b) {
            state.SkipWithError("export failed");
            break;
        }
        ours += std::chrono::duration<double>(t1 - t0).count();
        cli += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["ours_s"] = ours / double(state.iterations());
    state.counters["cli_s"] = cli / double(state.iterations());
    state.counters["ours_over_cli"] = cli > 0 ? ours / cli : 0;
}
BENCHMARK(BM_WavExportRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
