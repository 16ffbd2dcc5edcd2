#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "engine/MelodyGenerator.h"
#include "engine/SMelodyGenerate.h"
#include "engine/SRhythmGenerate.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "tests/support/TempDir.h"

namespace tontoko {
namespace {

using Bytes = std::vector<uint8_t>;

// Ten voices as at start-up: channel = voice index, no marks, velocity 110.
struct Voices {
    Voices() {
        for (int v = 0; v < kVoiceCount; ++v) {
            rhythms[v].SetChannel(static_cast<uint8_t>(v));
        }
    }
    void Note(int voice, int step, uint8_t pitch) {
        rhythms[voice].SetMark(step, 1);
        melodies[voice].SetPitch(step, pitch);
    }
    Bytes Compose(SStandardMidi& writer, uint8_t tempo = 120, const SoundSettings& settings = {}) {
        Bytes out;
        writer.Compose(out, rhythms, melodies, kSongSteps, tempo, settings);
        return out;
    }
    std::array<SRhythmGenerate, kVoiceCount> rhythms;
    std::array<SMelodyGenerate, kVoiceCount> melodies;
};

// A channel event of the track with its absolute tick.
struct Event {
    uint32_t tick;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
};

uint32_t ReadVarLen(const Bytes& bytes, size_t& pos) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const uint8_t b = bytes.at(pos++);
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0) {
            return value;
        }
    }
    ADD_FAILURE() << "variable-length quantity longer than 4 bytes";
    return value;
}

