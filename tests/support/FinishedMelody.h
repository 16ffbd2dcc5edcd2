// What every finished melody keeps to, checked note by note: the test side of
// the finishing rules, shared by the engine and the rendering tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine/Finish.h"
#include "engine/Harmony.h"
#include "engine/Song.h"

namespace tontoko {

struct MelodyOnset {
    int step;
    int pitch;
};

inline std::vector<MelodyOnset> MelodyOnsets(const Song& song) {
    std::vector<MelodyOnset> onsets;
    for (int s = 0; s < kSongSteps; ++s) {
        if (static_cast<int8_t>(song.MelodyRhythm().Mark(s)) > 0) {
            onsets.push_back({s, song.MelodyPitches().Pitch(s)});
        }
    }
    return onsets;
}

// The song's last note, at `step`, as the rules want it after `previous`: the
// tonic nearest it (the lower of two), or, when the tonic clashes with the
// chord there, the chord tone nearest it.
inline int ExpectedEnding(const Song& song, int step, int previous) {
    const NoteRange range = MelodyRegister(song);
    const SChord& chord = song.ChordSlot(SlotOfStep(step));
    int tonic = 0;
    int chordTone = 0;
    for (int p = range.high; p >= range.low; --p) {
        if (PitchClass(p) == TonicPitchClass(song) && !Clashes(uint8_t(p), chord) &&
            (tonic == 0 || std::abs(p - previous) <= std::abs(tonic - previous))) {
            tonic = p;
        }
        if (IsChordTone(uint8_t(p), chord) &&
            (chordTone == 0 || std::abs(p - previous) <= std::abs(chordTone - previous))) {
            chordTone = p;
        }
    }
    return tonic != 0 ? tonic : chordTone;
}

// Every note of a measure whose melody is not fixed: in the key and the
// register; a chord tone on beats 1 and 3; elsewhere a chord tone or a note
// approached and left by a step; the song's last note the ending above.
inline void ExpectKeepsToTheRules(const Song& song) {
    const std::vector<MelodyOnset> melody = MelodyOnsets(song);
    const NoteRange range = MelodyRegister(song);
    for (size_t i = 0; i < melody.size(); ++i) {
        const auto [step, p] = melody[i];
        if (song.IsFixed(step / kStepsPerMeasure, FixedKind::Melody)) {
            continue;
        }
        SCOPED_TRACE("step " + std::to_string(step) + " pitch " + std::to_string(p));
        const SChord& chord = song.ChordSlot(SlotOfStep(step));
        EXPECT_TRUE(song.melody.InKey(uint8_t(p), song.CurrentMode()));
        EXPECT_TRUE(range.Contains(p));
        if (step % 8 == 0) {
            EXPECT_TRUE(IsChordTone(uint8_t(p), chord));
        } else if (!IsChordTone(uint8_t(p), chord)) {
            auto isStep = [](int d) { return std::abs(d) == 1 || std::abs(d) == 2; };
            EXPECT_TRUE(i > 0 && i + 1 < melody.size() && isStep(p - melody[i - 1].pitch) &&
                        isStep(melody[i + 1].pitch - p));
        }
        if (i + 1 == melody.size() && step >= kSongSteps - kStepsPerMeasure && i > 0) {
            EXPECT_EQ(p, ExpectedEnding(song, step, melody[i - 1].pitch));
        }
    }
}

}  // namespace tontoko
