#pragma once

#include <string>

#include "engine/Mode.h"

namespace tontoko {

class Song;

// Plain-word hints for the musical symbols on screen, for a person who cannot
// read music. UTF-8. Degrees are 1..7, measures 1..4 as on screen; a degree
// outside 1..7 (a selector without a choice) gives an empty text.

// The three tones of chord `degree` in the song's key and mode, named as the
// melody grids name notes and joined by "・": "ド・ミ・ソ".
std::string ChordToneNames(const Song& song, int degree);

// The letter name of chord `degree` in the song's key and mode, spelled from
// the key name's tonic letter (♭ in keys named 変…, ♯ in keys named 嬰…), with
// "m" for a minor and "°" for a diminished chord: "C", "F♯m", "E♯°".
std::string ChordLetterName(const Song& song, int degree);

// What chord `degree` feels like in the major or the minor mode.
const std::string& ChordFeeling(Mode mode, int degree);

// The hint of a chord selector showing `degree`:
// "ド・ミ・ソ（ハ長調では C）：いちばん落ちつく和音。曲のはじめとおわりに".
std::string ChordHint(const Song& song, int degree);

// The hints of a measure's melody row (what a press does) and octave row
// (what the numbers mean).
std::string MelodyRowHint(int measure);
std::string OctaveRowHint(int measure);

// The hint of the percentage of the transition from chord `fromDegree` to
// chord `toDegree`: "Ⅰ のあとに Ⅳ が来る確率（％）".
std::string ProbabilityHint(int fromDegree, int toDegree);
// The hint of the row selector while it shows the row of `fromDegree`.
std::string ProbabilityRowHint(int fromDegree);

}  // namespace tontoko
