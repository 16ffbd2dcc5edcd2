#include "engine/MelodyGenerator.h"

#include <algorithm>

#include "engine/Random.h"
#include "engine/SChord.h"
#include "engine/SMelody.h"
#include "engine/SMelodyGenerate.h"
#include "engine/SRhythm.h"
#include "engine/SRhythmGenerate.h"
#include "engine/Song.h"
#include "engine/Voicing.h"

namespace tontoko {

namespace {

// Draws the next note length (in steps) from the weights of `state`'s row and
// moves the state.
int DrawLength(const SRhythmGenerate& rhythm, const SRhythm& lengths, Random& random, int& state) {
    const SRhythmGenerate::WeightRow& row = rhythm.Weights(state);
    const bool uniform = std::all_of(row.begin(), row.end(), [&](int w) { return w == row[0]; });
    if (uniform) {
        int g = random.Below(8);
        if (g % 2 == 1) {
            g = (g + 1) % 8;
        }
        return lengths.Steps(g);
    }
    const int r = random.Below(80);
    int total = 0;
    int below = 0;
    int next = 7;
    for (int k = 0; k < 7; ++k) {
        total += row[k];
        const int bound = total * 8 / 10;
        if (below <= r && r < bound) {
            next = k;
            break;
        }
        below = bound;
    }
    state = next;
    return lengths.Steps(next);
}

// The pitch pass over one voice; keeps the previous melody note and the step.
class PitchPass {
  public:
    PitchPass(SMelodyGenerate& pitches, const SRhythmGenerate& rhythm, const SMelody& melody,
              Random& random, const SongQueries& song)
        : pitches_(pitches), rhythm_(rhythm), melody_(melody), random_(random), song_(song) {}

    bool MelodyFixed(int measure) const {
        return rhythm_.Channel() == kMelodyVoice && song_.IsFixed(measure, FixedKind::Melody);
    }

    void PlaceVoicing(int i, const SChord& chord, int k) {
        pitches_.SetPitch(i, VoicingNote(chord, k));
    }

    // Places one melody note (or figure) at step i of measure m; returns the
    // step the figure ended on (i for a single note).
    int PlaceMelody(int i, int m, const SChord& chord) {
        const int c = random_.Below(7);
        if (prev_ == 0) {
            prev_ = RandomTone(chord);
            pitches_.SetPitch(i, prev_);
            return i;
        }
        const Mode mode = song_.CurrentMode();
        switch (c) {
            case 0:
                prev_ = RandomTone(chord);
                pitches_.SetPitch(i, prev_);
                return i;
            case 1:
                prev_ = melody_.Snap(uint8_t(prev_ - 2), 0, mode);
                pitches_.SetPitch(i, prev_);
                return i;
            case 2:
                prev_ = melody_.Snap(uint8_t(prev_ + 2), 1, mode);
                pitches_.SetPitch(i, prev_);
                return i;
            case 3:
                return OnsetsToMeasureEnd(i, m) > 2 ? LowerNeighbour(i, chord)
                                                    : FallingPassing(i, chord);
            case 4:
                return UpperNeighbour(i, chord);
            case 5:
                return RisingPassing(i, chord);
            default:
                return FallingPassing(i, chord);
        }
    }

  private:
    uint8_t RandomTone(const SChord& chord) { return chord.Tone(random_.Below(3)); }

    int OnsetsToMeasureEnd(int i, int m) const {
        int count = 0;
        for (int s = i; s < kStepsPerMeasure * (m + 1); ++s) {
            count += rhythm_.Mark(s) != 0 ? 1 : 0;
        }
        return count;
    }

    // Three notes at i and the next two onsets. A figure stops at the end of
    // the song, and before a following measure whose melody the user fixed, so
    // that measure is never overwritten.
    int Figure(int i, uint8_t first, uint8_t second, uint8_t third) {
        pitches_.SetPitch(i, first);
        int last = i;
        for (uint8_t note : {second, third}) {
            int j = last + 1;
            while (j < kSongSteps && rhythm_.Mark(j) != 1) {
                ++j;
            }
            if (j >= kSongSteps) {
                break;
            }
            if (j / kStepsPerMeasure != i / kStepsPerMeasure && MelodyFixed(j / kStepsPerMeasure)) {
                break;
            }
            pitches_.SetPitch(j, note);
            last = j;
        }
        return last;
    }

