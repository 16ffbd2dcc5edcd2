#include "engine/Finish.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>

#include "engine/Harmony.h"
#include "engine/Song.h"

namespace tontoko {

namespace {

constexpr int kOctave = 12;
// How far below and above the chord tones the generator's figures and steps
// reach.
constexpr int kRegisterMargin = 2;
// The octave the melody generator raises the melody by.
constexpr int kMelodyOctaveShift = 12;

bool LeadsHome(int degree) {
    return degree == 4 || degree == 5 || degree == 7;
}

// An onset as the MIDI writer sounds it: a mark above 0.
bool IsOnset(uint8_t mark) {
    return static_cast<int8_t>(mark) > 0;
}

bool OnBeat(int step) {
    return step % 4 == 0;
}

// The last onset of the last measure, if it has one.
std::optional<int> LastOnsetOfSong(const SRhythmGenerate& rhythm) {
    for (int s = kSongSteps - 1; s >= kSongSteps - kStepsPerMeasure; --s) {
        if (IsOnset(rhythm.Mark(s))) {
            return s;
        }
    }
    return std::nullopt;
}

// Chooses among the register's notes that `accept` takes the one nearest
// `target`; ties go to the one nearer `previous` (0: no previous note), then
// to the lower one. Returns nullopt when the register holds none.
template <class Accept>
std::optional<int> Nearest(const NoteRange& range, int target, int previous, Accept accept) {
    std::optional<int> best;
    int bestDistance = INT_MAX;
    int bestFromPrevious = INT_MAX;
    for (int p = range.low; p <= range.high; ++p) {
        if (!accept(p)) {
            continue;
        }
        const int distance = std::abs(p - target);
        const int fromPrevious = previous != 0 ? std::abs(p - previous) : 0;
        if (distance < bestDistance ||
            (distance == bestDistance && fromPrevious < bestFromPrevious)) {
            best = p;
            bestDistance = distance;
            bestFromPrevious = fromPrevious;
        }
    }
    return best;
}

class MelodyFinisher {
  public:
    explicit MelodyFinisher(const Song& song)
        : song_(song), range_(MelodyRegister(song)), mode_(song.CurrentMode()) {}

    bool InKeyAndRegister(int p) const {
        return range_.Contains(p) && song_.melody.InKey(uint8_t(p), mode_);
    }

    // Whether the note may stay where it is.
    bool Fits(int p, const SChord& chord, bool beat) const {
        if (!InKeyAndRegister(p)) {
            return false;
        }
        return beat ? IsChordTone(uint8_t(p), chord) : !Clashes(uint8_t(p), chord);
    }

    int Repair(int p, int previous, const SChord& chord, bool beat) const {
        if (Fits(p, chord, beat)) {
            return p;
        }
        return Nearest(range_, p, previous, [&](int q) { return Fits(q, chord, beat); })
            .value_or(p);
    }

    int Ending(int p, int previous, const SChord& chord) const {
        const int target = previous != 0 ? previous : p;
        const int tonic = TonicPitchClass(song_);
        const std::optional<int> home = Nearest(range_, target, 0, [&](int q) {
            return PitchClass(q) == tonic && !Clashes(uint8_t(q), chord);
        });
        if (home) {
            return *home;
        }
        return Nearest(range_, target, 0,
                       [&](int q) { return InKeyAndRegister(q) && IsChordTone(uint8_t(q), chord); })
            .value_or(p);
    }

  private:
    const Song& song_;
    NoteRange range_;
    int mode_;
};

}  // namespace

NoteRange MelodyRegister(const Song& song) {
    int lowest = INT_MAX;
    int highest = INT_MIN;
    for (const SChord& node : song.nodes) {
        for (int k = 0; k < 3; ++k) {
            lowest = std::min(lowest, int(node.Tone(k)));
            highest = std::max(highest, int(node.Tone(k)));
        }
    }
    return {lowest - kRegisterMargin + kMelodyOctaveShift,
            highest + kRegisterMargin + kMelodyOctaveShift};
}

int TonicPitchClass(const Song& song) {
    // The relative minor's tonic lies a major sixth above the major tonic.
    const int minorOffset = song.dur.Mode() == 1 ? 9 : 0;
    return (song.dur.Tonic() + minorOffset) % kOctave;
}

void FinishProgression(Song& song) {
    song.SetSlotDegree(6, 1);
    song.SetSlotDegree(7, 1);
    if (!LeadsHome(song.SlotDegree(4)) || !LeadsHome(song.SlotDegree(5))) {
        song.SetSlotDegree(4, 5);
        song.SetSlotDegree(5, 5);
    }
}

void FinishMelody(Song& song) {
    const MelodyFinisher finisher(song);
    const SRhythmGenerate& rhythm = song.MelodyRhythm();
    SMelodyGenerate& pitches = song.MelodyPitches();
    const std::optional<int> last = LastOnsetOfSong(rhythm);
    int previous = 0;
    for (int s = 0; s < kSongSteps; ++s) {
        if (!IsOnset(rhythm.Mark(s))) {
            continue;
        }
        int p = pitches.Pitch(s);
        if (!song.IsFixed(s / kStepsPerMeasure, 1)) {
            const SChord& chord = song.ChordSlot(SlotOfStep(s));
            p = s == last ? finisher.Ending(p, previous, chord)
                          : finisher.Repair(p, previous, chord, OnBeat(s));
            pitches.SetPitch(s, uint8_t(p));
        }
        previous = p;
    }
}

}  // namespace tontoko
