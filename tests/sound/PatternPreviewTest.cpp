// One measure of a pattern, heard before it is chosen: the accompaniment over
// chord I of the song's key as the song itself would render it, the drums with
// the chosen set, on the preview channels, without changing the song.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "engine/KeyChange.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"
#include "sound/PatternPreview.h"

using namespace tontoko;

namespace {

PatternLibrary Library() {
    PatternLibrary library;
    const PatternLoadResult loaded = LoadPatterns(library, TONTOKO_SOURCE_DIR "/data");
    EXPECT_TRUE(loaded.accFileOpened && loaded.drumFileOpened);
    return library;
}

using Notes = std::map<int, std::vector<std::pair<int, int>>>;  // channel: (ms, key)

Notes NotesOn(const std::vector<LiveEvent>& events) {
    Notes notes;
    for (const LiveEvent& e : events) {
        if (e.kind == LiveEvent::Kind::NoteOn) {
            notes[e.channel].push_back({e.ms, e.data1});
        }
    }
    return notes;
}

// The first measure of a song rendered as Play renders it, as the preview's
// channels would carry it.
Notes FirstMeasureOfSong(Song& song, const PatternLibrary& library, int pattern, int tempo) {
    RenderSong(song, library, RenderChoice{false, pattern, -1});
    Notes notes;
    const double stepMs = 60000.0 / tempo / 4;
    for (int v = 0; v <= 3; ++v) {
        for (int s = 0; s < kStepsPerMeasure; ++s) {
            if (song.rhythms[v].Mark(s) > 0) {
                notes[v == 0 ? kPreviewBassChannel : kPreviewAccChannel + v - 1].push_back(
                    {int(s * stepMs), song.melodies[v].Pitch(s)});
            }
        }
    }
    return notes;
}

std::vector<uint8_t> Compose(Song& song) {
    SStandardMidi writer;
    std::vector<uint8_t> bytes;
    writer.Compose(bytes, song.rhythms, song.melodies, kSongSteps, 120, SoundSettings{});
    return bytes;
}

}  // namespace

TEST(PatternPreview, AccompanimentIsTheFirstChordOfTheKeyAsTheSongRendersIt) {
    const PatternLibrary library = Library();
    ASSERT_GE(library.acc.size(), 4u);
    for (int pattern : {0, 3}) {  // pattern 4 jumps an octave on beats 2 and 4
        for (int key : {0, 2, -5}) {
            Song song(7);
            Transpose(song, 0, key);
            // The start-up progression opens with I, I: the song's own first
            // measure is what the preview must sound like.
            Song reference(7);
            Transpose(reference, 0, key);
            const Notes expected = FirstMeasureOfSong(reference, library, pattern, 120);
            // Whatever the song's own first chords are.
            song.SetSlotDegree(0, 4);
            song.SetSlotDegree(1, 5);
            const std::vector<LiveEvent> events =
                AccompanimentPreview(song, library, pattern, 48, 33, 120);
            EXPECT_EQ(NotesOn(events), expected) << "pattern " << pattern << " key " << key;
        }
    }
}

TEST(PatternPreview, AccompanimentUsesTheInstrumentsVolumesAndTempo) {
    const PatternLibrary library = Library();
    Song song(7);
    song.melodies[0].SetVelocity(90);
    song.melodies[2].SetVelocity(70);
    const std::vector<LiveEvent> events = AccompanimentPreview(song, library, 0, 48, 33, 60);
    ASSERT_FALSE(events.empty());
    std::map<int, int> programs;
    int lastOff = 0;
    for (const LiveEvent& e : events) {
        EXPECT_GE(e.channel, kFirstLiveChannel);
        EXPECT_LE(e.channel, kLastLiveChannel);
        if (e.kind == LiveEvent::Kind::Program) {
            EXPECT_EQ(e.ms, 0);
            programs[e.channel] = e.data1;
        } else if (e.kind == LiveEvent::Kind::NoteOn) {
            EXPECT_EQ(e.data2, e.channel == kPreviewBassChannel      ? 90
                               : e.channel == kPreviewAccChannel + 1 ? 70
                                                                     : 110);
        } else if (e.kind == LiveEvent::Kind::NoteOff) {
            lastOff = std::max(lastOff, e.ms);
        }
    }
    EXPECT_EQ(programs, (std::map<int, int>{{kPreviewBassChannel, 33},
                                            {kPreviewAccChannel, 48},
                                            {kPreviewAccChannel + 1, 48},
                                            {kPreviewAccChannel + 2, 48}}));
    // One measure at 60 beats per minute: four seconds, every note ended.
    EXPECT_EQ(lastOff, 4000);
    int on = 0, off = 0;
    for (const LiveEvent& e : events) {
        on += e.kind == LiveEvent::Kind::NoteOn;
        off += e.kind == LiveEvent::Kind::NoteOff;
    }
    EXPECT_EQ(on, off);
    EXPECT_TRUE(std::is_sorted(events.begin(), events.end(),
                               [](const LiveEvent& a, const LiveEvent& b) { return a.ms < b.ms; }));
}

TEST(PatternPreview, DrumsUseTheChosenSetAndThePatternsNotes) {
    const PatternLibrary library = Library();
    ASSERT_FALSE(library.drums.empty());
    Song song(7);
    const int pattern = int(library.drums.size()) - 1;
    const std::vector<LiveEvent> events = DrumPreview(song, library, pattern, 25, 120);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0], (LiveEvent{0, LiveEvent::Kind::DrumProgram, kPreviewDrumChannel, 25, 0}));
    const DrumPattern& drums = library.drums[pattern];
    std::multiset<int> expected;
    for (int j = 0; j < 5; ++j) {
        for (int s = 0; s < kStepsPerMeasure; ++s) {
            if (s < int(drums.parts[j].size()) && drums.parts[j][s] > '0') {
                expected.insert(drums.notes[j]);
            }
        }
    }
    std::multiset<int> heard;
    Notes notes = NotesOn(events);
    for (const auto& [ms, key] : notes[kPreviewDrumChannel]) {
        EXPECT_LT(ms, 2000);
        heard.insert(key);
    }
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(notes.size(), 1u) << "only the drum channel";
}

TEST(PatternPreview, TheSongIsLeftAsItWas) {
    const PatternLibrary library = Library();
    Song song(11);
    Song twin(11);
    RenderSong(song, library, RenderChoice{true, 1, 1});
    RenderSong(twin, library, RenderChoice{true, 1, 1});
    AccompanimentPreview(song, library, 3, 5, 6, 90);
    DrumPreview(song, library, 0, 16, 90);
    EXPECT_EQ(song.random.State(), twin.random.State());
    // The same bytes, the voices' last notes (carried into the next file) included.
    EXPECT_EQ(Compose(song), Compose(twin));
}

TEST(PatternPreview, NoSuchPatternSoundsNothing) {
    const PatternLibrary library = Library();
    Song song(1);
    EXPECT_TRUE(AccompanimentPreview(song, library, -1, 0, 0, 120).empty());
    EXPECT_TRUE(AccompanimentPreview(song, library, int(library.acc.size()), 0, 0, 120).empty());
    EXPECT_TRUE(DrumPreview(song, library, -1, 0, 120).empty());
    EXPECT_TRUE(DrumPreview(song, PatternLibrary{}, 0, 0, 120).empty());
}
