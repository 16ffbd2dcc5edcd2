#pragma once

class QCoreApplication;

namespace tontoko {

// Loads Qt's own Japanese translation of its standard texts (message-box
// buttons, file dialogs, context menus) from Qt's translations folder, so that
// the whole program speaks Japanese whatever the desktop's language. The
// program's own captions ("Message", "Error", ...) are not Qt's and stay as
// they are. False when the translation is not installed.
bool InstallQtTranslation(QCoreApplication& app);

}  // namespace tontoko
