// Open: a song saved by this program becomes the window's song again, from
// the open dialog, a file dropped on the window or the command line.
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "app/JoinedSongMessage.h"
#include "app/MainPage.h"
#include "app/MainTexts.h"
#include "app/main.h"
#include "render/JoinedSongContents.h"
#include "render/SongFileReader.h"
#include "widgets/DialogFolder.h"
#include "widgets/FileDialogs.h"
#include "widgets/Messages.h"

namespace tontoko {

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Why the file is not a song that can be opened, in the window's words.
QString ReasonText(const SongFileReading& reading) {
    const QString detail = QString::fromStdString(reading.detail);
    switch (reading.problem) {
        case SongFileProblem::NotMidi:
            return Q(texts::kOpenNotMidi);
        case SongFileProblem::OtherLayout:
            return Q(texts::kOpenOtherLayout).arg(detail);
        case SongFileProblem::Truncated:
            return Q(texts::kOpenTruncated).arg(detail);
        case SongFileProblem::Joined:
            return Q(texts::kOpenJoined).arg(reading.joinedCount);
        case SongFileProblem::TooLarge:
            return Q(texts::kOpenTooLarge);
        case SongFileProblem::NotRegular:
            return Q(texts::kOpenNotRegular).arg(detail);
        case SongFileProblem::Unreadable:
        case SongFileProblem::None:
            break;
    }
    return Q(texts::kOpenUnreadable).arg(detail);
}

// The one local .mid file a drag carries, if it carries exactly that.
std::optional<QString> DroppedSong(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) {
        return std::nullopt;
    }
    const QUrl url = data->urls().front();
    if (!url.isLocalFile() ||
        !url.toLocalFile().endsWith(QStringLiteral(".mid"), Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    return url.toLocalFile();
}

}  // namespace

void TSMain::MI_OpenClick() {
    FileDialogRequest request;
    request.filter = Q(texts::kOpenFilter);
    request.defaultSuffix = QString::fromLatin1(texts::kSaveSuffix);
    request.directory = dialogFolder_->Folder();
    if (const std::optional<QString> name = fileDialogs_->OpenFileName(this, request)) {
        OpenFile(*name);
    }
}

void TSMain::TB_OpenClick() {
    MI_OpenClick();
}

bool TSMain::OpenFile(const QString& path) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const SongFileContents current = document_.Reading();
    const SongFileReading reading =
        ReadSongFileAt(QFile::encodeName(path).toStdString(), document_.Patterns(), current);
    // Songs joined by the chain dialog open as the parts of one song.
    std::optional<JoinedSong> joined;
    if (reading.problem == SongFileProblem::Joined &&
        reading.joinedSongs.size() == reading.joinedCount) {
        joined = JoinedSongContents(reading.joinedSongs, current);
        if (joined->tooLong) {
            messages_->Show(Q(texts::kOpenFailed)
                                .arg(shown, Q(texts::kOpenJoinedTooLong)
                                                .arg(reading.joinedCount)
                                                .arg(joined->measures)),
                            QString::fromLatin1(captions::kError));
            return false;
        }
    } else if (!reading.Ok()) {
        messages_->Show(Q(texts::kOpenFailed).arg(shown, ReasonText(reading)),
                        QString::fromLatin1(captions::kError));
        return false;
    }
    const SongFileContents& contents = joined ? joined->contents : reading.contents;
    history_.Edit(Q(texts::kStepOpen), [&] {
        document_.Open(contents);
        mainPage_->ShowOpenedSong();
    });
    // The song is as it was saved: nothing to lose, and Ctrl+Z still goes
    // back to the song before it.
    history_.Stack().setClean();
    dialogFolder_->Remember(path);
    if (joined && !joined->differences.empty()) {
        messages_->Show(
            Q(texts::kOpenJoinedDiffers)
                .arg(reading.joinedCount)
                .arg(joined->measures)
                .arg(JoinedDifferencesText(joined->differences, document_.Patterns()), shown),
            QString::fromLatin1(captions::kWarning));
    }
    if (!contents.accPatternFound || (contents.drumsOn && !contents.drumPatternFound)) {
        messages_->Show(Q(texts::kOpenPatternsMissing).arg(shown),
                        QString::fromLatin1(captions::kWarning));
    }
    return true;
}

void TSMain::dragEnterEvent(QDragEnterEvent* event) {
    // Anything with files may come near; what it holds is judged on the drop,
    // where a refusal can be said.
    if (event->mimeData() && event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void TSMain::dropEvent(QDropEvent* event) {
    const std::optional<QString> song = DroppedSong(event->mimeData());
    if (song) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
    // Messages wait until the drop is over: a dialog inside it would hold
    // the desktop's drag.
    QMetaObject::invokeMethod(
        this,
        [this, song] {
            if (song) {
                OpenFile(*song);
            } else {
                messages_->Show(Q(texts::kDropOneSong), QString::fromLatin1(captions::kError));
            }
        },
        Qt::QueuedConnection);
}

}  // namespace tontoko
