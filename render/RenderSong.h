#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/SMelodyGenerate.h"
#include "engine/SRhythmGenerate.h"

namespace tontoko {

class Song;
struct PatternLibrary;

// The pattern choices rendering reads. An index outside the library (for
// example -1 when a list is empty) leaves those voices silent.
struct RenderChoice {
    bool drumsOn = true;
    int accPattern = 0;   // 0-based position in the accompaniment list
    int drumPattern = 0;  // 0-based position in the drum list
};

// The onset marks a pattern part gives a voice: each step character with '0'
// subtracted; steps beyond a shorter part have none.
std::array<uint8_t, kSongSteps> PartMarks(const std::string& part);

// The position of the accompaniment pattern whose bass and chord notes jump an
// octave on the second and fourth beat of every measure.
inline constexpr int kOctaveJumpPattern = 3;

// Whether rendering with accompaniment pattern `accPattern` (its position in
// the list) raises the bass and chord notes of `step` an octave.
bool OctaveJumpAt(int accPattern, int step);

// Fills the bass, accompaniment and drum voices from the patterns and the chord
// slots. The melody voice is not touched.
void RenderSong(Song& song, const PatternLibrary& library, const RenderChoice& choice);

// The bass (voice 0) and accompaniment (voices 1..3) the next RenderSong would
// write, computed on copies: the song itself, its voices and its random source
// stay exactly as they are, so a later Save or Play writes the same bytes.
struct AccompanimentVoices {
    std::array<SRhythmGenerate, 4> rhythms;
    std::array<SMelodyGenerate, 4> pitches;
};
AccompanimentVoices PreviewAccompaniment(const Song& song, const PatternLibrary& library,
                                         const RenderChoice& choice);

}  // namespace tontoko