// Parses the single track the way a MIDI reader would, failing the test on
// anything malformed (running status is never used by the writer).
std::vector<Event> ParseTrack(const Bytes& bytes) {
    std::vector<Event> events;
    EXPECT_GE(bytes.size(), 26u);
    size_t pos = 22;
    uint32_t tick = 0;
    bool ended = false;
    while (pos < bytes.size() && !ended) {
        tick += ReadVarLen(bytes, pos);
        const uint8_t status = bytes.at(pos++);
        if (status == 0xFF) {
            const uint8_t type = bytes.at(pos++);
            const uint32_t length = ReadVarLen(bytes, pos);
            pos += length;
            ended = type == 0x2F;
        } else if (status == 0xF0) {
            pos += ReadVarLen(bytes, pos);
        } else if ((status & 0xF0) == 0xC0) {
            events.push_back({tick, status, bytes.at(pos++), 0});
        } else if (status >= 0x80) {
            const uint8_t d1 = bytes.at(pos++);
            const uint8_t d2 = bytes.at(pos++);
            EXPECT_LT(d1, 0x80);
            EXPECT_LT(d2, 0x80);
            events.push_back({tick, status, d1, d2});
        } else {
            ADD_FAILURE() << "data byte where a status was expected at " << pos - 1;
            break;
        }
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(pos, bytes.size()) << "bytes after the end of track";
    return events;
}

// The note-ons with a velocity above 0.
std::vector<Event> Starts(const std::vector<Event>& events) {
    std::vector<Event> starts;
    for (const Event& e : events) {
        if ((e.status & 0xF0) == 0x90 && e.data2 > 0) {
            starts.push_back(e);
        }
    }
    return starts;
}

uint32_t TrackLength(const Bytes& bytes) {
    return (uint32_t(bytes[18]) << 24) | (uint32_t(bytes[19]) << 16) | (uint32_t(bytes[20]) << 8) |
           bytes[21];
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(MidiWriter, WorkedExampleStartsWithTheFixedLayoutAndTheFirstBassNote) {
    Voices voices;
    voices.Note(0, 0, 48);
    SStandardMidi writer;
    const Bytes bytes = voices.Compose(writer);

    const Bytes expected = {
        0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00,      0x06,      0x00,      0x00,      0x00, 0x01,
        0x00, 0x60, 0x4D, 0x54, 0x72, 0x6B, bytes[18], bytes[19], bytes[20], bytes[21], 0x00, 0xFF,
        0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xF0,      0x0A,      0x41,      0x10,      0x42, 0x12,
        0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7, 0x00,      0xC0,      0x00,      0x00,      0xC1, 0x00,
        0x00, 0xC2, 0x00, 0x00, 0xC3, 0x00, 0x00,      0xC4,      0x00,      0x00,      0xB9, 0x00,
        0x00, 0x00, 0xB9, 0x20, 0x01, 0x00, 0xC9,      0x00,      0x00};
    ASSERT_EQ(expected.size(), 69u);
    ASSERT_GT(bytes.size(), 72u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 69), expected);
    EXPECT_EQ(Bytes(bytes.begin() + 69, bytes.begin() + 72), (Bytes{0x90, 0x30, 0x6E}));
    EXPECT_EQ(bytes[43], 0xC0);

    // The rest: the bass ends after 1536 ticks, every other voice ends its
    // (never played) note 0 at the same time, then the end of track.
    Bytes tail = {0x8C, 0x00, 0x90, 0x30, 0x00};
    for (uint8_t v = 1; v < kVoiceCount; ++v) {
        tail.insert(tail.end(), {0x00, uint8_t(0x90 + v), 0x00, 0x00});
    }
    tail.insert(tail.end(), {0x00, 0xFF, 0x2F, 0x00});
    EXPECT_EQ(Bytes(bytes.begin() + 72, bytes.end()), tail);
    EXPECT_EQ(TrackLength(bytes), bytes.size() - 22);

    // Composing after other bytes appends the same file and patches its own
    // length field.
    Bytes appended = {0xAA, 0xBB};
    writer.Compose(appended, voices.rhythms, voices.melodies, kSongSteps, 120, {});
    EXPECT_EQ(Bytes(appended.begin() + 2, appended.end()), bytes);
}

TEST(MidiWriter, TempoAndSoundSettingsLandAtTheirOffsets) {
    const std::pair<int, Bytes> tempos[] = {{120, {0x07, 0xA1, 0x20}},
                                            {60, {0x0F, 0x42, 0x40}},
                                            {180, {0x05, 0x16, 0x15}},
                                            {40, {0x16, 0xE3, 0x60}},
                                            {240, {0x03, 0xD0, 0x90}}};
    for (const auto& [tempo, encoded] : tempos) {
        Voices voices;
        voices.Note(0, 0, 48);
        SStandardMidi writer;
        const Bytes bytes = voices.Compose(writer, static_cast<uint8_t>(tempo));
        EXPECT_EQ(Bytes(bytes.begin() + 23, bytes.begin() + 29),
                  (Bytes{0xFF, 0x51, 0x03, encoded[0], encoded[1], encoded[2]}))
            << "tempo " << tempo;
    }

    Voices voices;
    voices.Note(0, 0, 48);
    SStandardMidi writer;
    SoundSettings settings;
    settings.bassProgram = 33;
    settings.accProgram = 0;
    settings.melodyProgram = 73;
    settings.drumSetProgram = 25;
    const Bytes bytes = voices.Compose(writer, 120, settings);
    EXPECT_EQ(Bytes(bytes.begin() + 42, bytes.begin() + 57),
              (Bytes{0, 0xC0, 33, 0, 0xC1, 0, 0, 0xC2, 0, 0, 0xC3, 0, 0, 0xC4, 73}));
    EXPECT_EQ(Bytes(bytes.begin() + 65, bytes.begin() + 68), (Bytes{0x00, 0xC9, 0x19}));
}

TEST(MidiWriter, IntervalIsTheDeltaTimeBeforeTheFirstNote) {
    const Bytes encodings[] = {{0x00}, {0x60}, {0x81, 0x40}, {0x82, 0x20}, {0x83, 0x00}};
    for (int interval = 0; interval <= 4; ++interval) {
        Voices voices;
        voices.Note(0, 0, 48);
        SStandardMidi writer;
        writer.SetInterval(interval);
        const Bytes bytes = voices.Compose(writer);
        const Bytes& delta = encodings[interval];
        EXPECT_EQ(Bytes(bytes.begin() + 68, bytes.begin() + 68 + delta.size()), delta);
        EXPECT_EQ(Bytes(bytes.begin() + 68 + delta.size(), bytes.begin() + 71 + delta.size()),
                  (Bytes{0x90, 0x30, 0x6E}))
            << "interval " << interval;
        // All voices end together after the interval and the song.
        const auto events = ParseTrack(bytes);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().tick, uint32_t(interval * 96 + 1536));
    }
}

