// The event-by-event check of the writer's layout: everything the writer makes
// passes, and each way a file can differ from it is caught.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "render/SongLayout.h"

namespace tontoko {
namespace {

using Bytes = std::vector<uint8_t>;

void FixLength(Bytes& bytes) {
    const uint32_t length = static_cast<uint32_t>(bytes.size() - 22);
    for (int i = 0; i < 4; ++i) {
        bytes[18 + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
    }
}

// A generated and rendered song, written with the given settings.
Bytes GeneratedSong(uint32_t seed, int interval, FadeMode fade, bool drums, int acc) {
    Song song(seed);
    GenerateProgression(song, FirstChord::Random, 0);
    GenerateMelody(song);
    PatternLibrary library;
    LoadPatterns(library, std::filesystem::path(TONTOKO_SOURCE_DIR) / "data");
    RenderSong(song, library, RenderChoice{drums, acc, static_cast<int>(seed % 5)});
    SStandardMidi writer;
    writer.SetInterval(interval);
    SoundSettings settings;
    settings.fade = fade;
    settings.melodyProgram = static_cast<uint8_t>(seed % 128);
    Bytes bytes;
    writer.Compose(bytes, song.rhythms, song.melodies, kSongSteps, 120, settings);
    // A second write of the same song ends the previous write's notes first.
    bytes.clear();
    writer.Compose(bytes, song.rhythms, song.melodies, kSongSteps, 40 + seed % 200, settings);
    return bytes;
}

// A song whose bass alone plays: one note at `step` (no note at step 0 when
// step > 0, so the interval and the silence before it make one delta time).
Bytes BassOnly(int step, int interval) {
    Song song(1);
    song.rhythms[0].SetMark(step, 1);
    song.melodies[0].SetPitch(step, 40);
    SStandardMidi writer;
    writer.SetInterval(interval);
    Bytes bytes;
    writer.Compose(bytes, song.rhythms, song.melodies, kSongSteps, 120, {});
    return bytes;
}

TEST(SongLayout, EverySongTheWriterMakesPasses) {
    int checked = 0;
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        const FadeMode fade = seed % 3 == 0   ? FadeMode::Normal
                              : seed % 3 == 1 ? FadeMode::FadeIn
                                              : FadeMode::FadeOut;
        const Bytes song = GeneratedSong(seed, static_cast<int>(seed % 5), fade, seed % 2 == 0,
                                         static_cast<int>(seed % 7));
        EXPECT_EQ(SongLayoutProblem(song), "") << "seed " << seed;
        ++checked;
    }
    for (int step : {0, 1, 17, 63}) {
        for (int interval : {0, 4}) {
            EXPECT_EQ(SongLayoutProblem(BassOnly(step, interval)), "")
                << "step " << step << " interval " << interval;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 38);
}

TEST(SongLayout, EachDepartureFromTheLayoutIsRefused) {
    const Bytes song = BassOnly(0, 0);
    ASSERT_TRUE(IsSongLayout(song));
    // The bass note at offset 69: 90 28 6E, then its note-off at the end.
    ASSERT_EQ(song[69], 0x90);
    struct Case {
        const char* what;
        Bytes bytes;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, auto change, bool fixLength = true) {
        Bytes bytes = song;
        change(bytes);
        if (fixLength) {
            FixLength(bytes);
        }
        cases.push_back({what, bytes});
    };
    add(
        "empty", [](Bytes& b) { b.clear(); }, false);
    add("two tracks", [](Bytes& b) { b[11] = 2; });
    add("another division", [](Bytes& b) { b[13] = 0x78; });
    add(
        "length field off by one", [](Bytes& b) { b[21] ^= 1; }, false);
    add("no tempo event", [](Bytes& b) { b[24] = 0x58; });
    add("GS reset changed", [](Bytes& b) { b[38] = 0x01; });
    add("program change on another channel", [](Bytes& b) { b[46] = 0xC5; });
    add("program value with its top bit", [](Bytes& b) { b[44] = 0x80; });
    add("no drum bank select", [](Bytes& b) { b[64] = 0x02; });
    add("running status", [](Bytes& b) { b.erase(b.begin() + 69); });
    add("a control change among the notes", [](Bytes& b) {
        b.insert(b.begin() + 72, {0x00, 0xB0, 0x07, 0x64});
    });
    add("a note-off status", [](Bytes& b) { b[69] = 0x80; });
    add("a note left sounding", [](Bytes& b) { b[b.size() - 5] = 0x41; });
    add("a five-byte delta time", [](Bytes& b) {
        b.insert(b.begin() + 72, {0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 0x30, 0x00});
    });
    add("a text event before the end", [](Bytes& b) {
        b.insert(b.end() - 4, {0x00, 0xFF, 0x01, 0x01, 0x41});
    });
    add("bytes after the end of track", [](Bytes& b) { b.push_back(0x00); });
    add("end of track after a pause", [](Bytes& b) { b[b.size() - 4] = 0x10; });
    add("no end of track", [](Bytes& b) { b.resize(b.size() - 4); });
    add("cut inside a note", [](Bytes& b) { b.resize(71); });
    add("program changes in the middle of a song", [](Bytes& b) {
        Bytes block(b.begin() + 43, b.begin() + 68);
        block.insert(block.begin(), 0x00);
        b.insert(b.begin() + 72, block.begin(), block.end());
    });
    for (const Case& c : cases) {
        EXPECT_NE(SongLayoutProblem(c.bytes), "") << c.what;
    }
    EXPECT_EQ(cases.size(), 20u);
}

TEST(SongLayout, AnotherFilesTextEventWithC0AtOffset43IsRefused) {
    // A valid Standard MIDI File of another layout: a text event puts C0 at
    // offset 43, and it ends with 00 FF 2F 00 as the writer's songs do.
    Bytes other = {0x4D, 0x54, 0x68, 0x64, 0,    0, 0, 6, 0, 0,    0,    1,    0,
                   0x60, 0x4D, 0x54, 0x72, 0x6B, 0, 0, 0, 0, 0x00, 0xFF, 0x01, 40};
    for (int i = 0; i < 40; ++i) {
        other.push_back(i == 43 - 26 ? 0xC0 : 'a');
    }
    other.insert(other.end(), {0x00, 0x90, 0x3C, 0x40, 0x60, 0x90, 0x3C, 0x00});
    other.insert(other.end(), {0x00, 0xFF, 0x2F, 0x00});
    FixLength(other);
    ASSERT_EQ(other[43], 0xC0);
    EXPECT_NE(SongLayoutProblem(other), "");
}

}  // namespace
}  // namespace tontoko
