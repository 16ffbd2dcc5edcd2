#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

#include "app/DocumentHistory.h"
#include "document/MelodyEdit.h"
#include "engine/TimeGrid.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tontoko {

class PageHost;
class StringGrid;
class UpDown;

// Page "めいん": the settings ("せってい"), the group "そのた" and the melody
// that was made ("つくられためろでー"). Every handler reads its control and
// makes one change of the song document through the window's history.
class MainPage : public QWidget {
  public:
    explicit MainPage(PageHost& host, QWidget* parent = nullptr);

    // Every control from the document; the melody and octave cells excepted,
    // which only handlers and undo write.
    void ShowDocument();
    GridCells CaptureGrids() const;
    void RestoreGrids(const GridCells& cells);
    // The grids' refresh from the song (the cells of every onset).
    void RefreshMelodyGrids();
    // The grids of a song opened from a file: emptied, then refreshed.
    void ShowOpenedSong();
    // A cell the piano roll changed.
    void ShowCell(int step, const CellTexts& texts);
    // Cells of measure 1..4 written by the rhythm dialog.
    void SetMelodyCell(int measure, int column, const QString& text);
    void SetOctaveCell(int measure, int column, const QString& text);

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
    void UD_TempoClick();
    void RB_COneClick();
    void RB_CRandomClick();
    void RB_CSelfClick();
    void CB_CSelfChange();
    void RB_MFourClick();
    void RB_MEightClick();
    void CB_FinishClick();
    void CB_MotifClick();
    void B_CGenerateClick();
    void B_MGenerateClick();

    // Melody grids, chord selectors, fixed measures, clearing.
    void ChordSelectorChange(int slot);  // CB_One1Change .. CB_Four2Change
    void MelodyMouseDown(int measure, int column, Qt::MouseButton button);
    void MelodyKeyDown(int measure, int key);
    void B_ClearClick();
    void UD_MeasureClick();
    void Fix_RhythmClick(int measure, bool checked);
    void Fix_MelodyClick(int measure, bool checked);

    // "そのた": the interval, and the song's parts of four measures.
    void UD_IntervalClick();
    void UD_MPosClick();
    void B_PartAddClick();
    void B_PartDeleteClick();
    // Shows part 0..parts-1 (the position): a view, not a step of undo.
    void ShowPart(int part);

  private:
    QWidget* BuildSettingsGroup();
    QWidget* BuildEtcGroup();
    QWidget* BuildMelodyGroup();
    void ConnectHandlers();
    void ShowSettings();
    void ShowEtcGroup();
    void ShowMelodyGroup();
    void ShowMeasureNumbers();
    void SetDurSelfEnabled(bool on);
    void SetTempoSelfEnabled(bool on);
    void SetChordSelfEnabled(bool on);
    int KeyOffset() const;
    void Edit(const QString& caption, const std::function<void()>& action);

    PageHost& host_;
    int lastPressedColumn_ = 0;
    // The cells of every part; the grids hold those of the part shown.
    GridCells partCells_;
    int numberedFrom_ = 1;  // the song's number of the first measure shown

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
    QCheckBox* CB_Finish = nullptr;
    QCheckBox* CB_Motif = nullptr;
    QPushButton* B_CGenerate = nullptr;
    QPushButton* B_MGenerate = nullptr;

    // Melody grids, chord selectors, clearing.
    std::array<QGroupBox*, kMeasures> measureGroups_{};
    std::array<QComboBox*, kChordSlots> chordSelectors_{};
    std::array<StringGrid*, kMeasures> melodyGrids_{};
    std::array<StringGrid*, kMeasures> octaveGrids_{};
    std::array<QCheckBox*, kMeasures> fixRhythm_{};
    std::array<QCheckBox*, kMeasures> fixMelody_{};
    QLineEdit* Edit_Measure = nullptr;
    UpDown* UD_Measure = nullptr;
    QPushButton* B_Clear = nullptr;

    // "そのた".
    QLineEdit* Edit_Interval = nullptr;
    UpDown* UD_Interval = nullptr;
    QLabel* Label_MLength = nullptr;
    QPushButton* B_PartAdd = nullptr;
    QPushButton* B_PartDelete = nullptr;
    QLabel* Label_MPos = nullptr;
    UpDown* UD_MPos = nullptr;
};

}  // namespace tontoko