TEST(MidiWriter, NotesEndAtTheNextOnsetOfTheirVoice) {
    Voices voices;
    voices.Note(0, 0, 48);
    voices.Note(0, 8, 53);
    voices.Note(4, 0, 72);
    voices.Note(4, 2, 74);
    voices.Note(3, 8, 65);
    SStandardMidi writer;
    const auto events = ParseTrack(voices.Compose(writer));

    // Events of a step come in voice order; a new onset first ends the voice's
    // previous note with a note-on of velocity 0.
    std::vector<std::array<int, 4>> notes;
    for (const Event& e : events) {
        if ((e.status & 0xF0) == 0x90) {
            notes.push_back({int(e.tick), e.status & 0x0F, e.data1, e.data2});
        }
    }
    const std::vector<std::array<int, 4>> expected = {
        {0, 0, 48, 110},   {0, 4, 72, 110},  {48, 4, 72, 0},    {48, 4, 74, 110}, {192, 0, 48, 0},
        {192, 0, 53, 110}, {192, 3, 0, 0},   {192, 3, 65, 110}, {1536, 0, 53, 0}, {1536, 1, 0, 0},
        {1536, 2, 0, 0},   {1536, 3, 65, 0}, {1536, 4, 74, 0},  {1536, 5, 0, 0},  {1536, 6, 0, 0},
        {1536, 7, 0, 0},   {1536, 8, 0, 0},  {1536, 9, 0, 0},
    };
    EXPECT_EQ(notes, expected);
}

TEST(MidiWriter, AMelodyOnsetWithoutANoteIsARest) {
    Voices voices;
    voices.Note(0, 0, 48);
    voices.Note(0, 8, 0);  // the bass keeps its note-on for note 0
    voices.Note(4, 0, 72);
    voices.Note(4, 8, 0);  // a rest: 72 ends, nothing starts
    voices.Note(4, 16, 74);
    voices.Note(4, 24, 0);  // the last onset a rest: the song ends on it
    SStandardMidi writer;
    std::vector<std::array<int, 4>> notes;
    for (const Event& e : ParseTrack(voices.Compose(writer))) {
        if ((e.status & 0xF0) == 0x90 && (e.status & 0x0F) <= 4) {
            notes.push_back({int(e.tick), e.status & 0x0F, e.data1, e.data2});
        }
    }
    const std::vector<std::array<int, 4>> expected = {
        {0, 0, 48, 110}, {0, 4, 72, 110},   {192, 0, 48, 0}, {192, 0, 0, 110}, {192, 4, 72, 0},
        {384, 4, 0, 0},  {384, 4, 74, 110}, {576, 4, 74, 0}, {1536, 0, 0, 0},  {1536, 1, 0, 0},
        {1536, 2, 0, 0}, {1536, 3, 0, 0},   {1536, 4, 0, 0},
    };
    EXPECT_EQ(notes, expected);
    EXPECT_EQ(voices.melodies[4].LastNote(), 0);

    // A rest on the first step writes nothing at all; the carried note is
    // dropped there, so the next onset ends note 0.
    Voices first;
    first.melodies[4].SetLastNote(65);
    first.Note(4, 0, 0);
    first.Note(4, 4, 70);
    const Bytes bytes = first.Compose(writer);
    ASSERT_GE(bytes.size(), 78u);
    EXPECT_EQ(Bytes(bytes.begin() + 68, bytes.begin() + 78),
              (Bytes{0x60, 0x94, 0x00, 0x00, 0x00, 0x94, 0x46, 0x6E, 0x8B, 0x20}));
}

TEST(MidiWriter, FadeVelocitiesFollowTheStep) {
    struct Case {
        FadeMode fade;
        uint8_t velocity;
        std::array<int, 3> expected;  // at steps 0, 32, 63
    };
    const Case cases[] = {
        {FadeMode::FadeOut, 110, {108, 53, 0}},
        {FadeMode::FadeIn, 120, {1, 61, 120}},
        {FadeMode::FadeIn, 110, {1, 56, 110}},
        {FadeMode::Normal, 115, {115, 115, 115}},
    };
    for (const Case& c : cases) {
        Voices voices;
        for (int step : {0, 32, 63}) {
            voices.Note(4, step, 72);
        }
        voices.melodies[4].SetVelocity(c.velocity);
        SStandardMidi writer;
        SoundSettings settings;
        settings.fade = c.fade;
        const Bytes bytes = voices.Compose(writer, 120, settings);
        const auto events = ParseTrack(bytes);
        // The velocity of each note start: at tick 0, or right after the
        // note-off that precedes it at the same tick.
        std::vector<int> onsetVelocities;
        for (size_t i = 0; i < events.size(); ++i) {
            const Event& e = events[i];
            if (e.status != 0x94 || e.tick == 1536) {
                continue;
            }
            const bool followsOffAtSameTick =
                i > 0 && events[i - 1].status == 0x94 && events[i - 1].tick == e.tick && e.tick > 0;
            if (e.tick == 0 || followsOffAtSameTick) {
                onsetVelocities.push_back(e.data2);
            }
        }
        EXPECT_EQ(onsetVelocities, (std::vector<int>{c.expected[0], c.expected[1], c.expected[2]}))
            << "velocity " << int(c.velocity);
    }
}

