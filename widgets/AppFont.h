#pragma once

#include <QFont>
#include <QStringList>

namespace tontoko {

// The font of every window: MS PGothic where it exists, else the IPA or Noto
// Japanese gothic that Debian installs, at 12 pixels.
inline QFont AppFont(int pixelSize = 12) {
    QFont font;
    font.setFamilies({QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace tontoko
