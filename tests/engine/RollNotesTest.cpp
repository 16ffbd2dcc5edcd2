// The notes the piano roll reads from a song: spans as the MIDI writer plays
// them, and what each part of a note is against the chord that sounds.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/RollNotes.h"
#include "engine/Song.h"

using namespace tontoko;

namespace {

void SetNote(Song& song, int step, uint8_t pitch, uint8_t mark = 1) {
    song.MelodyRhythm().SetMark(step, mark);
    song.MelodyPitches().SetPitch(step, pitch);
}

// Worked out by hand for C major from the chord table (tones; bass): the
// pitch classes that neither are chord tones nor lie a semitone or a tritone
// from a chord tone or the bass. Every other pitch class clashes.
const std::array<std::set<int>, 7> kChordTones = {{
    {0, 4, 7},
    {2, 5, 9},
    {4, 7, 11},
    {5, 9, 0},
    {7, 11, 2},
    {9, 0, 4},
    {11, 2, 5},
}};
const std::array<std::set<int>, 7> kScaleTones = {{
    {2, 9},
    {0, 7},
    {2, 9},
    {2, 7},
    {4, 9},
    {2, 7},
    {7, 9},
}};

NoteRole ExpectedRole(int degree, int pitch) {
    const int pc = pitch % 12;
    if (kChordTones[degree - 1].count(pc)) {
        return NoteRole::ChordTone;
    }
    return kScaleTones[degree - 1].count(pc) ? NoteRole::ScaleTone : NoteRole::Clash;
}

}  // namespace

TEST(RollNotes, NotesLastUntilTheNextOnsetAsTheWriterPlaysThem) {
    Song song(1);
    SetNote(song, 3, 72);
    SetNote(song, 10, 74, 2);    // any mark above 0 starts a note
    SetNote(song, 20, 76, 200);  // read signed: no onset, the note before goes on
    SetNote(song, 40, 200);      // the writer keeps seven bits: 72
    SetNote(song, 50, 0);        // an onset without a pitch
    const std::vector<RollNote> notes = VoiceNotes(song.MelodyRhythm(), song.MelodyPitches());
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0].step, 3);
    EXPECT_EQ(notes[0].end, 10);
    EXPECT_EQ(notes[1].step, 10);
    EXPECT_EQ(notes[1].end, 40);
    EXPECT_EQ(notes[1].pitch, 74);
    EXPECT_EQ(notes[2].pitch, 72);
    EXPECT_TRUE(notes[2].pitched);
    EXPECT_EQ(notes[3].step, 50);
    EXPECT_EQ(notes[3].end, kSongSteps);  // the last note sounds to the end
    EXPECT_FALSE(notes[3].pitched);

    // Deleting a note lengthens the one before it.
    song.MelodyRhythm().SetMark(10, 0);
    const std::vector<RollNote> after = VoiceNotes(song.MelodyRhythm(), song.MelodyPitches());
    EXPECT_EQ(after[0].end, 40);
}

TEST(RollNotes, AHeldNoteIsJudgedAgainstEachChordItSoundsUnder) {
    Song song(1);
    song.SetSlotDegree(1, 1);  // measure 1: I, I
    song.SetSlotDegree(2, 5);  // measure 2: V, IV
    song.SetSlotDegree(3, 4);
    SetNote(song, 6, 72);   // C from the first half over the half boundary...
    SetNote(song, 15, 67);  // G across the bar line...
    SetNote(song, 26, 65);  // F over the half boundary of measure 2
    SetNote(song, 30, 0);
    const RollSong roll = ReadRollSong(song);
    ASSERT_EQ(roll.notes.size(), 4u);

    const RollNote& c = roll.notes[0];
    ASSERT_EQ(c.segments.size(), 2u);
    EXPECT_EQ(c.segments[0].begin, 6);
    EXPECT_EQ(c.segments[0].end, 8);
    EXPECT_EQ(c.segments[1].begin, 8);
    EXPECT_EQ(c.segments[1].end, 15);
    EXPECT_EQ(c.segments[0].role, NoteRole::ChordTone);
    EXPECT_EQ(c.segments[1].role, NoteRole::ChordTone);

    const RollNote& g = roll.notes[1];  // I, then V: chord tone both times
    ASSERT_EQ(g.segments.size(), 3u);
    EXPECT_EQ(g.segments[0].end, 16);
    EXPECT_EQ(g.segments[1].begin, 16);
    EXPECT_EQ(g.segments[1].role, NoteRole::ChordTone);

    const RollNote& f = roll.notes[2];  // F: clashes with V's B, belongs to IV
    ASSERT_EQ(f.segments.size(), 1u);
    EXPECT_EQ(f.segments[0].begin, 26);
    EXPECT_EQ(f.segments[0].end, 30);
    EXPECT_EQ(f.segments[0].role, NoteRole::ChordTone);
    SetNote(song, 22, 65);
    const RollSong again = ReadRollSong(song);
    const RollNote& early = again.notes[2];
    ASSERT_EQ(early.segments.size(), 2u);
    EXPECT_EQ(early.segments[0].role, NoteRole::Clash);      // under V (G B D)
    EXPECT_EQ(early.segments[1].role, NoteRole::ChordTone);  // under IV (F A C)

    EXPECT_TRUE(roll.notes[3].segments.empty());  // no pitch, no role
    EXPECT_EQ(roll.NoteAt(7), &roll.notes[0]);
    EXPECT_EQ(roll.NoteAt(2), nullptr);
}

