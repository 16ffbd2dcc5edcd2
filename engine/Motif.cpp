#include "engine/Motif.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <tuple>
#include <vector>

#include "engine/Finish.h"
#include "engine/Harmony.h"
#include "engine/Song.h"

namespace tontoko {

namespace {

constexpr int kOctave = 12;
constexpr int kThemeMeasure = 0;
constexpr int kMotifMeasure = 2;

int FloorDiv(int a, int b) {
    return (a >= 0 ? a : a - b + 1) / b;
}

// A note as a place on the key's scale: its scale note (the in-key notes
// counted upward from note 0) and how many semitones it lies above it.
struct ScalePlace {
    int index;
    int alteration;
};

class KeyScale {
  public:
    KeyScale(const SMelody& melody, Mode mode) {
        for (int pc = 0; pc < kOctave; ++pc) {
            if (melody.InKey(uint8_t(pc), mode)) {
                classes_.push_back(pc);
            }
        }
    }

    ScalePlace PlaceOf(int pitch) const {
        const int octave = FloorDiv(pitch, kOctave);
        const int pc = pitch - octave * kOctave;
        // The highest scale note at or below the pitch, perhaps an octave down.
        int k = int(classes_.size()) - 1;
        while (k >= 0 && classes_[k] > pc) {
            --k;
        }
        if (k < 0) {
            return {(octave - 1) * Size() + Size() - 1, pc + kOctave - classes_.back()};
        }
        return {octave * Size() + k, pc - classes_[k]};
    }

    int PitchOf(ScalePlace place) const {
        const int octave = FloorDiv(place.index, Size());
        return octave * kOctave + classes_[place.index - octave * Size()] + place.alteration;
    }

  private:
    int Size() const { return int(classes_.size()); }

    std::vector<int> classes_;
};

struct Onset {
    int offset;  // step in the measure
    uint8_t mark;
    int pitch;
};

// Measure 1's notes moved `shift` places along the scale.
std::vector<int> Moved(const std::vector<Onset>& theme, const KeyScale& scale, int shift) {
    std::vector<int> pitches;
    for (const Onset& onset : theme) {
        if (onset.pitch == 0) {
            pitches.push_back(0);  // an onset without a note stays one
            continue;
        }
        ScalePlace place = scale.PlaceOf(onset.pitch);
        place.index += shift;
        pitches.push_back(scale.PitchOf(place));
    }
    return pitches;
}

bool AllInside(const std::vector<int>& pitches, const NoteRange& range) {
    for (int p : pitches) {
        if (p != 0 && !range.Contains(p)) {
            return false;
        }
    }
    return true;
}

// The note before measure 3, if any.
std::optional<int> NoteBefore(const Song& song) {
    for (int s = kMotifMeasure * kStepsPerMeasure - 1; s >= 0; --s) {
        if (static_cast<int8_t>(song.MelodyRhythm().Mark(s)) > 0) {
            return song.MelodyPitches().Pitch(s);
        }
    }
    return std::nullopt;
}

}  // namespace

void ApplyMotif(Song& song) {
    if (song.IsFixed(kMotifMeasure, FixedKind::Rhythm) ||
        song.IsFixed(kMotifMeasure, FixedKind::Melody)) {
        return;
    }
    std::vector<Onset> theme;
    for (int s = 0; s < kStepsPerMeasure; ++s) {
        const int step = kThemeMeasure * kStepsPerMeasure + s;
        const uint8_t mark = song.MelodyRhythm().Mark(step);
        if (static_cast<int8_t>(mark) > 0) {
            theme.push_back({s, mark, song.MelodyPitches().Pitch(step)});
        }
    }
    const auto sounding = std::find_if(theme.begin(), theme.end(),
                                       [](const Onset& onset) { return onset.pitch != 0; });
    if (sounding == theme.end()) {
        return;
    }
    const KeyScale scale(song.melody, song.CurrentMode());
    const NoteRange range = MelodyRegister(song);
    const int first = sounding->pitch;
    const int firstPlace = scale.PlaceOf(first).index;
    const SChord& chord =
        song.ChordSlot(SlotOfStep(kMotifMeasure * kStepsPerMeasure + sounding->offset));
    const std::optional<int> before = NoteBefore(song);

    // The start: smaller is better, compared in order.
    auto cost = [&](int q) {
        const bool leaves =
            !AllInside(Moved(theme, scale, scale.PlaceOf(q).index - firstPlace), range);
        return std::tuple(leaves, std::abs(q - first), before ? std::abs(q - *before) : 0, q);
    };
    std::optional<int> start;
    for (int q = range.low; q <= range.high; ++q) {
        if (IsChordTone(uint8_t(q), chord) && song.melody.InKey(uint8_t(q), song.CurrentMode()) &&
            (!start || cost(q) < cost(*start))) {
            start = q;
        }
    }
    if (!start) {
        return;
    }
    std::vector<int> pitches = Moved(theme, scale, scale.PlaceOf(*start).index - firstPlace);
    for (int& p : pitches) {
        while (p != 0 && p < range.low) {
            p += kOctave;
        }
        while (p > range.high) {
            p -= kOctave;
        }
    }

    song.MelodyRhythm().ClearMeasureMarks(kMotifMeasure);
    song.MelodyPitches().ClearMeasurePitches(kMotifMeasure);
    for (size_t i = 0; i < theme.size(); ++i) {
        const int step = kMotifMeasure * kStepsPerMeasure + theme[i].offset;
        song.MelodyRhythm().SetMark(step, theme[i].mark);
        song.MelodyPitches().SetPitch(step, uint8_t(pitches[i]));
    }
}

}  // namespace tontoko
