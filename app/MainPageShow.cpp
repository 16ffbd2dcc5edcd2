// Page "めいん" showing the song document: the controls after every change,
// undo and redo, and the cells undo keeps.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/AccessibleNames.h"
#include "app/MainPage.h"
#include "app/MainTexts.h"
#include "app/PageHost.h"
#include "document/SongDocument.h"
#include "engine/ChordHints.h"
#include "engine/SMelody.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

namespace tontoko {

namespace {

constexpr uint8_t kStarCode = 13;

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

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
    ShowEtcGroup();
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
        fixRhythm_[m]->setChecked(part.IsFixed(m, FixedKind::Rhythm));
        fixMelody_[m]->setChecked(part.IsFixed(m, FixedKind::Melody));
        // The melody can be fixed only while the rhythm is.
        fixMelody_[m]->setEnabled(part.IsFixed(m, FixedKind::Rhythm));
    }
    ShowMeasureNumbers();
}

void MainPage::ShowMeasureNumbers() {
    const int first = host_.Document().SongMeasure(1);
    if (first == numberedFrom_) {
        return;
    }
    numberedFrom_ = first;
    // The measures' numbers in the song: captions, hints, names and the
    // clear target.
    for (int m = 0; m < kMeasures; ++m) {
        const int number = first + m;
        measureGroups_[m]->setTitle(Q(texts::kMeasureCaption).arg(number));
        octaveGrids_[m]->setToolTip(QString::fromStdString(OctaveRowHint(number)));
        melodyGrids_[m]->setToolTip(QString::fromStdString(MelodyRowHint(number)));
    }
    NameMeasureControls(*this, first);
    Edit_Measure->setText(QString::fromStdString(ClearTargetText(UD_Measure->Position(), first)));
}

GridCells MainPage::CaptureGrids() const {
    GridCells cells = partCells_;
    const int part = host_.Document().Position();
    for (int m = 1; m <= kMeasures; ++m) {
        for (int column = 0; column < 8; ++column) {
            const int i = GridCells::Index(part, m, column);
            cells.names[i] = NameCode(melodyGrids_[m - 1]->Cell(column));
            bool ok = false;
            const int octave = octaveGrids_[m - 1]->Cell(column).toInt(&ok);
            cells.octaves[i] = ok ? int8_t(octave) : GridCells::kNoOctave;
        }
    }
    return cells;
}

void MainPage::RestoreGrids(const GridCells& cells) {
    partCells_ = cells;
    const int part = host_.Document().Position();
    for (int m = 1; m <= kMeasures; ++m) {
        for (int column = 0; column < 8; ++column) {
            const int i = GridCells::Index(part, m, column);
            melodyGrids_[m - 1]->SetCell(column, NameText(cells.names[i]));
            octaveGrids_[m - 1]->SetCell(column, cells.octaves[i] == GridCells::kNoOctave
                                                     ? QString()
                                                     : QString::number(cells.octaves[i]));
        }
    }
}

void MainPage::ShowEtcGroup() {
    const SongDocument& document = host_.Document();
    const int parts = document.Current().partCount;
    const int part = document.Position();
    Label_MLength->setText(Q(texts::kMLengthLabel).arg(parts * kMeasures));
    Label_MPos->setText(Q(texts::kMPosLabel).arg(document.SongMeasure(1)));
    UD_MPos->SetRange(0, parts - 1);
    UD_MPos->SetPosition(part);
    B_PartAdd->setEnabled(parts < kMaxParts);
    B_PartDelete->setEnabled(parts > 1);
}

}  // namespace tontoko