TEST(RollNotes, GeneratedSongsGetTheRolesWorkedOutByHand) {
    std::array<int, 3> seen{};
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        Song song(seed * 7919u);
        ApplyMelodyStyle(song, seed % 2 ? MelodyStyle::MoreQuarters : MelodyStyle::MoreEighths);
        GenerateProgression(song, FirstChord::Random, 0);
        GenerateMelody(song);
        const RollSong roll = ReadRollSong(song);
        ASSERT_FALSE(roll.notes.empty());
        for (const RollNote& note : roll.notes) {
            ASSERT_FALSE(note.segments.empty());
            for (size_t i = 0; i < note.segments.size(); ++i) {
                const RollSegment& segment = note.segments[i];
                const int degree = song.SlotDegree(SlotOfStep(segment.begin));
                EXPECT_EQ(segment.role, ExpectedRole(degree, note.pitch))
                    << "seed " << seed << " step " << segment.begin << " pitch " << note.pitch;
                ++seen[int(segment.role)];
            }
        }
    }
    // Real songs hold all three kinds.
    EXPECT_GT(seen[int(NoteRole::ChordTone)], 0);
    EXPECT_GT(seen[int(NoteRole::ScaleTone)], 0);
    EXPECT_GT(seen[int(NoteRole::Clash)], 0);
}

TEST(RollNotes, KeyNamesChordsAndFixedMeasuresAreRead) {
    Song song(1);
    Transpose(song, 0, -3);  // A major: tonic 9, shown as -3
    SwitchToMinor(song);
    song.flags.Set(2, FixedKind::Rhythm, true);
    song.flags.Set(3, FixedKind::Rhythm, true);
    song.flags.Set(3, FixedKind::Melody, true);
    const RollSong roll = ReadRollSong(song);
    EXPECT_EQ(roll.transposition, -3);
    EXPECT_EQ(roll.mode, Mode::Minor);
    EXPECT_EQ(roll.Name(69), "ド");  // the tonic of the transposed major key
    EXPECT_EQ(roll.Name(66), "ラ");  // and of its minor
    EXPECT_EQ(roll.Octave(69), "0");
    EXPECT_TRUE(roll.InKey(66));
    EXPECT_FALSE(roll.InKey(70));
    // Slot 0 holds I, which in minor is the minor tonic chord: F# A C#.
    EXPECT_EQ(roll.chords[0].degree, 1);
    EXPECT_TRUE(roll.IsChordTone(0, 66));
    EXPECT_TRUE(roll.IsChordTone(0, 61));
    EXPECT_FALSE(roll.IsChordTone(0, 69 + 2));
    const auto first4 = [](const auto& flags) {
        return std::array<bool, 4>{flags[0], flags[1], flags[2], flags[3]};
    };
    EXPECT_EQ((std::array<bool, 4>{false, false, true, true}), first4(roll.rhythmFixed));
    EXPECT_EQ((std::array<bool, 4>{false, false, false, true}), first4(roll.melodyFixed));
    EXPECT_FALSE(roll.rhythmFixed[4]);
    EXPECT_EQ(roll.StepCount(), 64);
}

