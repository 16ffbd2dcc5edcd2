#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/Platform.h"
#include "editing/RhythmTarget.h"
#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/SStandardMidi.h"
#include "render/SoundSettings.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace tontoko {

class DocumentOpener;
class FileDialogs;
class Messages;
class MidiPlayer;
class OfflineSynth;
class PlayerError;
struct LiveEvent;
class StringGrid;
class TSChainDialog;
class TSRhythmCfg;
class TSPianoRoll;
class TSVersion;
class UpDown;

// The main window: owns the song, the pattern library and the MIDI writer for
// the whole run, carries every control on its two pages and answers the
// engine's question whether a measure is fixed. It declares no signals or
// slots of its own (handlers are connected by member pointer), so it needs no
// meta-object code: main.cpp beside this header would otherwise compile it
// twice.
class TSMain : public QMainWindow, public FixedMeasures, public RhythmTarget {
  public:
    explicit TSMain(const Platform& platform = {}, QWidget* parent = nullptr);
    ~TSMain() override;

    // FixedMeasures: measure 0..3, kind 0 rhythm, 1 melody.
    bool IsFixed(int measure, int kind) const override;

    // RhythmTarget (measure 1..4).
    void SetMelodyMark(int step, uint8_t mark) override;
    uint8_t MelodyMark(int step) const override;
    void SetMelodyCell(int measure, int column, const QString& text) override;
    void SetOctaveCell(int measure, int column, const QString& text) override;
    void CheckFixRhythm(int measure) override;

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
    // Added beside the specified commands: audio export and the piano roll.
    void MI_ExportClick();
    void TB_ExportClick();
    void MI_PianoRollClick();
    void TB_PianoRollClick();
    // The player's end-of-playback notification.
    void MPNotify();

    // Settings.
    void RB_DMajorClick();
    void RB_DMinorClick();
    void RB_DSelfClick();
    void RB_SDMajorClick();
    void RB_SDMinorClick();
    void UD_DurChangingEx(int proposed);
    void RB_TFastClick();
    void RB_TMediumClick();
    void RB_TSlowClick();
    void RB_TSelfClick();
    void RB_COneClick();
    void RB_CRandomClick();
    void RB_CSelfClick();
    void RB_MFourClick();
    void RB_MEightClick();

    // Generation and the probability editor.
    void B_CGenerateClick();
    void B_MGenerateClick();
    void CB_ChordChange();
    void CBEqualClick();
    void UDClick(int column);  // UD1MouseDown .. UD7MouseDown, column 0..6

    // Melody grids and chord selectors.
    void ChordSelectorChange(int slot);  // CB_One1Change .. CB_Four2Change
    void MelodyMouseDown(int measure, int column, Qt::MouseButton button);
    void MelodyKeyDown(int measure, int key);
    void B_ClearClick();
    void UD_MeasureClick();
    void Fix_RhythmClick(int measure, bool checked);

    // Sound settings.
    void UD_VMelodyClick();
    void UD_VAccClick();
    void UD_VBaseClick();
    void UD_VDrumClick();
    void UD_IntervalClick();
    void B_RandomClick();
    // One measure of the selected pattern, heard before it is chosen.
    void B_PreviewAccClick();
    void B_PreviewDrumClick();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    // Construction, by area.
    void BuildMenuAndToolBar();
    QWidget* BuildMainPage();
    QWidget* BuildSettingsGroup();
    QWidget* BuildEtcGroup();
    QWidget* BuildMelodyGroup();
    QWidget* BuildSubPage();
    QWidget* BuildSoundGroup();
    QWidget* BuildPatternGroup();
    QWidget* BuildChordTableGroup();
    QWidget* BuildFadeGroup();
    void ConnectHandlers();
    void CreateDialogs();
    void KeepOuterSize();
    // The piano roll, created hidden after the three dialogs.
    void CreatePianoRoll();

    // Start-up steps that fill controls.
    void ShowChordSlots();
    void LoadPatterns();

    // Helpers.
    void SetDurSelfEnabled(bool on);
    void SetTempoSelfEnabled(bool on);
    void SetChordSelfEnabled(bool on);
    void ShowKeyName();
    void ShowKeyChange(bool changed);
    void RefreshMelodyGrids();
    int KeyOffset() const;
    SoundSettings ReadSoundSettings() const;
    bool RenderAndWrite(const QString& path);
    void FinishPlayback();
    MidiPlayer& Player();

    // Hooks of the additions beside the specified window.
    // Every handler that changes the song (notes, chords, key, fixed
    // measures) ends here, so that other views of the song follow it.
    void SongChanged();
    // A song has started or stopped playing (playing_ says which).
    void PlaybackStateChanged();
    // Sounds `pitch` briefly on the melody instrument (an edited note).
    void AuditionNote(uint8_t pitch);
    // The window is on screen: load the synthesizer without delaying it.
    void LoadSoundInBackground();
    // Sound: the song as Save writes it (rendered afresh), the renderer of
    // audio export, and a player failure shown as a message.
    std::vector<uint8_t> ComposeSongBytes();
    OfflineSynth& Exporter();
    void ShowPlayerError(const PlayerError& error);
    // Sounds a pattern preview; a device that cannot be used is reported.
    void SoundPreview(const std::vector<LiveEvent>& events);

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