TEST(MidiWriter, LastNotesCarryOverToTheNextWrite) {
    Voices voices;
    voices.Note(0, 0, 48);
    voices.Note(1, 16, 55);
    SStandardMidi writer;

    const Bytes first = voices.Compose(writer);
    const Bytes second = voices.Compose(writer);
    const Bytes third = voices.Compose(writer);
    // The note-off before voice 1's first note names the note the previous
    // write left: 0 after start-up, then 55.
    auto offBeforeFirstOnset = [](const Bytes& bytes) {
        const auto events = ParseTrack(bytes);
        for (size_t i = 1; i < events.size(); ++i) {
            if (events[i].status == 0x91 && events[i].data2 > 0) {
                return int(events[i - 1].data1);
            }
        }
        return -1;
    };
    EXPECT_EQ(offBeforeFirstOnset(first), 0);
    EXPECT_EQ(offBeforeFirstOnset(second), 55);
    EXPECT_NE(first, second);
    EXPECT_EQ(second, third);
    EXPECT_EQ(voices.melodies[0].LastNote(), 48);
    EXPECT_EQ(voices.melodies[1].LastNote(), 55);

    // A voice that sounds nothing still ends the note it remembers.
    voices.rhythms[1].ClearMarks();
    const auto events = ParseTrack(voices.Compose(writer));
    ASSERT_GE(events.size(), 2u);
    bool endedRemembered = false;
    for (const Event& e : events) {
        endedRemembered |= e.status == 0x91 && e.data1 == 55 && e.data2 == 0 && e.tick == 1536;
    }
    EXPECT_TRUE(endedRemembered);
}

TEST(MidiWriter, WithoutANoteAtStepZeroTheLeadInIsOneDeltaTime) {
    Voices voices;
    voices.Note(0, 4, 48);
    SStandardMidi writer;
    writer.SetInterval(2);
    const Bytes bytes = voices.Compose(writer);
    // 2 beats (192 ticks) plus 4 steps (96 ticks) = 288 = 82 20, then the
    // note-off of the remembered note and the bass note.
    EXPECT_EQ(Bytes(bytes.begin() + 68, bytes.begin() + 77),
              (Bytes{0x82, 0x20, 0x90, 0x00, 0x00, 0x00, 0x90, 0x30, 0x6E}));
    const auto starts = Starts(ParseTrack(bytes));
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].tick, 288u);
    EXPECT_EQ(TrackLength(bytes), bytes.size() - 22);

    // No note at all: the end comes after the interval and the whole song.
    Voices silent;
    const Bytes empty = silent.Compose(writer);
    const auto events = ParseTrack(empty);
    ASSERT_EQ(events.size(), 18u);  // 8 program and bank events, 10 note-offs
    EXPECT_EQ(events.back().tick, 192u + 1536u);
}

TEST(MidiWriter, MarksAreSignedAndAnyPositiveMarkStartsANote) {
    Voices voices;
    voices.Note(0, 0, 48);
    voices.rhythms[0].SetMark(16, 0xFF);  // -1: nothing starts
    voices.melodies[0].SetPitch(16, 50);
    voices.rhythms[0].SetMark(32, 5);
    voices.melodies[0].SetPitch(32, 52);
    voices.rhythms[0].SetMark(48, 0x80);  // -128: nothing starts
    SStandardMidi writer;
    const auto starts = Starts(ParseTrack(voices.Compose(writer)));
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].tick, 32u * 24);
    EXPECT_EQ(starts[1].data1, 52);
}