// Parts follow one another: their notes, chords and fixed measures at the
// song's steps, halves and measures, the key from the engine, and a note that
// no onset ends sounding on into the next part, as the writer plays it.
TEST(RollNotes, ASongOfPartsIsReadAtTheSongsSteps) {
    Song song(1);
    std::array<SongPart, 3> parts{};
    parts[0].marks[60] = 1;  // C from the last beat of part 1, held on
    parts[0].pitches[60] = 72;
    parts[1].marks[8] = 1;  // E in part 2's first measure
    parts[1].pitches[8] = 76;
    parts[1].degrees[0] = 5;  // V: G B D, where the held C clashes
    parts[2].marks[2] = 1;    // an onset without a pitch in part 3
    parts[2].fixed[3] = {true, true};
    const RollSong roll = ReadRollSong(song, parts, 1);
    EXPECT_EQ(roll.partCount, 3);
    EXPECT_EQ(roll.shownPart, 1);
    EXPECT_EQ(roll.StepCount(), 192);
    EXPECT_EQ(roll.MeasureCount(), 12);
    ASSERT_EQ(roll.notes.size(), 3u);
    const RollNote& c = roll.notes[0];
    EXPECT_EQ(c.step, 60);
    EXPECT_EQ(c.end, 72);
    // Under part 1's last I, then part 2's V.
    ASSERT_EQ(c.segments.size(), 2u);
    EXPECT_EQ(c.segments[0].role, NoteRole::ChordTone);
    EXPECT_EQ(c.segments[1].begin, 64);
    EXPECT_EQ(c.segments[1].role, NoteRole::Clash);
    const RollNote& e = roll.notes[1];
    EXPECT_EQ(e.step, 72);
    EXPECT_EQ(e.end, 130);
    ASSERT_EQ(e.segments.size(), 8u);                    // to the end of part 2, and into part 3
    EXPECT_EQ(e.segments[0].role, NoteRole::ChordTone);  // I in the second half
    EXPECT_FALSE(roll.notes[2].pitched);
    EXPECT_EQ(roll.notes[2].step, 130);
    EXPECT_EQ(roll.notes[2].end, 192);
    EXPECT_EQ(roll.NoteAt(100), &roll.notes[1]);
    EXPECT_EQ(roll.NoteAt(59), nullptr);

    ASSERT_EQ(roll.chords.size(), 24u);
    EXPECT_EQ(roll.chords[8].degree, 5);
    EXPECT_TRUE(roll.IsChordTone(8, 71));
    EXPECT_EQ(roll.chords[16].degree, 1);
    EXPECT_TRUE(roll.rhythmFixed[11]);
    EXPECT_TRUE(roll.melodyFixed[11]);
    EXPECT_FALSE(roll.rhythmFixed[3]);
    EXPECT_FALSE(roll.rhythmFixed[7]);
}

TEST(RollNotes, ChangedStepsCoverExactlyTheNotesThatDiffer) {
    const auto note = [](int step, int end, int pitch) {
        return RollNote{step, end, pitch, true, {}};
    };
    const std::vector<RollNote> before = {note(0, 8, 72), note(8, 16, 71), note(16, 40, 69),
                                          note(40, 64, 67)};
    EXPECT_FALSE(ChangedSteps(before, before));

    // Another pitch in the middle: only that note's steps.
    std::vector<RollNote> after = before;
    after[2].pitch = 70;
    std::optional<StepRange> changed = ChangedSteps(before, after);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->begin, 16);
    EXPECT_EQ(changed->end, 40);

    // A note split in two: the old note and both new ones.
    after = before;
    after[1] = note(8, 12, 71);
    after.insert(after.begin() + 2, note(12, 16, 74));
    changed = ChangedSteps(before, after);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->begin, 8);
    EXPECT_EQ(changed->end, 16);

    // The first note gone and the last one longer: from one end to the other.
    after = {note(8, 16, 71), note(16, 40, 69), note(40, 72, 67)};
    changed = ChangedSteps(before, after);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->begin, 0);
    EXPECT_EQ(changed->end, 72);

    // A chord role that differs is a difference too.
    after = before;
    after[3].segments = {{40, 64, NoteRole::Clash}};
    changed = ChangedSteps(before, after);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->begin, 40);
    EXPECT_EQ(changed->end, 64);
}
