#pragma once

#include <QString>
#include <QUndoStack>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "document/SongDocument.h"

namespace tontoko {

// What the melody and octave grids show, kept beside the document: a cell may
// hold an octave left from an earlier note or the "*" of an applied rhythm,
// which the song alone does not tell. Each cell in two bytes, for every part
// of the song: the grids show the cells of the part shown.
struct GridCells {
    static constexpr int kPartCells = kMeasures * 8;
    // Name cells: 0 empty, 1..12 the note names from "ド", 13 "*".
    std::array<uint8_t, kMaxParts * kPartCells> names{};
    // Octave cells: the number shown, or kNoOctave for an empty cell.
    std::array<int8_t, kMaxParts * kPartCells> octaves{};
    static constexpr int8_t kNoOctave = INT8_MIN;

    GridCells() { octaves.fill(kNoOctave); }
    bool operator==(const GridCells&) const = default;

    // The cells of `part`, measure 1..4, column 0..7.
    static int Index(int part, int measure, int column) {
        return part * kPartCells + (measure - 1) * 8 + column;
    }
    // As a part is copied after itself, or removed, in a song of `parts`.
    void InsertCopy(int part, int parts);
    void Remove(int part, int parts);
    void ClearPart(int part);
};

// One moment of the song as undo restores it.
struct SongMoment {
    SongState state;
    GridCells grids;
    int position = 0;
    bool operator==(const SongMoment&) const = default;
};

// Undo and redo of the song document: every user action runs as one step
// that keeps the moments before and after it (shared with the neighbouring
// steps when equal). Up to 1,000 steps are kept.
class DocumentHistory {
  public:
    static constexpr int kStepLimit = 1000;

    struct Views {
        std::function<GridCells()> captureGrids;
        std::function<void(const GridCells&)> restoreGrids;
        // Every control, label and view shows the document again.
        std::function<void()> refresh;
    };

    // The stack of steps is a child of `owner` named "UndoStack", where the
    // window's tests find it.
    DocumentHistory(SongDocument& document, Views views, QObject* owner);
    ~DocumentHistory();
    DocumentHistory(const DocumentHistory&) = delete;
    DocumentHistory& operator=(const DocumentHistory&) = delete;

    QUndoStack& Stack() { return *stack_; }

    // Runs `action` (document operations and the cells they show) as one step
    // named `caption`, then lets every view follow. A step that changes
    // nothing is not kept. Actions run inside another action's step belong to
    // it.
    void Edit(const QString& caption, const std::function<void()>& action);
    // A press and drag: every change between Begin and End is one step.
    void Begin();
    void End(const QString& caption);
    bool InGesture() const { return gesture_ != nullptr; }

    // True while the views are being set from the document (an undo, a redo,
    // a refresh): the controls' handlers must then change nothing.
    bool Applying() const { return applying_ > 0; }
    // Sets the views from the document, handlers quiet.
    void Refresh();

    // Sets the document and the views to a moment (undo and redo).
    void Apply(const SongMoment& moment);

  private:
    std::shared_ptr<const SongMoment> Capture();

    SongDocument& document_;
    Views views_;
    QUndoStack* stack_;
    std::shared_ptr<const SongMoment> last_;  // the newest moment kept
    std::shared_ptr<const SongMoment> gesture_;
    int depth_ = 0;
    int applying_ = 0;
};

}  // namespace tontoko
