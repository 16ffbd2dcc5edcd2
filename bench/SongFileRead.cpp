// Song files: reading one back as Open does (one part, eight parts), the
// reader over 1 MB of junk (random bytes, and notes that pass the layout
// check), and writing a song of 32 measures as Save does (in memory, and to
// a file on disk through the atomic write).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string_view>
#include <vector>

#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "files/AtomicFile.h"
#include "render/ComposeParts.h"
#include "render/PatternLibrary.h"
#include "render/SStandardMidi.h"
#include "render/SongFileReader.h"
#include "render/SongLayout.h"

namespace {

using namespace tontoko;
using Bytes = std::vector<uint8_t>;

const PatternLibrary& Library() {
    static const PatternLibrary library = [] {
        PatternLibrary patterns;
        LoadPatterns(patterns, std::filesystem::path(TONTOKO_SOURCE_DIR) / "data");
        return patterns;
    }();
    return library;
}

std::vector<SongPart> Parts(Song& song, int count) {
    std::vector<SongPart> parts;
    for (int p = 0; p < count; ++p) {
        GenerateProgression(song, FirstChord::Random, 0);
        GenerateMelody(song);
        SongPart part;
        for (int slot = 0; slot < kChordSlots; ++slot) {
            part.degrees[static_cast<size_t>(slot)] = static_cast<uint8_t>(song.SlotDegree(slot));
        }
        for (int s = 0; s < kSongSteps; ++s) {
            part.marks[static_cast<size_t>(s)] = song.MelodyRhythm().Mark(s);
            part.pitches[static_cast<size_t>(s)] = song.MelodyPitches().Pitch(s);
        }
        parts.push_back(part);
    }
    return parts;
}

// A song of `count` parts with the 16-beat patterns, the busiest shipped.
Bytes SongFile(int count) {
    Song song(20261208);
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    const std::vector<SongPart> parts = Parts(song, count);
    SStandardMidi writer;
    Bytes bytes;
    ComposeParts(bytes, writer, song, parts, Library(), RenderChoice{true, 4, 1}, 120, {});
    return bytes;
}

void BM_ReadSong(benchmark::State& state) {
    const Bytes bytes = SongFile(static_cast<int>(state.range(0)));
    const SongFileContents current;
    for (auto _ : state) {
        const SongFileReading reading = ReadSongFile(bytes, Library(), current);
        if (!reading.Ok()) {
            state.SkipWithError(reading.detail.c_str());
            return;
        }
        benchmark::DoNotOptimize(reading.contents.parts.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_ReadSong)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

// 1 MB of random bytes: refused at the header.
void BM_ReadRandomJunk(benchmark::State& state) {
    std::mt19937 rng(1);
    Bytes junk(kMaxSongFileBytes);
    for (uint8_t& b : junk) {
        b = static_cast<uint8_t>(rng());
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadSongFile(junk, Library(), {}).problem);
    }
}
BENCHMARK(BM_ReadRandomJunk)->Unit(benchmark::kMillisecond);

// 1 MB of a song's opening followed by random notes, each ended again, so
// that the layout check walks all of it and keeps every note.
void BM_ReadNoteJunk(benchmark::State& state) {
    Bytes junk = SongFile(1);
    junk.resize(kFirstProgramOffset + 25);  // header, tempo, GS reset, programs
    std::mt19937 rng(2);
    junk.push_back(0x00);
    while (junk.size() + 20 < kMaxSongFileBytes) {
        const uint8_t status = static_cast<uint8_t>(0x90 | (rng() % 16));
        const uint8_t key = static_cast<uint8_t>(rng() % 128);
        junk.insert(junk.end(), {status, key, static_cast<uint8_t>(1 + rng() % 127),
                                 static_cast<uint8_t>(rng() % 100), status, key, 0x00,
                                 static_cast<uint8_t>(rng() % 100)});
    }
    junk.back() = 0x00;
    junk.pop_back();
    junk.insert(junk.end(), {0x00, 0xFF, 0x2F, 0x00});
    const uint32_t length = static_cast<uint32_t>(junk.size() - kTrackDataOffset);
    for (int i = 0; i < 4; ++i) {
        junk[kTrackLengthOffset + static_cast<size_t>(i)] =
            static_cast<uint8_t>(length >> (24 - 8 * i));
    }
    SongFileProblem problem = SongFileProblem::None;
    for (auto _ : state) {
        problem = ReadSongFile(junk, Library(), {}).problem;
        benchmark::DoNotOptimize(problem);
    }
    if (problem != SongFileProblem::OtherLayout) {
        state.SkipWithError("the junk was not read as another layout");
    }
    state.counters["bytes"] = static_cast<double>(junk.size());
}
BENCHMARK(BM_ReadNoteJunk)->Unit(benchmark::kMillisecond);

// Save of a 32-measure song: rendering its eight parts and writing the file.
void BM_WriteSong32Measures(benchmark::State& state) {
    Song song(20261208);
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    const std::vector<SongPart> parts = Parts(song, kMaxParts);
    SStandardMidi writer;
    const bool toDisk = state.range(0) != 0;
    const std::string path =
        (std::filesystem::temp_directory_path() / "tontoko-bench-32-measures.mid").string();
    Bytes bytes;
    for (auto _ : state) {
        bytes.clear();
        ComposeParts(bytes, writer, song, parts, Library(), RenderChoice{true, 4, 1}, 120, {});
        if (toDisk &&
            !WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()),
                                                        bytes.size()))) {
            state.SkipWithError("the file could not be written");
            return;
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    std::error_code ec;
    std::filesystem::remove(path, ec);
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_WriteSong32Measures)->ArgName("disk")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
