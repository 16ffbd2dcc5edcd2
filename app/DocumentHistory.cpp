#include "app/DocumentHistory.h"

#include <QUndoCommand>
#include <algorithm>

namespace tontoko {

namespace {

// One user action: the moments before and after it.
class SongStep : public QUndoCommand {
  public:
    SongStep(DocumentHistory& history, const QString& caption,
             std::shared_ptr<const SongMoment> before, std::shared_ptr<const SongMoment> after)
        : QUndoCommand(caption),
          history_(history),
          before_(std::move(before)),
          after_(std::move(after)) {}

    void undo() override { history_.Apply(*before_); }
    void redo() override {
        // Pushing the step runs redo once: the action has been done already.
        if (done_) {
            done_ = false;
            return;
        }
        history_.Apply(*after_);
    }

  private:
    DocumentHistory& history_;
    std::shared_ptr<const SongMoment> before_;
    std::shared_ptr<const SongMoment> after_;
    bool done_ = true;
};

}  // namespace

void GridCells::InsertCopy(int part, int parts) {
    const auto shift = [&](auto& cells) {
        auto first = cells.begin() + (part + 1) * kPartCells;
        std::copy_backward(first, cells.begin() + parts * kPartCells,
                           cells.begin() + (parts + 1) * kPartCells);
        std::copy(first - kPartCells, first, first);
    };
    shift(names);
    shift(octaves);
}

void GridCells::Remove(int part, int parts) {
    const auto shift = [&](auto& cells) {
        std::copy(cells.begin() + (part + 1) * kPartCells, cells.begin() + parts * kPartCells,
                  cells.begin() + part * kPartCells);
    };
    shift(names);
    shift(octaves);
    ClearPart(parts - 1);
}

void GridCells::ClearPart(int part) {
    std::fill_n(names.begin() + part * kPartCells, kPartCells, uint8_t{0});
    std::fill_n(octaves.begin() + part * kPartCells, kPartCells, kNoOctave);
}

DocumentHistory::DocumentHistory(SongDocument& document, Views views, QObject* owner)
    : document_(document), views_(std::move(views)), stack_(new QUndoStack(owner)) {
    stack_->setObjectName(QStringLiteral("UndoStack"));
    stack_->setUndoLimit(kStepLimit);
}

DocumentHistory::~DocumentHistory() {
    // The steps refer to this history: they go with it.
    delete stack_;
}

std::shared_ptr<const SongMoment> DocumentHistory::Capture() {
    SongMoment moment{document_.Snapshot(), views_.captureGrids(), document_.Position()};
    // Neighbouring steps share the moment between them.
    if (last_ && *last_ == moment) {
        return last_;
    }
    last_ = std::make_shared<const SongMoment>(std::move(moment));
    return last_;
}

void DocumentHistory::Edit(const QString& caption, const std::function<void()>& action) {
    if (applying_ > 0) {
        return;
    }
    if (depth_ > 0) {
        ++depth_;
        action();
        --depth_;
        return;
    }
    if (gesture_) {
        // Part of a press and drag: kept as one step at its end, shown now.
        ++depth_;
        action();
        --depth_;
        Refresh();
        return;
    }
    const std::shared_ptr<const SongMoment> before = Capture();
    ++depth_;
    action();
    --depth_;
    const std::shared_ptr<const SongMoment> after = Capture();
    if (*after != *before) {
        stack_->push(new SongStep(*this, caption, before, after));
    }
    Refresh();
}

void DocumentHistory::Begin() {
    if (applying_ > 0 || gesture_) {
        return;
    }
    gesture_ = Capture();
}

void DocumentHistory::End(const QString& caption) {
    if (!gesture_) {
        return;
    }
    const std::shared_ptr<const SongMoment> before = std::move(gesture_);
    gesture_.reset();
    const std::shared_ptr<const SongMoment> after = Capture();
    if (*after != *before) {
        stack_->push(new SongStep(*this, caption, before, after));
    }
    Refresh();
}

void DocumentHistory::Refresh() {
    ++applying_;
    views_.refresh();
    --applying_;
}

void DocumentHistory::Apply(const SongMoment& moment) {
    ++applying_;
    document_.Restore(moment.state);
    document_.SetPosition(moment.position);
    views_.refresh();
    views_.restoreGrids(moment.grids);
    --applying_;
    last_.reset();
}

}  // namespace tontoko