TEST(MidiWriter, DrumsOffWritesOnlyTheFinalNoteOffsOfTheDrumVoices) {
    Song song(1234);
    PatternLibrary library;
    AccPattern acc;
    acc.name = "a";
    acc.parts.fill(std::string(64, '0'));
    acc.parts[0][0] = '1';
    library.acc.push_back(acc);
    DrumPattern drums;
    drums.notes = {36, 38, 42, 46, 49};
    drums.parts.fill(std::string(16, '1') + std::string(48, '0'));
    library.drums.push_back(drums);

    SStandardMidi writer;
    RenderChoice on;
    RenderSong(song, library, on);
    Bytes bytes;
    writer.Compose(bytes, song.rhythms, song.melodies, kSongSteps, 120, {});
    int drumStarts = 0;
    for (const Event& e : Starts(ParseTrack(bytes))) {
        drumStarts += e.status == 0x99;
    }
    EXPECT_EQ(drumStarts, 5 * 16);

    RenderChoice off;
    off.drumsOn = false;
    RenderSong(song, library, off);
    bytes.clear();
    writer.Compose(bytes, song.rhythms, song.melodies, kSongSteps, 120, {});
    std::vector<Event> drumEvents;
    for (const Event& e : ParseTrack(bytes)) {
        if (e.status == 0x99) {
            drumEvents.push_back(e);
        }
    }
    ASSERT_EQ(drumEvents.size(), 5u);
    const uint8_t notes[] = {36, 38, 42, 46, 49};
    for (size_t j = 0; j < 5; ++j) {
        EXPECT_EQ(drumEvents[j].data1, notes[j]);
        EXPECT_EQ(drumEvents[j].data2, 0);
        EXPECT_EQ(drumEvents[j].tick, 1536u);
    }
}

TEST(MidiWriter, ComposedSongIsAWellFormedFile) {
    Song song(20240601);
    ApplyMelodyStyle(song, MelodyStyle::MoreEighths);
    GenerateProgression(song, FirstChord::One, 0);
    GenerateMelody(song);
    PatternLibrary library;
    LoadPatterns(library, std::filesystem::path(TONTOKO_SOURCE_DIR) / "data");
    ASSERT_FALSE(library.acc.empty());
    RenderSong(song, library, {});
    SStandardMidi writer;
    Bytes bytes;
    writer.Compose(bytes, song.rhythms, song.melodies, kSongSteps, 120, {});
    EXPECT_EQ(TrackLength(bytes), bytes.size() - 22);
    const auto events = ParseTrack(bytes);
    // Every started note is ended exactly once per voice channel and pitch.
    std::map<std::pair<int, int>, int> open;
    for (const Event& e : events) {
        if ((e.status & 0xF0) == 0x90) {
            open[{e.status & 0x0F, e.data1}] += e.data2 > 0 ? 1 : -1;
        }
    }
    for (const auto& [key, count] : open) {
        // Note 0 of a voice that had not sounded yet is ended without a start.
        if (key.second != 0) {
            EXPECT_EQ(count, 0) << "channel " << key.first << " note " << key.second;
        }
    }
    EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{0x00, 0xFF, 0x2F, 0x00}));
}

TEST(MidiWriter, WriteReplacesTheFileOrLeavesItIntact) {
    TempDir dir;
    const std::string path = dir.File("song.mid");
    { std::ofstream(path, std::ios::binary) << "previous contents"; }
    Voices voices;
    voices.Note(0, 0, 48);
    SStandardMidi writer;

    // A write that fails part way (the file size limit is below the song's
    // size) reports false and keeps the old file and no temporary file.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 40;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool failed = writer.Write(path, voices.rhythms, voices.melodies, kSongSteps, 120, {});
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(failed);
    const Bytes old = ReadFile(path);
    EXPECT_EQ(std::string(old.begin(), old.end()), "previous contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    // A folder in the way, or a missing folder: false, nothing changed.
    std::filesystem::create_directory(dir.Path() / "folder");
    EXPECT_FALSE(
        writer.Write(dir.File("folder"), voices.rhythms, voices.melodies, kSongSteps, 120, {}));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "folder"));
    EXPECT_FALSE(writer.Write(dir.File("missing/song.mid"), voices.rhythms, voices.melodies,
                              kSongSteps, 120, {}));

    // A successful write replaces the file with exactly the composed bytes.
    ASSERT_TRUE(writer.Write(path, voices.rhythms, voices.melodies, kSongSteps, 120, {}));
    Bytes expected;
    writer.Compose(expected, voices.rhythms, voices.melodies, kSongSteps, 120, {});
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(MidiWriter, VariableLengthQuantities) {
    const std::pair<uint32_t, Bytes> cases[] = {
        {0, {0x00}},
        {127, {0x7F}},
        {128, {0x81, 0x00}},
        {1536, {0x8C, 0x00}},
        {16383, {0xFF, 0x7F}},
        {16384, {0x81, 0x80, 0x00}},
        {2097152, {0x81, 0x80, 0x80, 0x00}},
    };
    for (const auto& [value, encoded] : cases) {
        Bytes out;
        EXPECT_EQ(SStandardMidi::WriteVarLen(out, value), int(encoded.size()));
        EXPECT_EQ(out, encoded) << value;
    }
}

}  // namespace
}  // namespace tontoko
