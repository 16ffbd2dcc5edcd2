#pragma once

class QMainWindow;

namespace tontoko {

// What a screen reader calls each control of the main window: both pages, the
// tool bar and the tabs. Applied once the window has been built; the captions
// stay as they are, the names are added beside them, and every description
// follows its control's hint.
void NameMainWindowControls(QMainWindow& window);

}  // namespace tontoko
