#include "engine/RollNotes.h"

#include <algorithm>

#include "engine/SChord.h"
#include "engine/SMelodyGenerate.h"
#include "engine/SRhythmGenerate.h"
#include "engine/Song.h"

namespace tontoko {

namespace {

bool IsOnset(const SRhythmGenerate& rhythm, int step) {
    return int8_t(rhythm.Mark(step)) > 0;
}

// Splits a melody note at the chord halves it crosses and classifies each part.
void AddSegments(RollNote& note, const Song& song) {
    int begin = note.step;
    while (begin < note.end && note.segmentCount < kChordSlots) {
        const int slot = SlotOfStep(begin);
        const int halfEnd = (slot + 1) * (kStepsPerMeasure / 2);
        const int end = std::min(note.end, halfEnd);
        RollSegment& segment = note.segments[note.segmentCount++];
        segment.begin = begin;
        segment.end = end;
        segment.role = ClassifyNote(uint8_t(note.pitch), song.ChordSlot(slot));
        begin = end;
    }
}

}  // namespace

std::vector<RollNote> VoiceNotes(const SRhythmGenerate& rhythm, const SMelodyGenerate& pitches) {
    std::vector<RollNote> notes;
    for (int step = 0; step < kSongSteps; ++step) {
        if (!IsOnset(rhythm, step)) {
            continue;
        }
        if (!notes.empty()) {
            notes.back().end = step;
        }
        RollNote note;
        note.step = step;
        note.end = kSongSteps;
        // The writer keeps the low seven bits of a note number.
        note.pitch = pitches.Pitch(step) & 0x7F;
        note.pitched = note.pitch != 0;
        notes.push_back(note);
    }
    return notes;
}

bool RollSong::IsChordTone(int half, int pitch) const {
    const RollChord& chord = chords.at(half);
    return std::any_of(chord.tones.begin(), chord.tones.end(),
                       [pitch](int tone) { return PitchClass(tone) == PitchClass(pitch); });
}

const RollNote* RollSong::NoteAt(int step) const {
    for (const RollNote& note : notes) {
        if (step >= note.step && step < note.end) {
            return &note;
        }
    }
    return nullptr;
}

int SignedTransposition(const Song& song) {
    const int tonic = song.dur.Tonic();
    return tonic > 5 ? tonic - 12 : tonic;
}

RollSong ReadRollSong(const Song& song) {
    RollSong roll;
    roll.transposition = SignedTransposition(song);
    roll.mode = song.dur.Mode();
    roll.melody = song.melody;
    for (int slot = 0; slot < kChordSlots; ++slot) {
        const SChord& chord = song.ChordSlot(slot);
        RollChord& out = roll.chords[slot];
        out.degree = chord.Degree();
        for (int k = 0; k < 3; ++k) {
            out.tones[k] = chord.Tone(k);
        }
        out.bass = chord.Tone(3);
    }
    roll.notes = VoiceNotes(song.MelodyRhythm(), song.MelodyPitches());
    for (RollNote& note : roll.notes) {
        if (note.pitched) {
            AddSegments(note, song);
        }
    }
    for (int m = 0; m < kMeasures; ++m) {
        roll.rhythmFixed[m] = song.IsFixed(m, 0);
        roll.melodyFixed[m] = song.IsFixed(m, 1);
    }
    return roll;
}

}  // namespace tontoko
