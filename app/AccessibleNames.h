#pragma once

class QMainWindow;
class QWidget;

namespace tontoko {

// What a screen reader calls each control of the main window: both pages, the
// tool bar and the tabs. Applied once the window has been built; the captions
// stay as they are, the names are added beside them, and every description
// follows its control's hint.
void NameMainWindowControls(QMainWindow& window);
// The measure groups' controls of `page` again, for the part whose first
// measure is `firstMeasure` in the song.
void NameMeasureControls(QWidget& page, int firstMeasure);

}  // namespace tontoko
