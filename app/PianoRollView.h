#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

#include "app/PianoRollLayout.h"
#include "app/RollCursor.h"
#include "engine/RollNotes.h"

class QScrollBar;

namespace tontoko {

// What the roll asks of the window that owns the song. Steps are even (the
// eighth-note cells of the grids) and count through the whole song; the roll
// edits only the part shown. Pitches are those of the pressed rows.
struct RollEdits {
    // A left press and its release, or Enter or Space at the keyboard
    // cursor: what happens between them is one edit.
    std::function<void()> begin;
    std::function<void()> end;
    // A left press on a cell, or Enter or Space: a new note, or the cell's
    // note to that row.
    std::function<void(int step, int rowPitch)> place;
    // The pressed note dragged to the row of `rowPitch`.
    std::function<void(int step, int rowPitch)> drag;
    // A right press in a note's column, or Delete on the selected note or,
    // with none selected, on the note at the keyboard cursor.
    std::function<void(int step)> remove;
    // A press in another part's measures, or the keyboard cursor moved
    // there: that part is to be shown. Nothing else happens.
    std::function<void(int part)> show;
};

// The picture of the song: rows of pitches over the sixteenth columns of all
// its parts, the chords, the melody as bars and, while a song plays, the
// playhead. A song wider than the view scrolls sideways under the fixed
// keys; the part shown is framed and scrolled into view when it changes.
// The picture without the playhead is kept and drawn again only when the
// song, the size or the scroll changes, so that following the playback
// costs little.
//
// From the keyboard: the arrow keys move a cursor cell (shown while the view
// has the focus) by an eighth note or a row; Enter or Space places a note at
// it through the edits of a press and release; Delete removes the selected
// note or, with none selected, the note sounding at the cursor's step. Moving the cursor ends the
// selection. The cursor's place is the view's accessible name, so that a
// screen reader says it at each move.
class PianoRollView : public QWidget {
    Q_OBJECT
  public:
    explicit PianoRollView(QWidget* parent = nullptr);

    void SetSong(RollSong song);
    const RollSong& Song() const { return song_; }
    void SetEdits(RollEdits edits) { edits_ = std::move(edits); }
    // Whether the bass and accompaniment widen the rows.
    void SetShowAccompaniment(bool on);

    // The playback position in steps, or nothing when no song plays.
    void SetPlayhead(std::optional<double> step);
    std::optional<double> Playhead() const { return playhead_; }
    // The selected note's onset step, if any.
    std::optional<int> Selection() const { return selected_; }
    RollCursor Cursor() const { return cursor_; }

    const PianoRollLayout& Layout() const { return layout_; }
    // The picture as it would be saved: the whole song, unscrolled, without
    // playhead or selection.
    QImage Picture() const;

    // The pixels of the song left of the columns.
    int Scroll() const { return layout_.Scroll(); }
    void SetScroll(int scroll);
    QScrollBar* ScrollBar() const { return scrollBar_; }

    QSize sizeHint() const override { return {750, 400}; }
    QSize minimumSizeHint() const override { return {480, 260}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // The steps the cursor can reach: the whole song.
    int StepCount() const { return song_.StepCount(); }
    int FirstShownStep() const { return song_.shownPart * kSongSteps; }
    bool InShownPart(int step) const { return RollSong::PartOf(step) == song_.shownPart; }
    // Scrolls as little as needed for steps [begin, end) to show.
    void ShowSteps(int begin, int end);
    // Asks the window to show the part of `step`; true when that was another.
    bool ShowPartOf(int step);
    void MoveCursor(CursorMove move);
    void SetCursor(RollCursor cursor);
    // Enter and Space: a note at the cursor's cell and row, through the edits
    // of a press and release, as one step.
    void PlaceAtCursor();
    void DeleteNote();
    // The accessible name follows the cursor's place; a change is sent to
    // assistive technology unless `quietly`.
    void NameCursorPlace(bool quietly = false);
    void Relayout();
    void EnsurePicture();
    void EnsurePlayingPicture();
    // The melody note whose bar is under a point, or nullptr.
    const RollNote* BarAt(int step, int pitch, bool lane) const;
    QRect PlayheadRect(std::optional<double> step) const;
    void PlaceScrollBar();

    RollSong song_;
    RollEdits edits_;
    bool showAccompaniment_ = false;
    PianoRollLayout layout_;
    QImage picture_;
    QImage playingPicture_;  // the same with the measures tinted as playing
    bool pictureStale_ = true;
    // Columns of the picture to draw again, when only the melody there changed.
    QRect staleColumns_;
    bool playingStale_ = true;
    std::optional<double> playhead_;
    std::optional<int> selected_;
    std::optional<int> dragStep_;
    int dragPitch_ = -1;
    RollCursor cursor_;
    int scroll_ = 0;
    QScrollBar* scrollBar_ = nullptr;
};

}  // namespace tontoko
