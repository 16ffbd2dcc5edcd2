#pragma once

#include "engine/TimeGrid.h"

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

    bool operator==(const PitchSpan&) const = default;
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
    static constexpr int kScrollBarHeight = 16;
    // A measure is drawn at least this wide, or a quarter of the columns'
    // width when that is less: four measures always fit. A song wider than
    // the columns scrolls.
    static constexpr int kMinMeasureWidth = 128;

    PianoRollLayout() = default;
    // `lane`: a row under the pitches for onsets that have no pitch.
    // `steps`: the song's steps (64 per part). `scroll`: how many pixels of
    // the song lie left of the columns (clamped to the song's width).
    PianoRollLayout(int width, int height, PitchSpan span, bool lane, int steps = kSongSteps,
                    int scroll = 0);

    // The same song unscrolled, as wide as it is drawn in `shown`: the
    // picture that is saved.
    static PianoRollLayout WholeSong(const PianoRollLayout& shown);

    // The rows a song needs: octaves -1 and 0 of the key, where melodies and
    // new notes lie, widened to every note (with the accompaniment when it is
    // drawn) in whole octaves from "ド" to "ド" of the key.
    static PitchSpan SpanOf(const RollSong& song, bool withAccompaniment);

    int Width() const { return width_; }
    int Height() const { return height_; }
    PitchSpan Span() const { return span_; }
    int RowCount() const { return span_.high - span_.low + 1; }
    bool HasLane() const { return lane_; }
    int Steps() const { return steps_; }
    int Measures() const { return steps_ / kStepsPerMeasure; }

    // The whole song's width in pixels, the scroll and its largest value (0
    // when the song fits the columns).
    int SongWidth() const { return songWidth_; }
    int Scroll() const { return scroll_; }
    int MaxScroll() const;
    bool Scrolls() const { return MaxScroll() > 0; }
    // The scroll that shows steps [begin, end) whole where they fit, moving
    // as little as possible from the present scroll.
    int ScrollShowing(int begin, int end) const;

    RollRect Labels() const;          // names and octave numbers, left of the keys
    RollRect Keys() const;            // keyboard strip
    RollRect MeasureNumbers() const;  // measure numbers and lock badges
    RollRect Chords() const;          // chord of each half measure
    RollRect Grid() const;            // the pitch rows
    RollRect Lane() const;            // empty (h 0) without a lane
    RollRect ScrollBar() const;       // under the lane; empty when the song fits
    RollRect Legend() const;
    // Where the song's columns show: numbers, chords, grid and lane.
    RollRect Columns() const;

    // The first and one past the last step whose column shows.
    int FirstVisibleStep() const;
    int EndVisibleStep() const;

    // Left edge of a step's column, step 0..Steps() (the last: the right
    // edge), scrolled: columns out of view lie left or right of Grid().
    int StepX(int step) const;
    // Top edge of a pitch row; RowTop(low - 1) is the bottom of the grid.
    int RowTop(int pitch) const;
    RollRect CellRect(int step, int pitch) const;
    // The cells of a note from `begin` to one before `end` in one row.
    RollRect SpanRect(int begin, int end, int pitch) const;
    RollRect LaneRect(int begin, int end) const;
    // One chord half (0..2 * Measures() - 1) in the chord strip.
    RollRect HalfRect(int half) const;
    // A measure's columns through numbers, chords, grid and lane.
    RollRect MeasureRect(int measure) const;

    // The step under x (-1 outside the columns) and the pitch under y (-1
    // outside the rows).
    int StepAt(int x) const;
    int PitchAt(int y) const;
    // The x of a playback position given in steps (fractions allowed).
    int PositionX(double step) const;

    // Every row, column and scroll where it is in `other`.
    bool operator==(const PianoRollLayout&) const = default;

  private:
    int width_ = 0;
    int height_ = 0;
    PitchSpan span_;
    bool lane_ = false;
    int steps_ = kSongSteps;
    int songWidth_ = 0;
    int scroll_ = 0;
};

}  // namespace tontoko
