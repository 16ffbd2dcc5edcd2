// From Play (open + play, as the Play button does) to the first audio block
// with sound, through FluidSynth's file driver writing raw samples. The first
// Play of a player loads the SoundFont (goal: under 400 ms); every later one
// reuses it (goal: under 100 ms).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/FluidSynthPlayer.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "render/SoundFont.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const fs::path kDir = fs::temp_directory_path() / "tontoko-bench-latency";
const std::string kMidi = (kDir / "tmp.mid").string();
const std::string kAudio = (kDir / "out.raw").string();

bool WriteSong() {
    fs::create_directories(kDir);
    tontoko::PatternLibrary library;
    tontoko::LoadPatterns(library, TONTOKO_SOURCE_DIR "/data");
    tontoko::Song song(777);
    tontoko::ApplyMelodyStyle(song, tontoko::MelodyStyle::MoreQuarters);
    tontoko::GenerateProgression(song, tontoko::FirstChord::One, 0);
    tontoko::GenerateMelody(song);
    tontoko::RenderSong(song, library, tontoko::RenderChoice{});
    tontoko::SStandardMidi writer;
    return writer.Write(kMidi, song.rhythms, song.melodies, tontoko::kSongSteps, 120,
                        tontoko::SoundSettings{});
}

// Waits until the driver's output holds a sample above the noise; false after 3 s.
bool WaitForSound() {
    const auto end = Clock::now() + std::chrono::seconds(3);
    std::size_t offset = 0;
    std::vector<int16_t> block(4096);
    while (Clock::now() < end) {
        std::ifstream in(kAudio, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(offset));
        while (in.read(reinterpret_cast<char*>(block.data()), block.size() * 2) ||
               in.gcount() > 0) {
            const auto count = static_cast<std::size_t>(in.gcount()) / 2;
            for (std::size_t i = 0; i < count; ++i) {
                if (std::abs(int(block[i])) > 64) {
                    return true;
                }
            }
            offset += count * 2;
            if (count < block.size()) {
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

tontoko::FluidSynthPlayer::Options FileDriver() {
    tontoko::FluidSynthPlayer::Options options;
    options.audioDriver = "file";
    options.audioFile = kAudio;
    return options;
}

double PlayUntilSound(tontoko::FluidSynthPlayer& player) {
    const auto start = Clock::now();
    player.SetFileName(kMidi);
    player.Open();
    player.Play();
    const bool heard = WaitForSound();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    player.Stop();
    player.Close();
    QCoreApplication::processEvents();
    return heard ? ms : -1;
}

// A new player each time: synthesizer creation and SoundFont load included.
void BM_FirstPlay(benchmark::State& state) {
    for (auto _ : state) {
        tontoko::FluidSynthPlayer player(FileDriver());
        const double ms = PlayUntilSound(player);
        if (ms < 0) {
            state.SkipWithError("no sound");
            break;
        }
        state.SetIterationTime(ms / 1000);
    }
}
BENCHMARK(BM_FirstPlay)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// One player, warmed by a first Play: the time of each later Play.
void BM_LaterPlay(benchmark::State& state) {
    tontoko::FluidSynthPlayer player(FileDriver());
    if (PlayUntilSound(player) < 0) {
        state.SkipWithError("no sound");
        return;
    }
    double worst = 0;
    for (auto _ : state) {
        const double ms = PlayUntilSound(player);
        if (ms < 0) {
            state.SkipWithError("no sound");
            break;
        }
        worst = std::max(worst, ms);
        state.SetIterationTime(ms / 1000);
    }
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_LaterPlay)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!tontoko::FindSoundFont() || !WriteSong()) {
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(kDir);
    return 0;
}
