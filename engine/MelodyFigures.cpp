#include "engine/MelodyFigures.h"

#include <cstdlib>
#include <vector>

#include "engine/Finish.h"
#include "engine/Harmony.h"
#include "engine/Song.h"

namespace tontoko {

namespace {

struct Onset {
    int step;
    int pitch;
};

std::vector<Onset> Onsets(const Song& song, int from, int to) {
    std::vector<Onset> onsets;
    for (int s = from; s < to; ++s) {
        if (static_cast<int8_t>(song.MelodyRhythm().Mark(s)) > 0) {
            onsets.push_back({s, song.MelodyPitches().Pitch(s)});
        }
    }
    return onsets;
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

bool IsStep(int interval) {
    return std::abs(interval) == 1 || std::abs(interval) == 2;
}

// Same onsets, and every interval inside the measure going the same way.
bool SameRhythmAndContour(const std::vector<Onset>& a, const std::vector<Onset>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].step % kStepsPerMeasure != b[i].step % kStepsPerMeasure) {
            return false;
        }
        if (i > 0 && Sign(a[i].pitch - a[i - 1].pitch) != Sign(b[i].pitch - b[i - 1].pitch)) {
            return false;
        }
    }
    return true;
}

}  // namespace

MelodyFigures MeasureMelody(const Song& song) {
    MelodyFigures f;
    const std::vector<Onset> melody = Onsets(song, 0, kSongSteps);
    for (size_t i = 0; i < melody.size(); ++i) {
        const int p = melody[i].pitch;
        const SChord& chord = song.ChordSlot(SlotOfStep(melody[i].step));
        const bool chordTone = IsChordTone(uint8_t(p), chord);
        ++f.notes;
        if (melody[i].step % 8 == 0) {
            ++f.beatNotes;
            f.beatChordTones += chordTone ? 1 : 0;
        }
        const bool stepwise = i > 0 && i + 1 < melody.size() && IsStep(p - melody[i - 1].pitch) &&
                              IsStep(melody[i + 1].pitch - p);
        f.chordOrStepwise += chordTone || stepwise ? 1 : 0;
        if (i > 0) {
            const int interval = p - melody[i - 1].pitch;
            ++f.intervals;
            f.steps += IsStep(interval) ? 1 : 0;
            f.repeats += interval == 0 ? 1 : 0;
        }
    }
    f.endsOnI = song.SlotDegree(6) == 1 && song.SlotDegree(7) == 1;
    f.endsOnTonic = !melody.empty() && PitchClass(melody.back().pitch) == TonicPitchClass(song);

    const std::vector<Onset> first = Onsets(song, 0, kStepsPerMeasure);
    const std::vector<Onset> third = Onsets(song, 2 * kStepsPerMeasure, 3 * kStepsPerMeasure);
    f.motifCounted = first.size() >= 3;
    f.motifKept = SameRhythmAndContour(first, third);
    int differing = 0;
    for (int s = 0; s < kStepsPerMeasure; ++s) {
        const bool a = static_cast<int8_t>(song.MelodyRhythm().Mark(s)) > 0;
        const bool b = static_cast<int8_t>(song.MelodyRhythm().Mark(2 * kStepsPerMeasure + s)) > 0;
        differing += a != b ? 1 : 0;
    }
    f.rhythmMatch = 1.0 - double(differing) / kStepsPerMeasure;
    return f;
}

void MelodyAverages::Add(const MelodyFigures& song) {
    ++songs_;
    if (song.intervals > 0) {
        steps_.Add(double(song.steps) / song.intervals);
        repeats_.Add(double(song.repeats) / song.intervals);
    }
    if (song.beatNotes > 0) {
        beatChordTones_.Add(double(song.beatChordTones) / song.beatNotes);
    }
    if (song.notes > 0) {
        chordOrStepwise_.Add(double(song.chordOrStepwise) / song.notes);
    }
    endsOnI_.Add(song.endsOnI ? 1.0 : 0.0);
    endsOnTonic_.Add(song.endsOnTonic ? 1.0 : 0.0);
    if (song.motifCounted) {
        motifKept_.Add(song.motifKept ? 1.0 : 0.0);
    }
    rhythmMatch_.Add(song.rhythmMatch);
}

}  // namespace tontoko
