#pragma once

#include <array>
#include <optional>
#include <string>

namespace tontoko {

class Song;

// Editing the melody voice through the grids of the four measures. Measures
// are numbered 1..4 as on screen; cell i (0..7) of measure m stands for step
// 16(m-1) + 2i. k is the key control's signed offset (-6..5).

enum class PressButton { Left, Right, Other };

struct CellTexts {
    std::string name;
    std::string octave;
};

int CellStep(int measure, int column);

// A press on a melody cell: an existing note (37..96) moves a semitone down
// (left) or up (right); anything else starts a new note at 72. Returns what
// the cell's name and octave show afterwards.
CellTexts PressCell(Song& song, int measure, int column, PressButton button, int k);

// The Delete key on a cell: removes a note whose pitch, read signed, is above
// 0. Returns whether the cells are to be emptied.
bool DeleteCell(Song& song, int measure, int column);

// Empties the onsets and pitches of one measure (1..4), or of all.
void ClearMeasure(Song& song, int measure);
void ClearAll(Song& song);

// What the grids show after a refresh: every name cell (empty where no onset)
// and the octave cells of onsets (nothing: leave the cell as it is).
struct MelodyCells {
    std::array<std::array<std::string, 8>, 4> names;
    std::array<std::array<std::optional<std::string>, 8>, 4> octaves;
};
MelodyCells RefreshCells(const Song& song, int k);

// The clear target's text: "n小節目の" for 1..4, "全小節の" otherwise.
std::string ClearTargetText(int position);

}  // namespace tontoko
