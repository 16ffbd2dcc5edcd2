#pragma once

#include <ostream>
#include <string>

namespace tontoko {
class SongDocument;
}

namespace tontoko::cli {

// Writes the song for someone who does not read music: per measure of every
// part the chord of each half (Ⅰ..Ⅶ) and, per eighth-note cell, the note name
// and octave the window's grids show. Measures are numbered through the
// song; a song of several parts gets a heading per part, which names an
// earlier part it repeats.
void PrintSong(std::ostream& out, const SongDocument& document, const std::string& title);

// Display columns of a UTF-8 text (full-width characters count two).
int DisplayWidth(const std::string& text);

}  // namespace tontoko::cli