    // The song and everything that renders and writes it.
    std::unique_ptr<Song> song_;
    SStandardMidi midi_;
    PatternLibrary patterns_;
    std::array<uint8_t, 9> drumPrograms_{};
    bool playing_ = false;
    int lastPressedColumn_ = 0;
    QString saveDirectory_;
    bool shown_ = false;
    bool outerSizeApplied_ = false;
    QPoint placement_;  // top-left corner of the outer frame

    // Dialogs, created hidden after the window's own construction.
    TSChainDialog* chainDialog_ = nullptr;
    TSRhythmCfg* rhythmDialog_ = nullptr;
    TSVersion* versionDialog_ = nullptr;
    TSPianoRoll* pianoRoll_ = nullptr;
    // The piano roll follows the song and edits it like the grids
    // (MainPianoRoll.cpp); steps are the grids' eighth-note cells.
    void RefreshPianoRoll();
    void RollPlace(int step, int rowPitch);
    void RollDrag(int step, int rowPitch);
    void RollRemove(int step);
    void ShowRollCell(int step, const std::string& name, const std::string& octave);
    // Deletes the roll, and forgets it, before the song it shows goes: it is
    // declared after the song, so it is destroyed first.
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
    QAction* MI_Resist = nullptr;
    QAction* MI_Help = nullptr;
    QAction* MI_About = nullptr;
    QAction* TB_Open = nullptr;
    QAction* TB_Save = nullptr;
    QAction* TB_Chain = nullptr;
    QAction* TB_Play = nullptr;
    QAction* TB_Stop = nullptr;
    QAction* MI_Export = nullptr;
    QAction* TB_Export = nullptr;
    QAction* MI_PianoRoll = nullptr;
    QAction* TB_PianoRoll = nullptr;
    QTabWidget* tabs_ = nullptr;

    // Settings.
    QRadioButton* RB_DMajor = nullptr;
    QRadioButton* RB_DMinor = nullptr;
    QRadioButton* RB_DSelf = nullptr;
    QGroupBox* GB_SelfDur = nullptr;
    QLabel* Label_Dur = nullptr;
    QLineEdit* Edit_Dur = nullptr;
    UpDown* UD_Dur = nullptr;
    QRadioButton* RB_SDMajor = nullptr;
    QRadioButton* RB_SDMinor = nullptr;
    QRadioButton* RB_TFast = nullptr;
    QRadioButton* RB_TMedium = nullptr;
    QRadioButton* RB_TSlow = nullptr;
    QRadioButton* RB_TSelf = nullptr;
    QGroupBox* GB_SelfTempo = nullptr;
    QLineEdit* Edit_Tempo = nullptr;
    UpDown* UD_Tempo = nullptr;
    QRadioButton* RB_COne = nullptr;
    QRadioButton* RB_CRandom = nullptr;
    QRadioButton* RB_CSelf = nullptr;
    QGroupBox* GB_SelfChord = nullptr;
    QComboBox* CB_CSelf = nullptr;
    QRadioButton* RB_MFour = nullptr;
    QRadioButton* RB_MEight = nullptr;
    QPushButton* B_CGenerate = nullptr;
    QPushButton* B_MGenerate = nullptr;
    QCheckBox* CB_Finish = nullptr;

    // Melody grids, chord selectors, clearing.
    std::array<QComboBox*, kChordSlots> chordSelectors_{};
    std::array<StringGrid*, kMeasures> melodyGrids_{};
    std::array<StringGrid*, kMeasures> octaveGrids_{};
    std::array<QCheckBox*, kMeasures> fixRhythm_{};
    std::array<QCheckBox*, kMeasures> fixMelody_{};
    QLineEdit* Edit_Measure = nullptr;
    UpDown* UD_Measure = nullptr;
    QPushButton* B_Clear = nullptr;

    // Other.
    QLineEdit* Edit_Interval = nullptr;
    UpDown* UD_Interval = nullptr;
    UpDown* UD_MPos = nullptr;

    // Page "さ　ぶ".
    QComboBox* CB_Melody = nullptr;
    QComboBox* CB_Acc = nullptr;
    QComboBox* CB_Base = nullptr;
    QComboBox* CB_DrumSet = nullptr;
    QPushButton* B_Random = nullptr;
    UpDown* UD_VMelody = nullptr;
    UpDown* UD_VAcc = nullptr;
    UpDown* UD_VBase = nullptr;
    UpDown* UD_VDrum = nullptr;
    QComboBox* CB_AccPattern = nullptr;
    QComboBox* CB_DrumPattern = nullptr;
    QCheckBox* CB_Drum = nullptr;
    QPushButton* B_PreviewAcc = nullptr;
    QPushButton* B_PreviewDrum = nullptr;
    QComboBox* CB_Chord = nullptr;
    std::array<QLineEdit*, 7> percentEdits_{};
    std::array<UpDown*, 7> percentUpDowns_{};
    QCheckBox* CBEqual = nullptr;
    QRadioButton* RB_Normal = nullptr;
    QRadioButton* RB_FadeIn = nullptr;
    QRadioButton* RB_FadeOut = nullptr;
};

}  // namespace tontoko
