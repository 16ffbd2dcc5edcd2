#pragma once

namespace tontoko {

class Song;

// The notes a melody keeps to, both ends included.
struct NoteRange {
    int low = 0;
    int high = 0;
    bool Contains(int pitch) const { return pitch >= low && pitch <= high; }
};

// The melody's register in the current key and mode: from two semitones below
// the lowest tone of the seven chords to two above the highest, raised by the
// octave the melody generator adds. The generator's chord tones, neighbours,
// passing notes and single steps from a chord tone all lie inside it; only a
// run of several steps in one direction can leave it.
NoteRange MelodyRegister(const Song& song);

// Pitch class (0..11) of the key's tonic: the transposed major tonic ("ド") in
// major, the tonic of the relative minor ("ラ") in minor.
int TonicPitchClass(const Song& song);

// Ends the progression at home, without any random draw: measure 4 becomes
// I, I; measure 3 becomes V, V unless both its halves already lead home
// (IV, V or VII).
void FinishProgression(Song& song);

// Repairs the melody against the chord slots as they stand, without any random
// draw and without moving any onset. In every measure whose melody is not
// fixed, in order:
// - a note on a beat (steps 0, 4, 8, 12 of its measure) that is not a chord
//   tone of the chord at its onset moves to the nearest chord tone;
// - any other note that clashes with that chord moves to the nearest scale
//   tone that does not;
// - a note outside the register or the key moves by the same two rules;
// - the last onset of measure 4 becomes the tonic nearest the note before it
//   (the song's last note, sounding to the end). Should the tonic clash with a
//   chord chosen there by hand (III, V or VII in major), it becomes instead
//   the chord tone nearest the note before it: no note is left clashing.
// Every result lies in the register and the key. Of two candidates equally
// near, the one nearer the previous melody note (as already finished) wins,
// then the lower one. Notes of fixed measures stay, and count as previous
// notes for the notes after them.
void FinishMelody(Song& song);

}  // namespace tontoko
