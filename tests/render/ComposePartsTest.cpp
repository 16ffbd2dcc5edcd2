// Songs of several parts written as one file: a part of its own writes what
// the 64-step writer always wrote, parts follow one another at one time as
// one continuous voice, and the fade spans the whole song.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/ComposeParts.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "render/SongLayout.h"

namespace tontoko {
namespace {

using Bytes = std::vector<uint8_t>;

PatternLibrary ShippedPatterns() {
    PatternLibrary library;
    LoadPatterns(library, std::filesystem::path(TONTOKO_SOURCE_DIR) / "data");
    return library;
}

// The part the song holds now: its slots and melody voice.
SongPart PartOf(const Song& song) {
    SongPart part;
    for (int slot = 0; slot < kChordSlots; ++slot) {
        part.degrees[static_cast<size_t>(slot)] = static_cast<uint8_t>(song.SlotDegree(slot));
    }
    for (int s = 0; s < kSongSteps; ++s) {
        part.marks[static_cast<size_t>(s)] = song.MelodyRhythm().Mark(s);
        part.pitches[static_cast<size_t>(s)] = song.MelodyPitches().Pitch(s);
    }
    return part;
}

// Note events with absolute ticks, from the layout walker.
std::vector<LayoutNote> Notes(const Bytes& bytes) {
    SongLayoutScan scan = ScanSongLayout(bytes, true);
    EXPECT_EQ(scan.problem, "");
    return scan.notes;
}

TEST(ComposeParts, OnePartWritesTheBytesOfTheSongWrite) {
    const PatternLibrary library = ShippedPatterns();
    ASSERT_FALSE(library.acc.empty());
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        Song before(seed);
        Song parted(seed);
        SStandardMidi beforeWriter;
        SStandardMidi partedWriter;
        beforeWriter.SetInterval(int(seed % 5));
        partedWriter.SetInterval(int(seed % 5));
        SoundSettings settings;
        settings.fade = static_cast<FadeMode>(seed % 3);
        const RenderChoice choice{seed % 4 != 0, int(seed % library.acc.size()),
                                  int(seed % library.drums.size())};
        // Three songs in a row from each writer: the carried notes agree too.
        for (int write = 0; write < 3; ++write) {
            for (Song* song : {&before, &parted}) {
                GenerateProgression(*song, FirstChord::Random, 0);
                GenerateMelody(*song);
            }
            RenderSong(before, library, choice);
            Bytes expected;
            beforeWriter.Compose(expected, before.rhythms, before.melodies, kSongSteps, 120,
                                 settings);
            const SongPart part = PartOf(parted);
            Bytes bytes;
            ComposeParts(bytes, partedWriter, parted, std::span(&part, 1), library, choice, 120,
                         settings);
            ASSERT_EQ(bytes, expected) << "seed " << seed << " write " << write;
            for (int v = 0; v < kVoiceCount; ++v) {
                EXPECT_EQ(parted.melodies[v].LastNote(), before.melodies[v].LastNote());
                EXPECT_EQ(parted.rhythms[v].Channel(), before.rhythms[v].Channel());
            }
            EXPECT_EQ(PartOf(parted), part);
        }
    }
}

TEST(ComposeParts, PartsFollowAtOneTimeAsOneContinuousVoice) {
    const PatternLibrary library = ShippedPatterns();
    Song song(4242);
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    std::vector<SongPart> parts;
    for (int p = 0; p < 3; ++p) {
        GenerateProgression(song, FirstChord::Random, 0);
        GenerateMelody(song);
        parts.push_back(PartOf(song));
    }
    // The part shown is neither of the three.
    GenerateProgression(song, FirstChord::Random, 0);
    const SongPart shown = PartOf(song);
    const RenderChoice choice{true, 1, 2};
    SStandardMidi writer;
    writer.SetInterval(2);
    Bytes bytes;
    ComposeParts(bytes, writer, song, parts, library, choice, 120, SoundSettings{});

    EXPECT_EQ(PartOf(song), shown);
    const std::vector<LayoutNote> notes = Notes(bytes);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.back().tick, 2u * 96 + 3 * 1536);
    EXPECT_EQ(bytes[43], 0xC0);
    EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{0x00, 0xFF, 0x2F, 0x00}));

    // Each melody note starts at its part's step; each one but the first ends
    // the note before it, across the parts' borders too.
    std::vector<std::array<int, 3>> starts;  // tick, key, previous note ended there
    std::vector<std::array<int, 3>> expected;
    int previous = -1;
    for (size_t i = 0; i < notes.size(); ++i) {
        if (notes[i].channel == 4 && notes[i].velocity > 0) {
            const int ended =
                i > 0 && notes[i - 1].channel == 4 && notes[i - 1].tick == notes[i].tick
                    ? notes[i - 1].key
                    : -1;
            starts.push_back({int(notes[i].tick), notes[i].key, ended});
        }
    }
    for (int p = 0; p < 3; ++p) {
        for (int s = 0; s < kSongSteps; ++s) {
            if (parts[p].marks[s] > 0) {
                const int tick = 192 + 24 * (64 * p + s);
                expected.push_back({tick, parts[p].pitches[s], tick == 192 ? -1 : previous});
                previous = parts[p].pitches[s];
            }
        }
    }
    EXPECT_EQ(starts, expected);
    EXPECT_EQ(song.MelodyPitches().LastNote(), previous);

    // The accompaniment and drums of the last part are left in the voices, as
    // after rendering that part alone.
    Song alone(1);
    for (int slot = 0; slot < kChordSlots; ++slot) {
        alone.SetSlotDegree(slot, parts[2].degrees[slot]);
    }
    RenderSong(alone, library, choice);
    for (int v : {0, 1, 2, 3, 5, 9}) {
        for (int s = 0; s < kSongSteps; ++s) {
            ASSERT_EQ(song.rhythms[v].Mark(s), alone.rhythms[v].Mark(s));
            ASSERT_EQ(song.melodies[v].Pitch(s), alone.melodies[v].Pitch(s));
        }
    }
}

