// The main window as the rhythm dialog's target: a registered rhythm applied
// to a measure of the part shown.
#include "app/MainPage.h"
#include "app/MainTexts.h"
#include "app/main.h"

namespace tontoko {

void TSMain::ApplyRhythm(int measure, const std::string& pattern) {
    const QString caption = QString::fromUtf8(texts::kStepMeasure)
                                .arg(document_.SongMeasure(measure))
                                .arg(QString::fromUtf8(texts::kStepRhythm));
    // Marks, cells and the fix box: one change of the song, one step.
    history_.Edit(caption, [&] { RhythmTarget::ApplyRhythm(measure, pattern); });
}

void TSMain::SetMelodyMark(int step, uint8_t mark) {
    history_.Edit(QString::fromUtf8(texts::kStepRhythm),
                  [&] { document_.SetOnsetMark(step, mark); });
}

int TSMain::FirstMeasure() const {
    return document_.SongMeasure(1);
}

uint8_t TSMain::MelodyMark(int step) const {
    return document_.Engine().MelodyRhythm().Mark(step);
}

void TSMain::SetMelodyCell(int measure, int column, const QString& text) {
    history_.Edit(QString::fromUtf8(texts::kStepRhythm),
                  [&] { mainPage_->SetMelodyCell(measure, column, text); });
}

void TSMain::SetOctaveCell(int measure, int column, const QString& text) {
    history_.Edit(QString::fromUtf8(texts::kStepRhythm),
                  [&] { mainPage_->SetOctaveCell(measure, column, text); });
}

void TSMain::CheckFixRhythm(int measure) {
    history_.Edit(QString::fromUtf8(texts::kFixRhythm),
                  [&] { document_.SetFixRhythm(measure, true); });
}

}  // namespace tontoko
