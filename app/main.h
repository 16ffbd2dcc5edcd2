#pragma once

#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/DocumentHistory.h"
#include "app/PageHost.h"
#include "app/Platform.h"
#include "document/SongDocument.h"
#include "editing/RhythmTarget.h"

class QAction;
class QTabWidget;

namespace tontoko {

class DialogFolder;
class DocumentOpener;
class FileDialogs;
class MainPage;
class Messages;
class MidiPlayer;
class OfflineSynth;
class PlayerError;
class SoundPage;
class TSChainDialog;
class TSPianoRoll;
class TSRhythmCfg;
class TSVersion;

// The main window: owns the song document and its history for the whole run,
// composes the two pages, the menus, the tool bar and the dialogs, and plays,
// saves and exports the song. It declares no signals or slots of its own
// (handlers are connected by member pointer), so it needs no meta-object
// code: main.cpp beside this header would otherwise compile it twice.
class TSMain : public QMainWindow, public PageHost, public RhythmTarget {
  public:
    explicit TSMain(const Platform& platform = {}, QWidget* parent = nullptr);
    ~TSMain() override;

    // PageHost.
    SongDocument& Document() override { return document_; }
    DocumentHistory& History() override { return history_; }
    Messages& MessageBoxes() override { return *messages_; }
    void AuditionNote(uint8_t pitch) override;
    void AuditionChord(int degree) override;
    void SoundPreview(const std::vector<LiveEvent>& events) override;
    bool Playing() const override { return playing_; }

    // RhythmTarget: the rhythm dialog applies a registered rhythm to measure
    // 1..4 of the part shown, as one change.
    void SetMelodyMark(int step, uint8_t mark) override;
    uint8_t MelodyMark(int step) const override;
    void SetMelodyCell(int measure, int column, const QString& text) override;
    void SetOctaveCell(int measure, int column, const QString& text) override;
    void CheckFixRhythm(int measure) override;
    int FirstMeasure() const override;
    void ApplyRhythm(int measure, const std::string& pattern) override;

    // Menu and tool bar.
    void MI_OpenClick();
    void MI_SaveClick();
    void MI_ChainClick();
    void MI_ExitClick();
    void MI_ResistClick();
    void MI_HelpClick();
    void MI_AboutClick();
    void TB_OpenClick();
    void TB_SaveClick();
    void TB_ChainClick();
    void TB_PlayClick();
    void TB_StopClick();
    // The play menu: play and stop as the tool bar does, and the loop, which
    // the tool bar's loop button mirrors.
    void MI_PlayClick();
    void MI_StopClick();
    void MI_LoopClick(bool on);
    void TB_LoopClick(bool on);
    // Added beside the specified commands: audio export, the piano roll, undo.
    void MI_ExportClick();
    void TB_ExportClick();
    void MI_PianoRollClick();
    void TB_PianoRollClick();
    // The player's end-of-playback notification.
    void MPNotify();

    // Opens a saved song as the song of the window, as one step of undo; a
    // file that is not such a song is reported and changes nothing. True
    // when the song was opened.
    bool OpenFile(const QString& path);

  protected:
    void closeEvent(QCloseEvent* event) override;
    // One saved song dropped on the window is opened.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    void BuildMenuAndToolBar();
    void ConnectHandlers();
    void CreateDialogs();
    void KeepOuterSize();
    void LoadPatterns();
    // Every control, label and view shows the document.
    void RefreshViews();
    // Unsaved changes: asks whether to save them first. False: stay open.
    bool ConfirmUnsaved();
    // Save's dialog and write; true when the song was written.
    bool SaveSong();

    // Playback and sound.
    bool WriteSong(const QString& path);
    void FinishPlayback();
    MidiPlayer& Player();
    void PlaybackStateChanged();
    void LoadSoundInBackground();
    OfflineSynth& Exporter();
    void ShowPlayerError(const PlayerError& error);

    // The piano roll (MainPianoRoll.cpp), created hidden after the dialogs.
    void CreatePianoRoll();
    void RefreshPianoRoll();
    // Roll edits at a step of the whole song; only the part shown is edited.
    void RollPlace(int songStep, int rowPitch);
    void RollDrag(int songStep, int rowPitch);
    void RollRemove(int songStep);
    // The cell of the part shown (0..63) a song step names, if it lies there.
    std::optional<int> RollPartStep(int songStep) const;

    // Platform services (owned when not given).
    std::unique_ptr<Messages> ownMessages_;
    std::unique_ptr<FileDialogs> ownFileDialogs_;
    std::unique_ptr<DocumentOpener> ownOpener_;
    std::unique_ptr<MidiPlayer> ownPlayer_;
    Messages* messages_ = nullptr;
    FileDialogs* fileDialogs_ = nullptr;
    DocumentOpener* opener_ = nullptr;
    MidiPlayer* player_ = nullptr;
    std::shared_ptr<OfflineSynth> exporter_;  // audio export, loaded once

    // The song, and the history of its changes.
    SongDocument document_;
    DocumentHistory history_;
    bool playing_ = false;
    std::unique_ptr<DialogFolder> dialogFolder_;  // where the file dialogs open
    bool shown_ = false;
    bool outerSizeApplied_ = false;
    bool closeConfirmed_ = false;
    QPoint placement_;  // top-left corner of the outer frame

    MainPage* mainPage_ = nullptr;
    SoundPage* soundPage_ = nullptr;
    QTabWidget* tabs_ = nullptr;

    // Dialogs, created hidden after the window's own construction.
    TSChainDialog* chainDialog_ = nullptr;
    TSRhythmCfg* rhythmDialog_ = nullptr;
    TSVersion* versionDialog_ = nullptr;
    TSPianoRoll* pianoRoll_ = nullptr;
    // Deletes the roll, and forgets it, before the document it shows goes: it
    // is declared after the document, so it is destroyed first.
    struct PianoRollOwner {
        TSPianoRoll*& roll;
        ~PianoRollOwner();
    };
    PianoRollOwner pianoRollOwner_{pianoRoll_};

    // Menu and tool bar.
    QAction* MI_Open = nullptr;
    QAction* MI_Save = nullptr;
    QAction* MI_Chain = nullptr;
    QAction* MI_Exit = nullptr;
    QAction* MI_Undo = nullptr;
    QAction* MI_Redo = nullptr;
    QAction* MI_Resist = nullptr;
    QAction* MI_Help = nullptr;
    QAction* MI_About = nullptr;
    QAction* TB_Open = nullptr;
    QAction* TB_Save = nullptr;
    QAction* TB_Chain = nullptr;
    QAction* TB_Undo = nullptr;
    QAction* TB_Redo = nullptr;
    QAction* TB_Play = nullptr;
    QAction* TB_Stop = nullptr;
    QAction* MI_Play = nullptr;
    QAction* MI_Stop = nullptr;
    QAction* MI_Loop = nullptr;
    QAction* TB_Loop = nullptr;
    QAction* MI_Export = nullptr;
    QAction* TB_Export = nullptr;
    QAction* MI_PianoRoll = nullptr;
    QAction* TB_PianoRoll = nullptr;
};

}  // namespace tontoko
