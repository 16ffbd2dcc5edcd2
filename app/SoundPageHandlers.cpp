// Page "さ　ぶ": its handlers, and the page showing the song document.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/DocumentHistory.h"
#include "app/MainTexts.h"
#include "app/PageHost.h"
#include "app/SoundPage.h"
#include "document/SongDocument.h"
#include "engine/ChordHints.h"
#include "sound/PatternPreview.h"
#include "widgets/UpDown.h"

namespace tontoko {

namespace {
QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}
}  // namespace

void SoundPage::Edit(const QString& caption, const std::function<void()>& action) {
    host_.History().Edit(caption, action);
}

void SoundPage::FillPatternLists(const PatternLibrary& library) {
    for (const DrumPattern& pattern : library.drums) {
        CB_DrumPattern->addItem(QString::fromStdString(pattern.name));
    }
    for (const AccPattern& pattern : library.acc) {
        CB_AccPattern->addItem(QString::fromStdString(pattern.name));
    }
    for (QComboBox* list :
         {CB_AccPattern, CB_DrumPattern, CB_Melody, CB_Acc, CB_Base, CB_DrumSet, CB_Chord}) {
        list->setCurrentIndex(list->count() > 0 ? 0 : -1);
    }
}

void SoundPage::ShowDocument() {
    const SongState& state = host_.Document().Current();
    CB_Melody->setCurrentIndex(state.programs[size_t(Instrument::Melody)]);
    CB_Acc->setCurrentIndex(state.programs[size_t(Instrument::Accompaniment)]);
    CB_Base->setCurrentIndex(state.programs[size_t(Instrument::Bass)]);
    CB_DrumSet->setCurrentIndex(state.drumSet);
    UD_VMelody->SetPosition(state.volumes[size_t(VolumeGroup::Melody)]);
    UD_VAcc->SetPosition(state.volumes[size_t(VolumeGroup::Accompaniment)]);
    UD_VBase->SetPosition(state.volumes[size_t(VolumeGroup::Bass)]);
    UD_VDrum->SetPosition(state.volumes[size_t(VolumeGroup::Drums)]);
    CB_AccPattern->setCurrentIndex(state.accPattern < CB_AccPattern->count() ? state.accPattern
                                                                             : -1);
    CB_DrumPattern->setCurrentIndex(state.drumPattern < CB_DrumPattern->count() ? state.drumPattern
                                                                                : -1);
    CB_Drum->setChecked(state.drumsOn);
    RB_Normal->setChecked(state.fade == FadeMode::Normal);
    RB_FadeIn->setChecked(state.fade == FadeMode::FadeIn);
    RB_FadeOut->setChecked(state.fade == FadeMode::FadeOut);
    CB_ChordChange();
}

void SoundPage::B_RandomClick() {
    Edit(Q(texts::kRandom), [this] { host_.Document().RandomSounds(); });
}

void SoundPage::UD_VMelodyClick() {
    Edit(Q(texts::kStepVolumeMelody),
         [this] { host_.Document().SetVolume(VolumeGroup::Melody, UD_VMelody->Position()); });
}

void SoundPage::UD_VAccClick() {
    Edit(Q(texts::kStepVolumeAcc),
         [this] { host_.Document().SetVolume(VolumeGroup::Accompaniment, UD_VAcc->Position()); });
}

void SoundPage::UD_VBaseClick() {
    Edit(Q(texts::kStepVolumeBase),
         [this] { host_.Document().SetVolume(VolumeGroup::Bass, UD_VBase->Position()); });
}

void SoundPage::UD_VDrumClick() {
    Edit(Q(texts::kStepVolumeDrum),
         [this] { host_.Document().SetVolume(VolumeGroup::Drums, UD_VDrum->Position()); });
}

void SoundPage::CB_MelodyChange() {
    Edit(Q(texts::kStepProgramMelody),
         [this] { host_.Document().SetProgram(Instrument::Melody, CB_Melody->currentIndex()); });
}

void SoundPage::CB_AccChange() {
    Edit(Q(texts::kStepProgramAcc), [this] {
        host_.Document().SetProgram(Instrument::Accompaniment, CB_Acc->currentIndex());
    });
}

