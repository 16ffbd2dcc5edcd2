#pragma once

#include <QString>
#include <cstdint>
#include <string>

namespace tontoko {

// What the rhythm dialog writes into the main window when it applies a rhythm
// to a measure (1..4): the melody voice's onset marks, the cells of that
// measure's melody and octave grids, and its fix-rhythm check box (whose
// handler then enables the fix-melody box).
class RhythmTarget {
  public:
    virtual ~RhythmTarget() = default;
    virtual void SetMelodyMark(int step, uint8_t mark) = 0;
    virtual uint8_t MelodyMark(int step) const = 0;
    virtual void SetMelodyCell(int measure, int column, const QString& text) = 0;
    virtual void SetOctaveCell(int measure, int column, const QString& text) = 0;
    virtual void CheckFixRhythm(int measure) = 0;
    // The song's number of the first measure the target shows: the dialog
    // offers that measure and the three after it.
    virtual int FirstMeasure() const { return 1; }

    // Applies a registered rhythm (at least 16 step characters) to a measure:
    // its marks, a "*" in the name cell of each eighth-note onset with the
    // octave cells emptied, then the fix box. A target that keeps a history
    // makes the whole application one change.
    virtual void ApplyRhythm(int measure, const std::string& pattern);
};

}  // namespace tontoko
