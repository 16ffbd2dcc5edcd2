#include "engine/RollNotes.h"

#include <algorithm>

#include "engine/SChord.h"
#include "engine/SMelodyGenerate.h"
#include "engine/SRhythmGenerate.h"
#include "engine/Song.h"

namespace tontoko {

namespace {

// The chord halves of a song: per half, its chord node.
using HalfChords = std::vector<const SChord*>;

// Splits a melody note at the chord halves it crosses and classifies each part.
void AddSegments(RollNote& note, const HalfChords& chords) {
    int begin = note.step;
    while (begin < note.end) {
        const int half = SlotOfStep(begin);
        const int halfEnd = (half + 1) * (kStepsPerMeasure / 2);
        const int end = std::min(note.end, halfEnd);
        RollSegment& segment = note.segments.emplace_back();
        segment.begin = begin;
        segment.end = end;
        segment.role = ClassifyNote(uint8_t(note.pitch), *chords.at(size_t(half)));
        begin = end;
    }
}

template <class Mark, class Pitch>
std::vector<RollNote> NotesOf(int steps, Mark mark, Pitch pitch) {
    std::vector<RollNote> notes;
    for (int step = 0; step < steps; ++step) {
        if (int8_t(mark(step)) <= 0) {
            continue;
        }
        if (!notes.empty()) {
            notes.back().end = step;
        }
        RollNote note;
        note.step = step;
        note.end = steps;
        // The writer keeps the low seven bits of a note number.
        note.pitch = pitch(step) & 0x7F;
        note.pitched = note.pitch != 0;
        notes.push_back(note);
    }
    return notes;
}

SongPart EnginePart(const Song& song) {
    SongPart part;
    for (int slot = 0; slot < kChordSlots; ++slot) {
        part.degrees[size_t(slot)] = uint8_t(song.SlotDegree(slot));
    }
    for (int s = 0; s < kSongSteps; ++s) {
        part.marks[size_t(s)] = song.MelodyRhythm().Mark(s);
        part.pitches[size_t(s)] = song.MelodyPitches().Pitch(s);
    }
    for (int m = 0; m < kMeasures; ++m) {
        for (FixedKind kind : kFixedKinds) {
            part.SetFixed(m, kind, song.IsFixed(m, kind));
        }
    }
    return part;
}

}  // namespace

std::vector<RollNote> VoiceNotes(const SRhythmGenerate& rhythm, const SMelodyGenerate& pitches) {
    return NotesOf(
        kSongSteps, [&](int s) { return rhythm.Mark(s); }, [&](int s) { return pitches.Pitch(s); });
}

std::vector<RollNote> VoiceNotes(std::span<const uint8_t> marks, std::span<const uint8_t> pitches) {
    const int steps = int(std::min(marks.size(), pitches.size()));
    return NotesOf(
        steps, [&](int s) { return marks[size_t(s)]; }, [&](int s) { return pitches[size_t(s)]; });
}

bool RollSong::IsChordTone(int half, int pitch) const {
    const RollChord& chord = chords.at(size_t(half));
    return std::any_of(chord.tones.begin(), chord.tones.end(),
                       [pitch](int tone) { return PitchClass(tone) == PitchClass(pitch); });
}

bool RollSong::SameBesideMelody(const RollSong& other) const {
    return transposition == other.transposition && mode == other.mode && melody == other.melody &&
           partCount == other.partCount && shownPart == other.shownPart && chords == other.chords &&
           rhythmFixed == other.rhythmFixed && melodyFixed == other.melodyFixed &&
           accompaniment == other.accompaniment;
}

std::optional<StepRange> ChangedSteps(std::span<const RollNote> before,
                                      std::span<const RollNote> after) {
    // Both lists are in time order: skip what they share at either end; what
    // is left in the middle is what changed.
    size_t front = 0;
    while (front < before.size() && front < after.size() && before[front] == after[front]) {
        ++front;
    }
    size_t endBefore = before.size();
    size_t endAfter = after.size();
    while (endBefore > front && endAfter > front && before[endBefore - 1] == after[endAfter - 1]) {
        --endBefore;
        --endAfter;
    }
    std::optional<StepRange> range;
    auto cover = [&range](const RollNote& note) {
        if (!range) {
            range = StepRange{note.step, note.end};
        } else {
            range->begin = std::min(range->begin, note.step);
            range->end = std::max(range->end, note.end);
        }
    };
    for (size_t i = front; i < endBefore; ++i) {
        cover(before[i]);
    }
    for (size_t i = front; i < endAfter; ++i) {
        cover(after[i]);
    }
    return range;
}

const RollNote* RollSong::NoteAt(int step) const {
    // Notes are in time order and do not overlap: the last one starting at
    // or before the step.
    auto after = std::upper_bound(notes.begin(), notes.end(), step,
                                  [](int s, const RollNote& note) { return s < note.step; });
    if (after == notes.begin()) {
        return nullptr;
    }
    const RollNote& note = *std::prev(after);
    return step < note.end ? &note : nullptr;
}

int SignedTransposition(const Song& song) {
    const int tonic = song.dur.Tonic();
    return tonic > 5 ? tonic - 12 : tonic;
}

RollSong ReadRollSong(const Song& song) {
    const SongPart part = EnginePart(song);
    return ReadRollSong(song, std::span(&part, 1), 0);
}

RollSong ReadRollSong(const Song& song, std::span<const SongPart> parts, int shown) {
    RollSong roll;
    roll.transposition = SignedTransposition(song);
    roll.mode = song.dur.KeyMode();
    roll.melody = song.melody;
    roll.partCount = std::clamp(int(parts.size()), 1, kMaxParts);
    roll.shownPart = std::clamp(shown, 0, roll.partCount - 1);
    if (parts.empty()) {
        return roll;
    }
    const int steps = roll.StepCount();
    HalfChords halves;
    roll.chords.clear();
    std::vector<uint8_t> marks;
    std::vector<uint8_t> pitches;
    for (int p = 0; p < roll.partCount; ++p) {
        const SongPart& part = parts[size_t(p)];
        for (int slot = 0; slot < kChordSlots; ++slot) {
            const SChord& chord = song.nodes.at(
                size_t(std::clamp(int(part.degrees[size_t(slot)]), 1, kChordNodes) - 1));
            halves.push_back(&chord);
            RollChord& out = roll.chords.emplace_back();
            out.degree = chord.Degree();
            for (int k = 0; k < 3; ++k) {
                out.tones[size_t(k)] = chord.Tone(k);
            }
            out.bass = chord.Tone(3);
        }
        marks.insert(marks.end(), part.marks.begin(), part.marks.end());
        pitches.insert(pitches.end(), part.pitches.begin(), part.pitches.end());
        for (int m = 0; m < kMeasures; ++m) {
            roll.rhythmFixed[size_t(p * kMeasures + m)] = part.IsFixed(m, FixedKind::Rhythm);
            roll.melodyFixed[size_t(p * kMeasures + m)] = part.IsFixed(m, FixedKind::Melody);
        }
    }
    roll.notes = VoiceNotes(std::span(marks).first(size_t(steps)), pitches);
    for (RollNote& note : roll.notes) {
        if (note.pitched) {
            AddSegments(note, halves);
        }
    }
    return roll;
}

}  // namespace tontoko
