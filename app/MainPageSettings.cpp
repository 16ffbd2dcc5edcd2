// Page "めいん", the settings: key and mode, tempo, first chord, melody style,
// and the two generators.
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

#include "app/MainPage.h"
#include "app/MainTexts.h"
#include "app/PageHost.h"
#include "document/SongDocument.h"
#include "engine/MessageCaptions.h"
#include "engine/SChordGenerate.h"
#include "widgets/Messages.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

namespace tontoko {

namespace {
QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}
}  // namespace

void MainPage::Edit(const QString& caption, const std::function<void()>& action) {
    host_.History().Edit(caption, action);
}

void MainPage::RB_DMajorClick() {
    Edit(Q(texts::kStepKey), [this] { host_.Document().SetKeyFeel(KeyFeel::Bright); });
}

void MainPage::RB_DMinorClick() {
    Edit(Q(texts::kStepKey), [this] { host_.Document().SetKeyFeel(KeyFeel::Dark); });
}

void MainPage::RB_DSelfClick() {
    Edit(Q(texts::kStepKey), [this] { host_.Document().SetKeyFeel(KeyFeel::Own); });
}

void MainPage::RB_SDMajorClick() {
    Edit(Q(texts::kStepKey), [this] { host_.Document().SetMode(Mode::Major); });
}

void MainPage::RB_SDMinorClick() {
    Edit(Q(texts::kStepKey), [this] { host_.Document().SetMode(Mode::Minor); });
}

void MainPage::UD_DurChangingEx(int proposed) {
    Edit(Q(texts::kStepKey), [this, proposed] { host_.Document().Transpose(proposed); });
}

void MainPage::RB_TFastClick() {
    Edit(Q(texts::kStepTempo), [this] { host_.Document().SetTempoChoice(TempoChoice::Fast); });
}

void MainPage::RB_TMediumClick() {
    Edit(Q(texts::kStepTempo), [this] { host_.Document().SetTempoChoice(TempoChoice::Medium); });
}

void MainPage::RB_TSlowClick() {
    Edit(Q(texts::kStepTempo), [this] { host_.Document().SetTempoChoice(TempoChoice::Slow); });
}

void MainPage::RB_TSelfClick() {
    Edit(Q(texts::kStepTempo), [this] { host_.Document().SetTempoChoice(TempoChoice::Own); });
}

void MainPage::UD_TempoClick() {
    Edit(Q(texts::kStepTempo), [this] { host_.Document().SetTempo(UD_Tempo->Position()); });
}

void MainPage::RB_COneClick() {
    Edit(Q(texts::kStepFirstChord), [this] { host_.Document().SetFirstChord(FirstChord::One); });
}

void MainPage::RB_CRandomClick() {
    Edit(Q(texts::kStepFirstChord), [this] { host_.Document().SetFirstChord(FirstChord::Random); });
}

void MainPage::RB_CSelfClick() {
    Edit(Q(texts::kStepFirstChord), [this] { host_.Document().SetFirstChord(FirstChord::Self); });
}

void MainPage::CB_CSelfChange() {
    Edit(Q(texts::kStepFirstChord), [this] {
        host_.Document().SetFirstChordIndex(CB_CSelf->currentIndex());
        host_.AuditionChord(CB_CSelf->currentIndex() + 1);
    });
}

void MainPage::RB_MFourClick() {
    Edit(Q(texts::kMFour), [this] { host_.Document().SetMelodyStyle(MelodyStyle::MoreQuarters); });
}

void MainPage::RB_MEightClick() {
    Edit(Q(texts::kMEight), [this] { host_.Document().SetMelodyStyle(MelodyStyle::MoreEighths); });
}

void MainPage::CB_FinishClick() {
    Edit(Q(texts::kFinish), [this] { host_.Document().SetFinish(CB_Finish->isChecked()); });
}

void MainPage::CB_MotifClick() {
    Edit(Q(texts::kMotif), [this] { host_.Document().SetMotif(CB_Motif->isChecked()); });
}

void MainPage::B_CGenerateClick() {
    Edit(Q(texts::kCGenerate), [this] {
        const ProgressionResult result = host_.Document().GenerateChords();
        for (const std::string& warning : result.warnings) {
            host_.MessageBoxes().Show(QString::fromStdString(warning),
                                      QString::fromLatin1(captions::kWarning));
        }
    });
}

void MainPage::B_MGenerateClick() {
    Edit(Q(texts::kMGenerate), [this] {
        for (StringGrid* grid : octaveGrids_) {
            grid->ClearCells();
        }
        host_.Document().GenerateMelody();
        RefreshMelodyGrids();
    });
}

void MainPage::UD_IntervalClick() {
    Edit(Q(texts::kInterval), [this] { host_.Document().SetInterval(UD_Interval->Position()); });
}

int MainPage::KeyOffset() const {
    return host_.Document().Current().transposition;
}

}  // namespace tontoko
