#pragma once

#include <QIcon>

namespace tontoko {

// The tool bar's image list: five 16 x 16 pictures drawn in code, and the
// pictures of the buttons added beside them.
enum class ToolbarPicture {
    Open = 0,
    Save = 1,
    Play = 2,
    Stop = 3,
    Join = 4,
    Export,
    PianoRoll,
    Undo,
    Redo,
    Loop
};

QIcon ToolbarIcon(ToolbarPicture picture);

}  // namespace tontoko
