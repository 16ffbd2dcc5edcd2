#pragma once

#include "engine/SongQueries.h"

namespace tontoko {

class Random;
class SMelody;
class SMelodyGenerate;
class SRhythm;
class SRhythmGenerate;
class Song;

enum class PitchMode { Melody = 0, FixedVoicing = 1 };
enum class MelodyStyle { MoreQuarters, MoreEighths };

// The rhythm pass: onset marks from the voice's Markov weights, fixed measures
// left alone.
void GenerateRhythm(SRhythmGenerate& rhythm, const SRhythm& lengths, Random& random,
                    const SongQueries& song);

// The pitch pass. Melody mode draws chord tones, steps and figures; fixed
// voicing gives voice tone k (0..3) of each step's chord. Octave shift o adds
// 12*o to every onset of a measure whose melody is not fixed.
void GeneratePitches(SMelodyGenerate& pitches, const SRhythmGenerate& rhythm, const SMelody& melody,
                     PitchMode mode, int k, int octaveShift, Random& random,
                     const SongQueries& song);

// "メロディ生成": the rhythm pass and the melody pitch pass on voice 4, raised one
// octave.
void GenerateMelody(Song& song);

// Sets the melody voice's start state and its eight weight rows for a style.
void ApplyMelodyStyle(Song& song, MelodyStyle style);

}  // namespace tontoko
