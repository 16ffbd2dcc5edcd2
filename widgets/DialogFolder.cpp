#include "widgets/DialogFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tontoko {

namespace {

bool SameFolder(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() &&
           QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath() &&
           !QFileInfo(a).canonicalFilePath().isEmpty();
}

}  // namespace

DialogFolder::DialogFolder(const QString& workFolder, const QString& userFolder)
    : folder_(workFolder) {
    if (!SameFolder(workFolder, userFolder)) {
        return;
    }
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    folder_ = !music.isEmpty() && QFileInfo(music).isDir() ? music : QDir::homePath();
}

void DialogFolder::Remember(const QString& file) {
    const QString folder = QFileInfo(file).absolutePath();
    if (!folder.isEmpty()) {
        folder_ = folder;
    }
}

}  // namespace tontoko
