#pragma once

namespace tontoko {

class Song;

// Measure 3 takes up measure 1: the same onsets, and the same steps along the
// key's scale. It starts on a chord tone of the chord under its first note: the
// one nearest measure 1's first note among those from which the whole measure
// lies in the melody's register (of two as near, the one nearer the note before
// measure 3, then the lower). Only when measure 1 spans more than the register
// allows does a note that would leave it come back by octaves. A note outside
// the key keeps its semitone above the scale note below it.
// Measure 3 is left alone when its rhythm or its melody is fixed, and when
// measure 1 has no note. Measure 1 may be fixed. No random draw is made.
void ApplyMotif(Song& song);

}  // namespace tontoko
