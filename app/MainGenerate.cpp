// Chord progression and melody generation, and the transition-table editor.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/main.h"
#include "engine/Finish.h"
#include "engine/MelodyGenerator.h"
#include "widgets/Messages.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

namespace tontoko {

void TSMain::B_CGenerateClick() {
    FirstChord first = FirstChord::Self;
    if (RB_COne->isChecked()) {
        first = FirstChord::One;
    } else if (RB_CRandom->isChecked()) {
        first = FirstChord::Random;
    }
    const ProgressionResult result = GenerateProgression(*song_, first, CB_CSelf->currentIndex());
    for (const std::string& warning : result.warnings) {
        messages_->Show(QString::fromStdString(warning),
                        QString::fromLatin1(SChordGenerate::WarningCaption()));
    }
    if (!result.generated) {
        return;
    }
    CB_CSelf->setCurrentIndex(result.firstChordIndex);
    if (CB_Finish->isChecked()) {
        FinishProgression(*song_);
    }
    ShowChordSlots();
    SongChanged();
}

void TSMain::B_MGenerateClick() {
    for (StringGrid* grid : octaveGrids_) {
        grid->ClearCells();
    }
    GenerateMelody(*song_);
    if (CB_Finish->isChecked()) {
        FinishMelody(*song_);
    }
    RefreshMelodyGrids();
    SongChanged();
}

void TSMain::CB_ChordChange() {
    const int row = CB_Chord->currentIndex();
    const bool equal = song_->chordGenerate.IsEqual(row);
    if (equal) {
        for (int c = 0; c < 7; ++c) {
            percentEdits_[c]->setEnabled(false);
            percentUpDowns_[c]->setEnabled(false);
        }
    } else {
        std::array<bool, 7> successor{};
        const SChord& node = song_->nodes[row];
        for (int i = 0; i < node.SuccessorCount(); ++i) {
            successor[node.Successor(i)->Degree() - 1] = true;
        }
        for (int c = 0; c < 7; ++c) {
            percentUpDowns_[c]->SetPosition(song_->chordGenerate.Percent(row, c));
            percentEdits_[c]->setEnabled(successor[c]);
            percentUpDowns_[c]->setEnabled(successor[c]);
        }
    }
    CBEqual->setChecked(equal);
}

void TSMain::CBEqualClick() {
    song_->chordGenerate.SetEqual(CB_Chord->currentIndex(), CBEqual->isChecked());
    CB_ChordChange();
}

void TSMain::UDClick(int column) {
    song_->chordGenerate.SetPercent(CB_Chord->currentIndex(), column,
                                    percentUpDowns_[column]->Position());
}

}  // namespace tontoko
