// Audio export: the song as Play would sound it, written to a WAV, FLAC or Ogg
// Vorbis file.
#include <QApplication>
#include <QDir>
#include <QFile>

#include "app/MainTexts.h"
#include "app/main.h"
#include "sound/OfflineSynth.h"
#include "sound/SoundFont.h"
#include "widgets/DialogFolder.h"
#include "widgets/FileDialogs.h"
#include "widgets/Messages.h"

namespace tontoko {

OfflineSynth& TSMain::Exporter() {
    if (!exporter_) {
        exporter_ = std::make_shared<OfflineSynth>(LookUpSoundFont());
    }
    return *exporter_;
}

void TSMain::MI_ExportClick() {
    FileDialogRequest request;
    request.filter = QString::fromUtf8(texts::kExportFilter);
    request.defaultSuffix = QString::fromLatin1(texts::kExportSuffix);
    request.directory = dialogFolder_->Folder();
    request.confirmOverwrite = true;
    const std::optional<QString> name = fileDialogs_->SaveFileName(this, request);
    if (!name) {
        return;
    }
    // The same bytes Save writes, synthesized offline on a synthesizer of the
    // export's own: a playback or an edited note is not disturbed.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ExportResult result =
        Exporter().ExportToFile(document_.Write(), QFile::encodeName(*name).toStdString());
    QApplication::restoreOverrideCursor();
    if (!result.ok) {
        messages_->Show(
            QString::fromUtf8(texts::kExportFailed)
                .arg(QDir::toNativeSeparators(*name), QString::fromStdString(result.error)),
            QString::fromLatin1(captions::kError));
    }
}

void TSMain::TB_ExportClick() {
    MI_ExportClick();
}

}  // namespace tontoko