    int UpperNeighbour(int i, const SChord& chord) {
        const uint8_t t = RandomTone(chord);
        return Figure(i, t, melody_.Snap(uint8_t(t + 2), 1, song_.CurrentMode()), t);
    }
    int LowerNeighbour(int i, const SChord& chord) {
        const uint8_t t = RandomTone(chord);
        return Figure(i, t, melody_.Snap(uint8_t(t - 1), 0, song_.CurrentMode()), t);
    }
    int RisingPassing(int i, const SChord& chord) {
        const int x = random_.Below(2);
        const uint8_t t1 = chord.Tone(x);
        return Figure(i, t1, melody_.Snap(uint8_t(t1 + 2), 1, song_.CurrentMode()),
                      chord.Tone(x + 1));
    }
    int FallingPassing(int i, const SChord& chord) {
        const int x = random_.Below(2) + 1;
        const uint8_t t1 = chord.Tone(x);
        return Figure(i, t1, melody_.Snap(uint8_t(t1 - 2), 0, song_.CurrentMode()),
                      chord.Tone(x - 1));
    }

    SMelodyGenerate& pitches_;
    const SRhythmGenerate& rhythm_;
    const SMelody& melody_;
    Random& random_;
    const SongQueries& song_;
    uint8_t prev_ = 0;
};

}  // namespace

void GenerateRhythm(SRhythmGenerate& rhythm, const SRhythm& lengths, Random& random,
                    const SongQueries& song) {
    int state = rhythm.StartState();
    for (int m = 0; m < kMeasures; ++m) {
        if (song.IsFixed(m, FixedKind::Rhythm)) {
            continue;
        }
        rhythm.ClearMeasureMarks(m);
        const int end = kStepsPerMeasure * (m + 1);
        int p = kStepsPerMeasure * m;
        while (true) {
            const int length = DrawLength(rhythm, lengths, random, state);
            if (p >= end) {
                break;  // the drawn length is discarded; the state carries on
            }
            rhythm.SetMark(p, 1);
            p += length;
        }
    }
}

void GeneratePitches(SMelodyGenerate& pitches, const SRhythmGenerate& rhythm, const SMelody& melody,
                     PitchMode mode, int k, int octaveShift, Random& random,
                     const SongQueries& song) {
    PitchPass pass(pitches, rhythm, melody, random, song);
    int i = 0;
    for (int m = 0; m < kMeasures; ++m) {
        const int end = kStepsPerMeasure * (m + 1);
        if (pass.MelodyFixed(m)) {
            i = end;
            continue;
        }
        while (i < end) {
            const SChord& chord = song.ChordSlot(SlotOfStep(i));
            if (rhythm.Mark(i) == 1) {
                if (mode == PitchMode::FixedVoicing) {
                    pass.PlaceVoicing(i, chord, k);
                } else {
                    i = pass.PlaceMelody(i, m, chord);
                }
            }
            ++i;
        }
    }
    for (int s = 0; s < kSongSteps; ++s) {
        if (!pass.MelodyFixed(s / kStepsPerMeasure) && rhythm.Mark(s) != 0) {
            pitches.AddToPitch(s, uint8_t(12 * octaveShift));
        }
    }
}

void GenerateMelody(Song& song) {
    GenerateRhythm(song.MelodyRhythm(), song.rhythm, song.random, song);
    GeneratePitches(song.MelodyPitches(), song.MelodyRhythm(), song.melody, PitchMode::Melody, 0, 1,
                    song.random, song);
}

void ApplyMelodyStyle(Song& song, MelodyStyle style) {
    SRhythmGenerate& rhythm = song.MelodyRhythm();
    const bool quarters = style == MelodyStyle::MoreQuarters;
    rhythm.SetStartState(quarters ? 4 : 6);
    const SRhythmGenerate::WeightRow styleRow =
        quarters ? SRhythmGenerate::WeightRow{0, 0, 10, 0, 60, 0, 30, 0}
                 : SRhythmGenerate::WeightRow{0, 0, 10, 0, 30, 0, 60, 0};
    for (int row = 0; row < 8; ++row) {
        rhythm.SetWeights(
            row, (row == 2 || row == 4 || row == 6) ? styleRow : SRhythmGenerate::WeightRow{});
    }
}

}  // namespace tontoko
