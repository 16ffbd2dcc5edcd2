#pragma once

#include <QRect>
#include <QString>

class QPainter;

namespace tontoko {

// The roll draws the same few hundred short texts (names, numbers, chords) on
// every repaint, and laying them out anew each time was most of a repaint's
// cost. Their layouts are kept per font and drawn where QPainter::drawText
// puts a single line, clipped to the rectangle as it clips.
void DrawCachedText(QPainter& p, const QRect& rect, Qt::Alignment align, const QString& text);

}  // namespace tontoko