void SoundPage::CB_BaseChange() {
    Edit(Q(texts::kStepProgramBase),
         [this] { host_.Document().SetProgram(Instrument::Bass, CB_Base->currentIndex()); });
}

void SoundPage::CB_DrumSetChange() {
    Edit(Q(texts::kStepDrumSet),
         [this] { host_.Document().SetDrumSet(CB_DrumSet->currentIndex()); });
}

void SoundPage::CB_AccPatternChange() {
    Edit(Q(texts::kAccPattern),
         [this] { host_.Document().SetAccPattern(CB_AccPattern->currentIndex()); });
}

void SoundPage::CB_DrumPatternChange() {
    Edit(Q(texts::kDrumPattern),
         [this] { host_.Document().SetDrumPattern(CB_DrumPattern->currentIndex()); });
}

void SoundPage::CB_DrumClick() {
    Edit(Q(texts::kDrumOn), [this] { host_.Document().SetDrumsOn(CB_Drum->isChecked()); });
}

void SoundPage::RB_NormalClick() {
    Edit(Q(texts::kNormal), [this] { host_.Document().SetFade(FadeMode::Normal); });
}

void SoundPage::RB_FadeInClick() {
    Edit(Q(texts::kFadeIn), [this] { host_.Document().SetFade(FadeMode::FadeIn); });
}

void SoundPage::RB_FadeOutClick() {
    Edit(Q(texts::kFadeOut), [this] { host_.Document().SetFade(FadeMode::FadeOut); });
}

void SoundPage::B_PreviewAccClick() {
    if (host_.Playing()) {
        return;
    }
    const SongDocument& document = host_.Document();
    const SongState& state = document.Current();
    host_.SoundPreview(AccompanimentPreview(document.Engine(), document.Patterns(),
                                            CB_AccPattern->currentIndex(),
                                            state.programs[size_t(Instrument::Accompaniment)],
                                            state.programs[size_t(Instrument::Bass)], state.tempo));
}

void SoundPage::B_PreviewDrumClick() {
    if (host_.Playing()) {
        return;
    }
    const SongDocument& document = host_.Document();
    host_.SoundPreview(DrumPreview(document.Engine(), document.Patterns(),
                                   CB_DrumPattern->currentIndex(), document.Sounds().drumSetProgram,
                                   document.Current().tempo));
}

void SoundPage::CB_ChordChange() {
    const SongDocument& document = host_.Document();
    const int row = CB_Chord->currentIndex();
    if (row < 0) {
        return;
    }
    // Which chord follows which, for the row shown.
    CB_Chord->setToolTip(QString::fromStdString(ProbabilityRowHint(row + 1)));
    for (int c = 0; c < 7; ++c) {
        const QString hint = QString::fromStdString(ProbabilityHint(row + 1, c + 1));
        percentEdits_[c]->setToolTip(hint);
        percentUpDowns_[c]->setToolTip(hint);
    }
    const bool equal = document.Current().equal[row];
    if (equal) {
        for (int c = 0; c < 7; ++c) {
            percentEdits_[c]->setEnabled(false);
            percentUpDowns_[c]->setEnabled(false);
        }
    } else {
        std::array<bool, 7> successor{};
        const SChord& node = document.Engine().nodes[row];
        for (int i = 0; i < node.SuccessorCount(); ++i) {
            successor[node.Successor(i)->Degree() - 1] = true;
        }
        for (int c = 0; c < 7; ++c) {
            percentUpDowns_[c]->SetPosition(document.Current().percent[row][c]);
            percentEdits_[c]->setEnabled(successor[c]);
            percentUpDowns_[c]->setEnabled(successor[c]);
        }
    }
    CBEqual->setChecked(equal);
}

void SoundPage::CBEqualClick() {
    Edit(Q(texts::kStepTable),
         [this] { host_.Document().SetEqual(CB_Chord->currentIndex(), CBEqual->isChecked()); });
}

void SoundPage::UDClick(int column) {
    Edit(Q(texts::kStepTable), [this, column] {
        host_.Document().SetPercent(CB_Chord->currentIndex(), column,
                                    percentUpDowns_[column]->Position());
    });
}

}  // namespace tontoko
