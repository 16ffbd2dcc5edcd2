#pragma once

// Where everything of the piano roll lies, in pixels: shared by the painting,
// the mouse and the tests. Plain C++.
namespace tontoko {

struct RollSong;

struct RollRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    int Right() const { return x + w; }  // one past the last column
    int Bottom() const { return y + h; }
    bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// The lowest and highest pitch row.
struct PitchSpan {
    int low = 60;
    int high = 84;
};

class PianoRollLayout {
  public:
    static constexpr int kLabelWidth = 44;  // note name and octave number
    static constexpr int kKeysWidth = 20;   // keyboard strip
    static constexpr int kNumbersHeight = 18;
    static constexpr int kChordsHeight = 30;
    static constexpr int kLaneHeight = 14;  // onsets without a pitch
    static constexpr int kLegendHeight = 22;
    static constexpr int kMargin = 4;

    PianoRollLayout() = default;
    // `lane`: a row under the pitches for onsets that have no pitch.
    PianoRollLayout(int width, int height, PitchSpan span, bool lane);

    // The rows a song needs: octaves -1 and 0 of the key, where melodies and
    // new notes lie, widened to every note (with the accompaniment when it is
    // drawn) in whole octaves from "ド" to "ド" of the key.
    static PitchSpan SpanOf(const RollSong& song, bool withAccompaniment);

    int Width() const { return width_; }
    int Height() const { return height_; }
    PitchSpan Span() const { return span_; }
    int RowCount() const { return span_.high - span_.low + 1; }
    bool HasLane() const { return lane_; }

    RollRect Labels() const;          // names and octave numbers, left of the keys
    RollRect Keys() const;            // keyboard strip
    RollRect MeasureNumbers() const;  // measure numbers and lock badges
    RollRect Chords() const;          // chord of each half measure
    RollRect Grid() const;            // the pitch rows
    RollRect Lane() const;            // empty (h 0) without a lane
    RollRect Legend() const;

    // Left edge of a step's column, step 0..64 (64: the right edge).
    int StepX(int step) const;
    // Top edge of a pitch row; RowTop(low - 1) is the bottom of the grid.
    int RowTop(int pitch) const;
    RollRect CellRect(int step, int pitch) const;
    // The cells of a note from `begin` to one before `end` in one row.
    RollRect SpanRect(int begin, int end, int pitch) const;
    RollRect LaneRect(int begin, int end) const;
    // One chord half (0..7) in the chord strip.
    RollRect HalfRect(int half) const;
    // A measure's columns through numbers, chords, grid and lane.
    RollRect MeasureRect(int measure) const;

    // The step under x (-1 outside the columns) and the pitch under y (-1
    // outside the rows).
    int StepAt(int x) const;
    int PitchAt(int y) const;
    // The x of a playback position given in steps (fractions allowed).
    int PositionX(double step) const;

  private:
    int width_ = 0;
    int height_ = 0;
    PitchSpan span_;
    bool lane_ = false;
};

}  // namespace tontoko
