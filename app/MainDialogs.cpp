// The three dialogs the main window opens: chaining, rhythms and the about box.
#include "app/Version.h"
#include "app/main.h"
#include "chain/Chain.h"
#include "editing/RhythmCfg.h"
#include "widgets/DialogFolder.h"

namespace tontoko {

// Created once, hidden, in start-up order; each command shows one modally.
void TSMain::CreateDialogs() {
    chainDialog_ = new TSChainDialog(this, *messages_, *fileDialogs_, dialogFolder_.get());
    chainDialog_->hide();
    rhythmDialog_ = new TSRhythmCfg(this, *this, *messages_);
    rhythmDialog_->hide();
    versionDialog_ = new TSVersion(this, *opener_);
    versionDialog_->hide();
    CreatePianoRoll();
}

void TSMain::MI_ChainClick() {
    chainDialog_->exec();
}

void TSMain::TB_ChainClick() {
    MI_ChainClick();
}

void TSMain::MI_ResistClick() {
    rhythmDialog_->exec();
}

void TSMain::MI_AboutClick() {
    versionDialog_->exec();
}

}  // namespace tontoko
