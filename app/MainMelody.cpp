// The melody grids, chord selectors, fix boxes and clearing of page "めいん".
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "app/main.h"
#include "document/MelodyEdit.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

namespace tontoko {

namespace {

PressButton ButtonOf(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return PressButton::Left;
        case Qt::RightButton:
            return PressButton::Right;
        default:
            return PressButton::Other;
    }
}

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

void TSMain::ChordSelectorChange(int slot) {
    song_->SetSlotDegree(slot, chordSelectors_[slot]->currentIndex() + 1);
    SongChanged();
}

void TSMain::MelodyMouseDown(int measure, int column, Qt::MouseButton button) {
    // A press in the grid's margin lies over no cell and does nothing.
    if (column < 0 || column > 7) {
        return;
    }
    lastPressedColumn_ = column;
    const int step = CellStep(measure, column);
    const uint8_t before = song_->MelodyPitches().Pitch(step);
    const CellTexts cell = PressCell(*song_, measure, column, ButtonOf(button), KeyOffset());
    melodyGrids_[measure - 1]->SetCell(column, Text(cell.name));
    octaveGrids_[measure - 1]->SetCell(column, Text(cell.octave));
    // A new note or a new pitch is heard; a press that changed nothing is not.
    const uint8_t after = song_->MelodyPitches().Pitch(step);
    if (after != before) {
        AuditionNote(after);
    }
    SongChanged();
}

void TSMain::MelodyKeyDown(int measure, int key) {
    if (key != Qt::Key_Delete) {
        return;
    }
    if (DeleteCell(*song_, measure, lastPressedColumn_)) {
        melodyGrids_[measure - 1]->SetCell(lastPressedColumn_, QString());
        octaveGrids_[measure - 1]->SetCell(lastPressedColumn_, QString());
        SongChanged();
    }
}

void TSMain::B_ClearClick() {
    const int target = UD_Measure->Position();
    if (target >= 1 && target <= kMeasures) {
        octaveGrids_[target - 1]->ClearCells();
        melodyGrids_[target - 1]->ClearCells();
        ClearMeasure(*song_, target);
        SongChanged();
        return;
    }
    for (int m = 0; m < kMeasures; ++m) {
        octaveGrids_[m]->ClearCells();
        melodyGrids_[m]->ClearCells();
    }
    ClearAll(*song_);
    SongChanged();
}

void TSMain::UD_MeasureClick() {
    Edit_Measure->setText(Text(ClearTargetText(UD_Measure->Position())));
}

void TSMain::Fix_RhythmClick(int measure, bool checked) {
    QCheckBox* fixMelody = fixMelody_[measure - 1];
    if (checked) {
        fixMelody->setEnabled(true);
    } else {
        fixMelody->setEnabled(false);
        fixMelody->setChecked(false);
    }
    SongChanged();
}

void TSMain::RefreshMelodyGrids() {
    const MelodyCells cells = RefreshCells(*song_, KeyOffset());
    for (int m = 0; m < kMeasures; ++m) {
        for (int column = 0; column < 8; ++column) {
            melodyGrids_[m]->SetCell(column, Text(cells.names[m][column]));
            if (cells.octaves[m][column]) {
                octaveGrids_[m]->SetCell(column, Text(*cells.octaves[m][column]));
            }
        }
    }
}

void TSMain::SetMelodyMark(int step, uint8_t mark) {
    song_->MelodyRhythm().SetMark(step, mark);
}

uint8_t TSMain::MelodyMark(int step) const {
    return song_->MelodyRhythm().Mark(step);
}

void TSMain::SetMelodyCell(int measure, int column, const QString& text) {
    melodyGrids_.at(measure - 1)->SetCell(column, text);
}

void TSMain::SetOctaveCell(int measure, int column, const QString& text) {
    octaveGrids_.at(measure - 1)->SetCell(column, text);
}

void TSMain::CheckFixRhythm(int measure) {
    fixRhythm_.at(measure - 1)->setChecked(true);
    // Applying a rhythm ends here, also where the box was checked already and
    // its handler does not run.
    SongChanged();
}

}  // namespace tontoko
