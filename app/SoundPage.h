#pragma once

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tontoko {

class PageHost;
class UpDown;
struct PatternLibrary;

// Page "さ　ぶ": instruments and volumes, the accompaniment and drum patterns,
// the transition table and the fade. Every handler makes one change of the
// song document through the window's history.
class SoundPage : public QWidget {
  public:
    explicit SoundPage(PageHost& host, QWidget* parent = nullptr);

    // The pattern lists, from the files read at start-up.
    void FillPatternLists(const PatternLibrary& library);
    // Every control from the document.
    void ShowDocument();

    void B_RandomClick();
    void UD_VMelodyClick();
    void UD_VAccClick();
    void UD_VBaseClick();
    void UD_VDrumClick();
    void CB_MelodyChange();
    void CB_AccChange();
    void CB_BaseChange();
    void CB_DrumSetChange();
    void CB_AccPatternChange();
    void CB_DrumPatternChange();
    void CB_DrumClick();
    // One measure of the selected pattern, heard before it is chosen.
    void B_PreviewAccClick();
    void B_PreviewDrumClick();
    // The transition-table editor.
    void CB_ChordChange();
    void CBEqualClick();
    void UDClick(int column);  // UD1MouseDown .. UD7MouseDown, column 0..6
    void RB_NormalClick();
    void RB_FadeInClick();
    void RB_FadeOutClick();

  private:
    QWidget* BuildSoundGroup();
    QWidget* BuildPatternGroup();
    QWidget* BuildChordTableGroup();
    QWidget* BuildFadeGroup();
    void ConnectHandlers();
    void Edit(const QString& caption, const std::function<void()>& action);

    PageHost& host_;

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
