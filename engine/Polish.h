#pragma once

namespace tontoko {

class Song;

// The check boxes that work on a melody just generated.
struct MelodyPolish {
    bool finish = false;  // "きれいに仕上げる"
    bool motif = false;   // "くりかえしのあるメロディ"
};

// What the window and the composer do after GenerateMelody, in this order: the
// melody is finished (FinishMelody); measure 3 takes up measure 1 (ApplyMotif);
// with both, the melody is finished again, which changes only the notes that
// the new measure 3 leaves breaking a rule: its own, and a note beside it that
// it no longer leads to or from by step. Nothing is drawn from the random
// source; with neither box the melody stays exactly as generated.
void PolishMelody(Song& song, MelodyPolish polish);

}  // namespace tontoko
