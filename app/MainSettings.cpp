// The settings group: key and mode, tempo, first chord and melody style.
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include "app/main.h"
#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "widgets/UpDown.h"

namespace tontoko {

namespace {
constexpr int kTempoFast = 180;
constexpr int kTempoMedium = 120;
constexpr int kTempoSlow = 60;
}  // namespace

void TSMain::ShowKeyName() {
    Label_Dur->setText(QString::fromStdString(song_->dur.KeyName()));
}

// After a mode switch the table holds a new preset: the editor shows its row
// again.
void TSMain::ShowKeyChange(bool changed) {
    if (changed) {
        CB_ChordChange();
    }
    ShowKeyName();
    SongChanged();
}

void TSMain::RB_DMajorClick() {
    SetDurSelfEnabled(false);
    ShowKeyChange(SwitchToMajor(*song_));
    RB_SDMajor->setChecked(true);
}

void TSMain::RB_DMinorClick() {
    SetDurSelfEnabled(false);
    ShowKeyChange(SwitchToMinor(*song_));
    RB_SDMinor->setChecked(true);
}

void TSMain::RB_DSelfClick() {
    SetDurSelfEnabled(true);
}

void TSMain::RB_SDMajorClick() {
    ShowKeyChange(SwitchToMajor(*song_));
}

void TSMain::RB_SDMinorClick() {
    ShowKeyChange(SwitchToMinor(*song_));
}

void TSMain::UD_DurChangingEx(int proposed) {
    Transpose(*song_, UD_Dur->Position(), proposed);
    ShowKeyName();
    SongChanged();
}

void TSMain::RB_TFastClick() {
    UD_Tempo->SetPosition(kTempoFast);
    SetTempoSelfEnabled(false);
}

void TSMain::RB_TMediumClick() {
    UD_Tempo->SetPosition(kTempoMedium);
    SetTempoSelfEnabled(false);
}

void TSMain::RB_TSlowClick() {
    UD_Tempo->SetPosition(kTempoSlow);
    SetTempoSelfEnabled(false);
}

void TSMain::RB_TSelfClick() {
    SetTempoSelfEnabled(true);
}

void TSMain::RB_COneClick() {
    SetChordSelfEnabled(false);
    CB_CSelf->setCurrentIndex(0);
}

void TSMain::RB_CRandomClick() {
    SetChordSelfEnabled(false);
}

void TSMain::RB_CSelfClick() {
    SetChordSelfEnabled(true);
}

void TSMain::RB_MFourClick() {
    ApplyMelodyStyle(*song_, MelodyStyle::MoreQuarters);
}

void TSMain::RB_MEightClick() {
    ApplyMelodyStyle(*song_, MelodyStyle::MoreEighths);
}

int TSMain::KeyOffset() const {
    return UD_Dur->Position();
}

}  // namespace tontoko
