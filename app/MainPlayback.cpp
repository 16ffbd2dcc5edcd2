// Play, Stop and Save: every command renders the song afresh and writes it.
#include <QDir>
#include <QFile>

#include "app/DefaultPlayer.h"
#include "app/MainTexts.h"
#include "app/main.h"
#include "files/AtomicFile.h"
#include "render/PlayRange.h"
#include "sound/MidiPlayer.h"
#include "widgets/DialogFolder.h"
#include "widgets/FileDialogs.h"
#include "widgets/Messages.h"

namespace tontoko {

namespace {
QString TempMidi() {
    return QString::fromLatin1(texts::kTempMidi);
}
QString ErrorCaption() {
    return QString::fromLatin1(captions::kError);
}
}  // namespace

bool TSMain::WriteSong(const QString& path) {
    const std::vector<uint8_t> bytes = document_.Write();
    return WriteFileAtomically(
        QFile::encodeName(path).toStdString(),
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TSMain::ShowPlayerError(const PlayerError& error) {
    const QString detail = QString::fromStdString(error.what());
    switch (error.Kind()) {
        case PlayerFailure::NoDevice:
            messages_->Show(QString::fromUtf8(texts::kNoSoundDevice).arg(detail), ErrorCaption());
            break;
        case PlayerFailure::NoSoundFont:
            messages_->Show(QString::fromUtf8(texts::kNoSoundFont).arg(detail), ErrorCaption());
            break;
        case PlayerFailure::Other:
            messages_->Show(detail, ErrorCaption());
            break;
    }
}

MidiPlayer& TSMain::Player() {
    if (!player_) {
        ownPlayer_ = CreateDefaultPlayer();
        player_ = ownPlayer_.get();
        player_->SetNotify([this] { MPNotify(); });
    }
    return *player_;
}

void TSMain::TB_PlayClick() {
    if (playing_) {
        return;
    }
    playing_ = true;
    if (!WriteSong(TempMidi())) {
        FinishPlayback();
        messages_->Show(
            QString::fromUtf8(texts::kPlayWriteFailed)
                .arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath(TempMidi()))),
            ErrorCaption());
        return;
    }
    try {
        MidiPlayer& player = Player();
        // From the first measure of the part shown; the file holds the whole
        // song, lead-in included, and the player goes through it.
        const SongState& song = document_.Current();
        player.SetRange(SongPlayRange(song.interval, song.partCount, document_.Position()));
        player.SetLoop(MI_Loop->isChecked());
        player.SetFileName(TempMidi().toStdString());
        player.Open();
        player.Play();
        PlaybackStateChanged();
    } catch (const PlayerError& error) {
        // No notification will come: tidy up first, so that Play works again
        // and no file is left behind while the message is open.
        FinishPlayback();
        ShowPlayerError(error);
    }
}

void TSMain::TB_StopClick() {
    if (playing_) {
        Player().Stop();
    }
}

void TSMain::MI_PlayClick() {
    TB_PlayClick();
}

void TSMain::MI_StopClick() {
    // Through the button, so that everything Stop does happens once.
    TB_Stop->trigger();
}

void TSMain::MI_LoopClick(bool on) {
    TB_Loop->setChecked(on);
    // The running playback follows at once.
    if (playing_ && player_) {
        player_->SetLoop(on);
    }
}

void TSMain::TB_LoopClick(bool on) {
    MI_Loop->setChecked(on);
}

void TSMain::MPNotify() {
    // Only the playback this window started is cleaned up; a late notification
    // after a failed start finds nothing to do.
    if (!playing_) {
        return;
    }
    // Also when "tmp.mid" was removed by someone else the device is closed,
    // or Play would stay dead for the rest of the run.
    FinishPlayback();
}

void TSMain::FinishPlayback() {
    if (player_) {
        player_->Close();
    }
    QFile::remove(TempMidi());
    playing_ = false;
    PlaybackStateChanged();
}

bool TSMain::SaveSong() {
    FileDialogRequest request;
    request.filter = QString::fromUtf8(texts::kSaveFilter);
    request.defaultSuffix = QString::fromLatin1(texts::kSaveSuffix);
    request.directory = dialogFolder_->Folder();
    request.confirmOverwrite = true;
    const std::optional<QString> name = fileDialogs_->SaveFileName(this, request);
    if (!name) {
        return false;
    }
    if (!WriteSong(*name)) {
        messages_->Show(QString::fromUtf8(texts::kSaveFailed).arg(QDir::toNativeSeparators(*name)),
                        ErrorCaption());
        return false;
    }
    // What is saved is no longer a change to lose.
    history_.Stack().setClean();
    dialogFolder_->Remember(*name);
    return true;
}

void TSMain::MI_SaveClick() {
    SaveSong();
}

void TSMain::TB_SaveClick() {
    MI_SaveClick();
}

}  // namespace tontoko
