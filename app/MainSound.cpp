// Sound settings: pattern lists, instruments, volumes, interval and fade.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QRadioButton>

#include "app/main.h"
#include "widgets/Messages.h"
#include "widgets/UpDown.h"

namespace tontoko {

void TSMain::LoadPatterns() {
    const PatternLoadResult loaded =
        tontoko::LoadPatterns(patterns_, QDir::currentPath().toStdString());
    const QString text = QString::fromLatin1(kFileOpenErrorText);
    const QString caption = QString::fromLatin1(kFileOpenErrorCaption);
    if (!loaded.drumFileOpened) {
        messages_->Show(text, caption);
    }
    if (!loaded.accFileOpened) {
        messages_->Show(text, caption);
    }
    for (const DrumPattern& pattern : patterns_.drums) {
        CB_DrumPattern->addItem(QString::fromStdString(pattern.name));
    }
    for (const AccPattern& pattern : patterns_.acc) {
        CB_AccPattern->addItem(QString::fromStdString(pattern.name));
    }
    for (QComboBox* list :
         {CB_AccPattern, CB_DrumPattern, CB_Melody, CB_Acc, CB_Base, CB_DrumSet, CB_Chord}) {
        list->setCurrentIndex(list->count() > 0 ? 0 : -1);
    }
    for (size_t i = 0; i < drumPrograms_.size(); ++i) {
        drumPrograms_[i] = DrumSets()[i].program;
    }
}

SoundSettings TSMain::ReadSoundSettings() const {
    SoundSettings settings;
    settings.bassProgram = uint8_t(CB_Base->currentIndex());
    settings.accProgram = uint8_t(CB_Acc->currentIndex());
    settings.melodyProgram = uint8_t(CB_Melody->currentIndex());
    settings.drumSetProgram = drumPrograms_.at(CB_DrumSet->currentIndex());
    if (RB_FadeOut->isChecked()) {
        settings.fade = FadeMode::FadeOut;
    } else if (RB_FadeIn->isChecked()) {
        settings.fade = FadeMode::FadeIn;
    } else {
        settings.fade = FadeMode::Normal;
    }
    return settings;
}

void TSMain::UD_VMelodyClick() {
    song_->melodies[kMelodyVoice].SetVelocity(uint8_t(UD_VMelody->Position()));
}

void TSMain::UD_VAccClick() {
    for (int v = 1; v <= 3; ++v) {
        song_->melodies[v].SetVelocity(uint8_t(UD_VAcc->Position()));
    }
}

void TSMain::UD_VBaseClick() {
    song_->melodies[0].SetVelocity(uint8_t(UD_VBase->Position()));
}

void TSMain::UD_VDrumClick() {
    for (int v = kFirstDrumVoice; v < kVoiceCount; ++v) {
        song_->melodies[v].SetVelocity(uint8_t(UD_VDrum->Position()));
    }
}

void TSMain::UD_IntervalClick() {
    midi_.SetInterval(UD_Interval->Position());
}

void TSMain::B_RandomClick() {
    CB_Melody->setCurrentIndex(song_->random.Below(128));
    CB_Acc->setCurrentIndex(song_->random.Below(128));
    CB_Base->setCurrentIndex(song_->random.Below(128));
    CB_DrumSet->setCurrentIndex(song_->random.Below(int(DrumSets().size())));
}

}  // namespace tontoko
