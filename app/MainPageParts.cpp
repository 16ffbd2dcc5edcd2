// Page "めいん", the group "そのた": the song's parts of four measures, the
// part shown, adding a copy of it and removing it.
#include "app/MainPage.h"
#include "app/MainTexts.h"
#include "app/PageHost.h"
#include "document/SongDocument.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

namespace tontoko {

void MainPage::UD_MPosClick() {
    ShowPart(UD_MPos->Position());
}

void MainPage::ShowPart(int part) {
    SongDocument& document = host_.Document();
    if (part == document.Position() || part < 0 || part >= document.Current().partCount ||
        host_.History().InGesture()) {
        host_.History().Refresh();
        return;
    }
    // The cells of the part left stay with it.
    partCells_ = CaptureGrids();
    document.SetPosition(part);
    RestoreGrids(partCells_);
    host_.History().Refresh();
}

void MainPage::B_PartAddClick() {
    Edit(QString::fromUtf8(texts::kPartAdd), [this] {
        SongDocument& document = host_.Document();
        GridCells cells = CaptureGrids();
        const int part = document.Position();
        const int parts = document.Current().partCount;
        if (document.AddPart()) {
            cells.InsertCopy(part, parts);
            RestoreGrids(cells);
        }
    });
}

void MainPage::B_PartDeleteClick() {
    Edit(QString::fromUtf8(texts::kPartDelete), [this] {
        SongDocument& document = host_.Document();
        GridCells cells = CaptureGrids();
        const int part = document.Position();
        const int parts = document.Current().partCount;
        if (document.DeletePart()) {
            cells.Remove(part, parts);
            RestoreGrids(cells);
        }
    });
}

void MainPage::ShowOpenedSong() {
    // Every part's cells from its melody, as a refresh shows them.
    SongDocument& document = host_.Document();
    const int shown = document.Position();
    GridCells cells;
    for (int part = 0; part < document.Current().partCount; ++part) {
        document.SetPosition(part);
        for (int m = 0; m < kMeasures; ++m) {
            melodyGrids_[m]->ClearCells();
            octaveGrids_[m]->ClearCells();
        }
        RefreshMelodyGrids();
        partCells_ = cells;
        cells = CaptureGrids();
    }
    document.SetPosition(shown);
    RestoreGrids(cells);
}

}  // namespace tontoko
