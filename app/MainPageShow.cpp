// Page "めいん" showing the song document: the controls after every change,
// undo and redo, and the cells undo keeps.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "app/MainPage.h"
#include "app/PageHost.h"
#include "document/SongDocument.h"
#include "engine/ChordHints.h"
#include "engine/SMelody.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

namespace tontoko {

namespace {

constexpr uint8_t kStarCode = 13;

uint8_t NameCode(const QString& text) {
    if (text == QLatin1String("*")) {
        return kStarCode;
    }
    const std::string name = text.toStdString();
    const auto& names = SMelody::Names();
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return uint8_t(i + 1);
        }
    }
    return 0;
}

QString NameText(uint8_t code) {
    if (code == kStarCode) {
        return QStringLiteral("*");
    }
    if (code >= 1 && code <= SMelody::Names().size()) {
        return QString::fromStdString(SMelody::Names()[code - 1]);
    }
    return QString();
}

}  // namespace

void MainPage::ShowDocument() {
    ShowSettings();
    ShowMelodyGroup();
}

void MainPage::ShowSettings() {
    const SongDocument& document = host_.Document();
    const SongState& state = document.Current();

    RB_DMajor->setChecked(state.feel == KeyFeel::Bright);
    RB_DMinor->setChecked(state.feel == KeyFeel::Dark);
    RB_DSelf->setChecked(state.feel == KeyFeel::Own);
    RB_SDMajor->setChecked(state.mode == Mode::Major);
    RB_SDMinor->setChecked(state.mode == Mode::Minor);
    UD_Dur->SetPosition(state.transposition);
    Label_Dur->setText(QString::fromStdString(document.Engine().dur.KeyName()));
    SetDurSelfEnabled(state.feel == KeyFeel::Own);

    RB_TFast->setChecked(state.tempoChoice == TempoChoice::Fast);
    RB_TMedium->setChecked(state.tempoChoice == TempoChoice::Medium);
    RB_TSlow->setChecked(state.tempoChoice == TempoChoice::Slow);
    RB_TSelf->setChecked(state.tempoChoice == TempoChoice::Own);
    UD_Tempo->SetPosition(state.tempo);
    SetTempoSelfEnabled(state.tempoChoice == TempoChoice::Own);

    RB_COne->setChecked(state.firstChord == FirstChord::One);
    RB_CRandom->setChecked(state.firstChord == FirstChord::Random);
    RB_CSelf->setChecked(state.firstChord == FirstChord::Self);
    CB_CSelf->setCurrentIndex(state.firstChordIndex);
    CB_CSelf->setToolTip(
        QString::fromStdString(ChordHint(document.Engine(), state.firstChordIndex + 1)));
    SetChordSelfEnabled(state.firstChord == FirstChord::Self);

    RB_MFour->setChecked(state.styleShown == MelodyStyle::MoreQuarters);
    RB_MEight->setChecked(state.styleShown == MelodyStyle::MoreEighths);
    CB_Finish->setChecked(state.finish);
    CB_Motif->setChecked(state.motif);

    UD_Interval->SetPosition(state.interval);
}

void MainPage::ShowMelodyGroup() {
    const SongDocument& document = host_.Document();
    const SongPart& part = document.Current().parts[document.Position()];
    for (int slot = 0; slot < kChordSlots; ++slot) {
        chordSelectors_[slot]->setCurrentIndex(part.degrees[slot] - 1);
        // What the chosen chord is, in the key and mode of the song.
        chordSelectors_[slot]->setToolTip(
            QString::fromStdString(ChordHint(document.Engine(), part.degrees[slot])));
    }
    for (int m = 0; m < kMeasures; ++m) {
        fixRhythm_[m]->setChecked(part.fixed[m][0]);
        fixMelody_[m]->setChecked(part.fixed[m][1]);
        // The melody can be fixed only while the rhythm is.
        fixMelody_[m]->setEnabled(part.fixed[m][0]);
    }
}

GridCells MainPage::CaptureGrids() const {
    GridCells cells;
    for (int m = 0; m < kMeasures; ++m) {
        for (int column = 0; column < 8; ++column) {
            const int i = m * 8 + column;
            cells.names[i] = NameCode(melodyGrids_[m]->Cell(column));
            bool ok = false;
            const int octave = octaveGrids_[m]->Cell(column).toInt(&ok);
            cells.octaves[i] = ok ? int8_t(octave) : GridCells::kNoOctave;
        }
    }
    return cells;
}

void MainPage::RestoreGrids(const GridCells& cells) {
    for (int m = 0; m < kMeasures; ++m) {
        for (int column = 0; column < 8; ++column) {
            const int i = m * 8 + column;
            melodyGrids_[m]->SetCell(column, NameText(cells.names[i]));
            octaveGrids_[m]->SetCell(column, cells.octaves[i] == GridCells::kNoOctave
                                                 ? QString()
                                                 : QString::number(cells.octaves[i]));
        }
    }
}

}  // namespace tontoko