TEST(ComposeParts, TheFadeSpansTheWholeSong) {
    PatternLibrary library;  // no patterns: the melody alone
    struct Case {
        FadeMode fade;
        std::array<int, 3> velocities;  // at steps 0, 64 and 127 of two parts
    };
    const Case cases[] = {{FadeMode::FadeOut, {109, 54, 0}},
                          {FadeMode::FadeIn, {0, 55, 110}},
                          {FadeMode::Normal, {110, 110, 110}}};
    for (const Case& c : cases) {
        std::vector<SongPart> parts(2);
        parts[0].marks[0] = 1;
        parts[0].pitches[0] = 72;
        parts[1].marks[0] = 1;
        parts[1].pitches[0] = 74;
        parts[1].marks[63] = 1;
        parts[1].pitches[63] = 76;
        Song song(1);
        SStandardMidi writer;
        SoundSettings settings;
        settings.fade = c.fade;
        Bytes bytes;
        ComposeParts(bytes, writer, song, parts, library, RenderChoice{false, -1, -1}, 120,
                     settings);
        std::vector<int> velocities;
        const std::vector<LayoutNote> notes = Notes(bytes);
        for (auto [tick, key] : {std::pair{0u, 72}, {1536u, 74}, {1536u + 63 * 24, 76}}) {
            for (size_t i = 0; i < notes.size(); ++i) {
                if (notes[i].channel == 4 && notes[i].tick == tick && notes[i].key == key &&
                    (tick == 0 ||
                     (i > 0 && notes[i - 1].channel == 4 && notes[i - 1].tick == tick))) {
                    velocities.push_back(notes[i].velocity);
                    break;
                }
            }
        }
        EXPECT_EQ(velocities, (std::vector<int>{c.velocities.begin(), c.velocities.end()}))
            << int(c.fade);
    }
}

TEST(ComposeParts, BadPartsAreRefusedBeforeAnythingChanges) {
    const PatternLibrary library = ShippedPatterns();
    Song song(7);
    GenerateProgression(song, FirstChord::Random, 0);
    GenerateMelody(song);
    const SongPart shown = PartOf(song);
    SStandardMidi writer;
    Bytes bytes;
    std::vector<SongPart> none;
    std::vector<SongPart> nine(9);
    std::vector<SongPart> badDegree(2);
    badDegree[1].degrees[5] = 8;
    for (const auto* parts : {&none, &nine, &badDegree}) {
        EXPECT_THROW(ComposeParts(bytes, writer, song, *parts, library, RenderChoice{}, 120, {}),
                     std::invalid_argument);
    }
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(PartOf(song), shown);
    std::vector<SongPart> eight(8);
    ComposeParts(bytes, writer, song, eight, library, RenderChoice{}, 120, {});
    EXPECT_EQ(SongLayoutProblem(bytes), "");
}

}  // namespace
}  // namespace tontoko
