#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tontoko {

// The song named on the command line (the program's name first, Qt's own
// options already removed), as a full path against the folder the program
// was started in: the working folder changes before the song is opened.
// Only the first name counts.
std::optional<QString> SongToOpen(const QStringList& arguments);

}  // namespace tontoko
