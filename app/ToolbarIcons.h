#pragma once

#include <QIcon>

namespace tontoko {

// The tool bar's image list: five 16 x 16 pictures drawn in code.
enum class ToolbarPicture { Open = 0, Save = 1, Play = 2, Stop = 3, Join = 4 };

QIcon ToolbarIcon(ToolbarPicture picture);

}  // namespace tontoko
