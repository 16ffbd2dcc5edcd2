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

// Finishes the melody against the chord slots as they stand, without any random
// draw and without moving any onset. Notes of measures whose melody is fixed
// stay, and count as the neighbours of the notes beside them. Every other note
// keeps to these rules:
// - on beats 1 and 3 (steps 0 and 8 of its measure) it is a chord tone of the
//   chord there, so never a semitone or a tritone against it;
// - elsewhere it is a chord tone, or a passing or neighbour tone: a note
//   outside the chord approached and left by a step of one or two semitones;
// - it lies in the register and the key;
// - the last onset of measure 4 is the tonic nearest the note before it (the
//   song's last note, sounding to the end); of two as near, the lower. Should
//   the tonic clash with a chord chosen there by hand (III, V or VII in major),
//   it is instead the chord tone nearest the note before it.
// A note that breaks a rule as written is replaced. A note off beats 1 and 3
// just before or after it may move with it, to lead into it by step. Any other
// note stays, unless its new neighbours leave it breaking a rule. Of all the
// melodies this allows, the pass takes the one that keeps the line moving best,
// weighing, heaviest first: a repeated note the written melody did not have; a
// move turned against the way the written line went; each step; the number and
// size of the changes. Finishing a finished melody changes nothing.
void FinishMelody(Song& song);

// As FinishMelody, where the shape of the written line matters more than steps:
// a move turned against the written line is avoided before anything but a new
// repeated note. For a melody whose measure 3 has just taken up measure 1.
void FinishMelodyKeepingContour(Song& song);

}  // namespace tontoko
