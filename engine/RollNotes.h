#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/Harmony.h"
#include "engine/SMelody.h"
#include "engine/SongPart.h"
#include "engine/TimeGrid.h"

namespace tontoko {

class SRhythmGenerate;
class SMelodyGenerate;
class Song;

// The part of a note that sounds under one chord half, with what the note is
// against that chord.
struct RollSegment {
    int begin = 0;  // first step
    int end = 0;    // one past the last step
    NoteRole role = NoteRole::ScaleTone;

    bool operator==(const RollSegment&) const = default;
};

// One note of a voice as the MIDI writer plays it: it starts at a step whose
// mark, read as a signed byte, is above 0, and sounds until the next such step
// or the end of the song. Parts follow one another at one continuous time, so
// a note may sound on into the next part.
struct RollNote {
    int step = 0;
    int end = 0;          // one past the last step it sounds
    int pitch = 0;        // the note number written to the file (7 bits)
    bool pitched = true;  // false: an onset without a pitch (a rhythm mark)
    // Melody notes only: one segment per chord half the note sounds under.
    std::vector<RollSegment> segments;

    bool operator==(const RollNote&) const = default;
};

// The notes of one voice, in time order.
std::vector<RollNote> VoiceNotes(const SRhythmGenerate& rhythm, const SMelodyGenerate& pitches);
// The same over the marks and note numbers of a whole song, step by step.
std::vector<RollNote> VoiceNotes(std::span<const uint8_t> marks, std::span<const uint8_t> pitches);

// The chord of one half measure.
struct RollChord {
    int degree = 1;
    std::array<int, 3> tones{};  // root, third, fifth
    int bass = 0;

    bool operator==(const RollChord&) const = default;
};

// Everything the piano roll shows of a song, read at once so that the picture
// never reaches into the song while it paints. Steps, chord halves and
// measures count through the whole song: part p holds steps 64p .. 64p + 63.
struct RollSong {
    int transposition = 0;  // signed key offset -6..5
    Mode mode = Mode::Major;
    SMelody melody;  // scale and note names of the key
    int partCount = 1;
    int shownPart = 0;  // the part the window shows and edits
    std::vector<RollChord> chords = std::vector<RollChord>(kChordSlots);
    std::vector<RollNote> notes;  // the melody, with chord roles
    std::array<bool, kMaxParts * kMeasures> rhythmFixed{};
    std::array<bool, kMaxParts * kMeasures> melodyFixed{};
    // Bass and accompaniment, filled only when they are to be drawn.
    std::vector<RollNote> accompaniment;

    bool operator==(const RollSong&) const = default;
    // Equal in everything but the melody's notes.
    bool SameBesideMelody(const RollSong& other) const;

    int StepCount() const { return partCount * kSongSteps; }
    int MeasureCount() const { return partCount * kMeasures; }
    // The part a song step lies in.
    static int PartOf(int step) { return step / kSongSteps; }

    // The movable-do name and octave number of a pitch, as the grids show them.
    std::string Name(int pitch) const { return DisplayName(melody, pitch, transposition); }
    std::string Octave(int pitch) const { return OctaveText(pitch, transposition); }
    bool InKey(int pitch) const { return melody.InKey(uint8_t(pitch), mode); }
    bool IsChordTone(int half, int pitch) const;
    // The melody note sounding at a step, or nullptr.
    const RollNote* NoteAt(int step) const;
};

// Song steps from `begin` up to, not including, `end`.
struct StepRange {
    int begin = 0;
    int end = 0;
};

// The steps whose melody differs between two lists of notes: from the first
// step of a note only one of them has to the end of the last such note;
// nothing when they are equal.
std::optional<StepRange> ChangedSteps(std::span<const RollNote> before,
                                      std::span<const RollNote> after);

// The signed key offset the song's tonic stands for (-6..5).
int SignedTransposition(const Song& song);

// A song of one part: the engine's chords, melody and fixed measures.
RollSong ReadRollSong(const Song& song);
// A song of parts: the key and the chord nodes from the engine, each part's
// chords, melody and fixed measures from `parts`; `shown` is the part shown.
RollSong ReadRollSong(const Song& song, std::span<const SongPart> parts, int shown);

}  // namespace tontoko
