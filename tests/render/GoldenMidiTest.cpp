// Songs composed through the library, compared byte for byte with files kept
// in tests/render/golden/. The files were written by this test (with
// TONTOKO_WRITE_GOLDEN=1) before the optional finishing pass existed, so they
// hold what the generators make when nothing asks for finishing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"

namespace tontoko {
namespace {

using Bytes = std::vector<uint8_t>;

enum class Style { None, Quarters, Eighths };

struct GoldenCase {
    const char* name;
    uint32_t seed;
    bool minor;
    int key;  // the key control's position, -6..5
    Style style;
    FirstChord firstChord;
    int selfIndex;
    int accPattern;
    bool drums;
    int drumPattern;
    int songs;         // generations in a row, all written into one file
    int fixedMeasure;  // -1: none; else fixed rhythm (and melody) from the 2nd song on
    bool fixMelody;
};

const GoldenCase kCases[] = {
    {"c-major-quarters", 1, false, 0, Style::Quarters, FirstChord::One, 0, 0, true, 0, 1, -1,
     false},
    {"a-minor-eighths-random", 20260101, true, 0, Style::Eighths, FirstChord::Random, 0, 3, true, 2,
     1, -1, false},
    {"f-major-unstyled-self", 777, false, 5, Style::None, FirstChord::Self, 5, 1, false, 0, 1, -1,
     false},
    {"d-sharp-minor-quarters", 4242, true, -6, Style::Quarters, FirstChord::Random, 0, 2, true, 1,
     1, -1, false},
    {"d-major-self-seven-three-songs", 99, false, 2, Style::Eighths, FirstChord::Self, 6, 0, true,
     3, 3, -1, false},
    {"b-flat-major-fixed-rhythm", 31337, false, -2, Style::Quarters, FirstChord::One, 0, 4, true, 0,
     2, 1, false},
    {"e-minor-fixed-melody-four", 5, true, -5, Style::Eighths, FirstChord::Random, 0, 1, true, 4, 2,
     3, true},
    {"g-major-many-songs", 123456789, false, -5, Style::Quarters, FirstChord::Random, 0, 0, true, 0,
     6, -1, false},
};

std::filesystem::path GoldenDir() {
    return std::filesystem::path(TONTOKO_SOURCE_DIR) / "tests" / "render" / "golden";
}

void ShiftToKey(Song& song, int key) {
    int position = 0;
    while (position != key) {
        const int next = position + (key > position ? 1 : -1);
        Transpose(song, position, next);
        position = next;
    }
}

// Composes the case in the order the window works in: key, style, then for
// each song the progression, the melody, the rendering and the write.
Bytes Compose(const GoldenCase& c, const PatternLibrary& library) {
    Song song(c.seed);
    if (c.minor) {
        SwitchToMinor(song);
    }
    ShiftToKey(song, c.key);
    if (c.style != Style::None) {
        ApplyMelodyStyle(song, c.style == Style::Quarters ? MelodyStyle::MoreQuarters
                                                          : MelodyStyle::MoreEighths);
    }
    SStandardMidi writer;
    const RenderChoice choice{c.drums, c.accPattern, c.drumPattern};
    Bytes out;
    for (int i = 0; i < c.songs; ++i) {
        if (i == 1 && c.fixedMeasure >= 0) {
            song.flags.Set(c.fixedMeasure, FixedKind::Rhythm, true);
            song.flags.Set(c.fixedMeasure, FixedKind::Melody, c.fixMelody);
        }
        const ProgressionResult progression = GenerateProgression(song, c.firstChord, c.selfIndex);
        EXPECT_TRUE(progression.generated) << c.name;
        GenerateMelody(song);
        RenderSong(song, library, choice);
        writer.Compose(out, song.rhythms, song.melodies, kSongSteps, 120, SoundSettings{});
    }
    return out;
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(GoldenMidiTest, SongsAreByteForByteTheKeptFiles) {
    PatternLibrary library;
    const PatternLoadResult loaded =
        LoadPatterns(library, std::filesystem::path(TONTOKO_SOURCE_DIR) / "data");
    ASSERT_TRUE(loaded.accFileOpened && loaded.drumFileOpened);
    const bool write = std::getenv("TONTOKO_WRITE_GOLDEN") != nullptr;
    for (const GoldenCase& c : kCases) {
        ASSERT_LT(c.accPattern, int(library.acc.size())) << c.name;
        ASSERT_LT(c.drumPattern, int(library.drums.size())) << c.name;
        const Bytes bytes = Compose(c, library);
        const std::filesystem::path path = GoldenDir() / (std::string(c.name) + ".mid");
        if (write) {
            std::filesystem::create_directories(GoldenDir());
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
            continue;
        }
        const Bytes kept = ReadFile(path);
        ASSERT_FALSE(kept.empty()) << "missing " << path;
        EXPECT_EQ(bytes, kept) << c.name;
    }
    if (write) {
        GTEST_SKIP() << "golden files written to " << GoldenDir();
    }
}

}  // namespace
}  // namespace tontoko
