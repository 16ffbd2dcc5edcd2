#pragma once

#include <QString>

namespace tontoko {

// Where the file dialogs open. The first time in the working folder, or, when
// the program works in its hidden per-user folder, in the user's music folder
// (else the home folder), where a person finds what they saved; afterwards
// where the last song was saved or opened.
class DialogFolder {
  public:
    // `workFolder` is the working folder, `userFolder` the per-user one.
    DialogFolder(const QString& workFolder, const QString& userFolder);

    const QString& Folder() const { return folder_; }
    // A song was saved or opened at `file`: the next dialog opens beside it.
    void Remember(const QString& file);

  private:
    QString folder_;
};

}  // namespace tontoko
