// Page "めいん", the melody that was made: the grids, the chord selectors, the
// fixed measures and clearing.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "app/MainPage.h"
#include "app/MainTexts.h"
#include "app/PageHost.h"
#include "document/SongDocument.h"
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

// "2小節目の和音" and its kin: a step named after the measure it changed, by
// its number in the song.
QString MeasureStep(const SongDocument& document, int measure, const char* what) {
    return QString::fromUtf8(texts::kStepMeasure)
        .arg(document.SongMeasure(measure))
        .arg(QString::fromUtf8(what));
}

}  // namespace

void MainPage::ChordSelectorChange(int slot) {
    Edit(MeasureStep(host_.Document(), slot / 2 + 1, texts::kStepChord), [this, slot] {
        const int degree = chordSelectors_[slot]->currentIndex() + 1;
        host_.Document().SetChord(slot, degree);
        // The user chooses by ear: the chord is heard as the song now holds it.
        host_.AuditionChord(degree);
    });
}

void MainPage::MelodyMouseDown(int measure, int column, Qt::MouseButton button) {
    // A press in the grid's margin lies over no cell and does nothing.
    if (column < 0 || column > 7) {
        return;
    }
    lastPressedColumn_ = column;
    Edit(MeasureStep(host_.Document(), measure, texts::kStepMelody),
         [this, measure, column, button] {
             SongDocument& document = host_.Document();
             const int step = CellStep(measure, column);
             const uint8_t before = document.Engine().MelodyPitches().Pitch(step);
             const CellTexts cell = document.PressCell(measure, column, ButtonOf(button));
             melodyGrids_[measure - 1]->SetCell(column, Text(cell.name));
             octaveGrids_[measure - 1]->SetCell(column, Text(cell.octave));
             // A new note or a new pitch is heard; a press that changed nothing is
             // not.
             const uint8_t after = document.Engine().MelodyPitches().Pitch(step);
             if (after != before) {
                 host_.AuditionNote(after);
             }
         });
}

void MainPage::MelodyKeyDown(int measure, int key) {
    if (key != Qt::Key_Delete) {
        return;
    }
    Edit(MeasureStep(host_.Document(), measure, texts::kStepMelody), [this, measure] {
        if (host_.Document().DeleteCell(measure, lastPressedColumn_)) {
            melodyGrids_[measure - 1]->SetCell(lastPressedColumn_, QString());
            octaveGrids_[measure - 1]->SetCell(lastPressedColumn_, QString());
        }
    });
}

void MainPage::B_ClearClick() {
    const int target = UD_Measure->Position();
    Edit(Edit_Measure->text() + QString::fromUtf8(texts::kClear), [this, target] {
        if (target >= 1 && target <= kMeasures) {
            octaveGrids_[target - 1]->ClearCells();
            melodyGrids_[target - 1]->ClearCells();
            host_.Document().ClearMeasure(target);
            return;
        }
        for (int m = 0; m < kMeasures; ++m) {
            octaveGrids_[m]->ClearCells();
            melodyGrids_[m]->ClearCells();
        }
        host_.Document().ClearAll();
    });
}

void MainPage::UD_MeasureClick() {
    Edit_Measure->setText(
        Text(ClearTargetText(UD_Measure->Position(), host_.Document().SongMeasure(1))));
}

void MainPage::Fix_RhythmClick(int measure, bool checked) {
    Edit(MeasureStep(host_.Document(), measure, texts::kFixRhythm),
         [this, measure, checked] { host_.Document().SetFixRhythm(measure, checked); });
}

void MainPage::Fix_MelodyClick(int measure, bool checked) {
    Edit(MeasureStep(host_.Document(), measure, texts::kFixMelody),
         [this, measure, checked] { host_.Document().SetFixMelody(measure, checked); });
}

void MainPage::SetMelodyCell(int measure, int column, const QString& text) {
    melodyGrids_.at(measure - 1)->SetCell(column, text);
}

void MainPage::SetOctaveCell(int measure, int column, const QString& text) {
    octaveGrids_.at(measure - 1)->SetCell(column, text);
}

void MainPage::RefreshMelodyGrids() {
    const MelodyCells cells = RefreshCells(host_.Document().Engine(), KeyOffset());
    for (int m = 0; m < kMeasures; ++m) {
        for (int column = 0; column < 8; ++column) {
            melodyGrids_[m]->SetCell(column, Text(cells.names[m][column]));
            if (cells.octaves[m][column]) {
                octaveGrids_[m]->SetCell(column, Text(*cells.octaves[m][column]));
            }
        }
    }
}

void MainPage::ShowCell(int step, const CellTexts& texts) {
    const int measure = step / kStepsPerMeasure;
    const int column = (step % kStepsPerMeasure) / 2;
    melodyGrids_[measure]->SetCell(column, Text(texts.name));
    octaveGrids_[measure]->SetCell(column, Text(texts.octave));
}

}  // namespace tontoko
