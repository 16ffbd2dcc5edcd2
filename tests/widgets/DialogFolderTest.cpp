// Where the file dialogs open.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "widgets/DialogFolder.h"

namespace tontoko {
namespace {

TEST(DialogFolder, TheWorkingFolderFirstThenWhereTheLastSongWent) {
    QTemporaryDir work;
    QTemporaryDir user;
    DialogFolder folder(work.path(), user.path());
    EXPECT_EQ(folder.Folder(), work.path());
    folder.Remember(user.filePath(QStringLiteral("song.mid")));
    EXPECT_EQ(folder.Folder(), user.path());
}

TEST(DialogFolder, TheHiddenPerUserFolderOpensInTheMusicFolderOrHome) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    QTemporaryDir user;
    // Reached through a second spelling of its path, it is the same folder.
    const QString userAgain = user.path() + QStringLiteral("/.");
    EXPECT_EQ(DialogFolder(userAgain, user.path()).Folder(), QDir::homePath());
    QDir(home.path()).mkpath(QStringLiteral("Music"));
    EXPECT_EQ(DialogFolder(user.path(), user.path()).Folder(),
              home.filePath(QStringLiteral("Music")));
}

}  // namespace
}  // namespace tontoko
