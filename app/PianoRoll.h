#pragma once

#include <QRect>
#include <QWidget>
#include <functional>

#include "app/PianoRollView.h"

class QCheckBox;
class QPushButton;
class QTimer;

namespace tontoko {

class FileDialogs;
class Messages;

// The piano roll: a window of its own beside the main window, showing the song
// as a picture that follows playback and takes edits. Created hidden at
// start-up and kept for the whole run; closing it only hides it, so it opens
// again with its size and place.
class TSPianoRoll : public QWidget {
    Q_OBJECT
  public:
    // Playback positions are polled about 30 times a second.
    static constexpr int kPollMilliseconds = 33;

    TSPianoRoll(QWidget* owner, FileDialogs& fileDialogs, Messages& messages);

    // Shows the window (beside the owner the first time) and brings it forward.
    void Open();

    void SetSong(RollSong song) { view_->SetSong(std::move(song)); }
    void SetEdits(RollEdits edits) { view_->SetEdits(std::move(edits)); }
    bool ShowsAccompaniment() const;
    // Asked when the accompaniment box changes: the owner sends the song again.
    void SetRefresh(std::function<void()> refresh) { refresh_ = std::move(refresh); }

    // A song plays: `tick` reports the player's position in file ticks (-1
    // when it does not play); `startTick` is where step 0 lies in the file.
    void StartPlayback(std::function<int()> tick, int startTick);
    void StopPlayback();
    bool Polling() const;

    PianoRollView* View() const { return view_; }

    // B_RollSave: the picture as a PNG file, through the save dialog.
    void B_RollSaveClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PlaceBesideOwner();
    void Poll();
    void UpdatePolling();
    // The accompaniment view has about twice the rows: the window grows so
    // that they stay readable, and goes back when the view is turned off.
    void FitRows(bool accompaniment);

    FileDialogs& fileDialogs_;
    Messages& messages_;
    PianoRollView* view_ = nullptr;
    QCheckBox* CB_RollAcc = nullptr;
    QPushButton* B_RollSave = nullptr;
    QTimer* timer_ = nullptr;
    std::function<void()> refresh_;
    std::function<int()> tick_;
    int startTick_ = 0;
    bool playing_ = false;
    bool placed_ = false;
    QRect geometry_;
    int heightBeforeGrowing_ = 0;
    int grownHeight_ = 0;
};

}  // namespace tontoko
