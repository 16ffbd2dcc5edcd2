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

// What the grids' refresh shows for a note of pitch p (read signed): its name
// and octave number.
CellTexts NoteTexts(const Song& song, int pitch, int k);

// Editing from the piano roll, on the same cells and with the same rules, so
// that grids, roll and the written file always agree. A grid press still
// adjusts the notes these leave (37..96).

// The pitch a press on a roll row gives a note: kept within 37..96 and
// snapped into the key (out-of-key rows give the key note below).
uint8_t RollNotePitch(const Song& song, int rowPitch);

// Starts a note at the cell with `pitch`, or gives the cell's note that pitch:
// onset mark 1 and the pitch. Returns what the grids show for it afterwards.
CellTexts PlaceCellNote(Song& song, int measure, int column, uint8_t pitch, int k);

// Moves the cell's note to the neighbouring note of the key above (direction
// +1) or below (-1). Nothing happens, and nothing is returned, when the cell
// holds no note or the move would leave 37..96 further.
std::optional<CellTexts> StepCellInKey(Song& song, int measure, int column, int direction, int k);

// The clear target's text: "n小節目の" for 1..4, counted in the song from
// `firstMeasure` (the song's number of the part's first measure), and
// "全小節の" otherwise.
std::string ClearTargetText(int position, int firstMeasure = 1);

}  // namespace tontoko
