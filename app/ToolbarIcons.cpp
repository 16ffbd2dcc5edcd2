#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tontoko {

namespace {

void DrawOpen(QPainter& p) {
    // A folder with its lid lifted.
    p.setPen(QColor(120, 90, 20));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(1, 4, 12, 9);
    p.drawRect(1, 3, 5, 1);
    p.setBrush(QColor(255, 225, 120));
    QPainterPath lid;
    lid.moveTo(3, 7);
    lid.lineTo(15, 7);
    lid.lineTo(13, 13);
    lid.lineTo(1, 13);
    lid.closeSubpath();
    p.drawPath(lid);
}

void DrawSave(QPainter& p) {
    // A floppy disk.
    p.setPen(QColor(20, 30, 80));
    p.setBrush(QColor(60, 80, 170));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(3, 9, 9, 5);
    p.fillRect(9, 2, 2, 3, QColor(60, 80, 170));
}

void DrawPlay(QPainter& p) {
    p.setPen(QColor(0, 90, 0));
    p.setBrush(QColor(40, 170, 40));
    QPolygon triangle;
    triangle << QPoint(4, 2) << QPoint(13, 8) << QPoint(4, 14);
    p.drawPolygon(triangle);
}

void DrawStop(QPainter& p) {
    p.setPen(QColor(110, 0, 0));
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(3, 3, 10, 10);
}

void DrawJoin(QPainter& p) {
    // Two sheets of music joined by a plus.
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawRect(0, 2, 6, 11);
    p.drawRect(9, 2, 6, 11);
    p.setPen(QColor(60, 60, 60));
    for (int y = 5; y <= 10; y += 2) {
        p.drawLine(1, y, 5, y);
        p.drawLine(10, y, 14, y);
    }
    p.setPen(QPen(QColor(200, 60, 0), 2));
    p.drawLine(6, 8, 9, 8);
}

void DrawExport(QPainter& p) {
    // A loudspeaker sending out sound.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(1, 6, 3, 4);
    QPolygon cone;
    cone << QPoint(4, 6) << QPoint(8, 2) << QPoint(8, 14) << QPoint(4, 10);
    p.drawPolygon(cone);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 110, 200), 1.5));
    p.drawArc(QRectF(6, 4, 6, 8), -60 * 16, 120 * 16);
    p.drawArc(QRectF(6, 1.5, 9, 13), -60 * 16, 120 * 16);
}

void DrawPianoRoll(QPainter& p) {
    // Keys on the left, note bars on a grid to the right.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawRect(0, 1, 4, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    for (int y : {3, 6, 10}) {
        p.drawRect(0, y, 3, 2);
    }
    p.setPen(QColor(200, 200, 200));
    for (int x = 6; x <= 15; x += 3) {
        p.drawLine(x, 1, x, 15);
    }
    p.setPen(QColor(20, 100, 40));
    p.setBrush(QColor(60, 180, 90));
    p.drawRoundedRect(QRectF(5.5, 9.5, 5, 3), 1, 1);
    p.setBrush(QColor(240, 150, 40));
    p.setPen(QColor(160, 90, 10));
    p.drawRoundedRect(QRectF(9.5, 4.5, 6, 3), 1, 1);
}

// A curved arrow going back (undo) or forward (redo).
void DrawTurn(QPainter& p, bool forward) {
    p.setRenderHint(QPainter::Antialiasing);
    if (forward) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    p.setPen(QPen(QColor(30, 90, 170), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(4, 6);
    path.cubicTo(9, 3.5, 14.5, 5, 14, 10);
    path.cubicTo(13.6, 12.5, 11.5, 13.5, 9, 13.5);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 170));
    QPolygonF head;
    head << QPointF(1, 6.5) << QPointF(6.5, 2) << QPointF(6.5, 10.5);
    p.drawPolygon(head);
}

void DrawLoop(QPainter& p) {
    // Two arrows chasing each other round a ring, in the green of Play.
    p.setRenderHint(QPainter::Antialiasing);
    const QColor line(0, 90, 0);
    const QColor fill(40, 170, 40);
    p.setPen(QPen(fill, 2.2, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(2.5, 3.5, 11, 9);
    p.drawArc(ring, 20 * 16, 150 * 16);
    p.drawArc(ring, 200 * 16, 150 * 16);
    p.setPen(QPen(line, 0.8));
    p.setBrush(fill);
    QPolygonF top;
    top << QPointF(9, 0.5) << QPointF(13, 4) << QPointF(9, 7);
    p.drawPolygon(top);
    QPolygonF bottom;
    bottom << QPointF(7, 9) << QPointF(3, 12) << QPointF(7, 15.5);
    p.drawPolygon(bottom);
}

}  // namespace

QIcon ToolbarIcon(ToolbarPicture picture) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    switch (picture) {
        case ToolbarPicture::Open:
            DrawOpen(painter);
            break;
        case ToolbarPicture::Save:
            DrawSave(painter);
            break;
        case ToolbarPicture::Play:
            DrawPlay(painter);
            break;
        case ToolbarPicture::Stop:
            DrawStop(painter);
            break;
        case ToolbarPicture::Join:
            DrawJoin(painter);
            break;
        case ToolbarPicture::Export:
            DrawExport(painter);
            break;
        case ToolbarPicture::PianoRoll:
            DrawPianoRoll(painter);
            break;
        case ToolbarPicture::Undo:
        case ToolbarPicture::Redo:
            DrawTurn(painter, picture == ToolbarPicture::Redo);
            break;
        case ToolbarPicture::Loop:
            DrawLoop(painter);
            break;
    }
    painter.end();
    QIcon icon(pixmap);
    // Disabled buttons use the same picture; undo and redo, which are
    // disabled whenever there is nothing to take back, are greyed instead.
    if (picture != ToolbarPicture::Undo && picture != ToolbarPicture::Redo) {
        icon.addPixmap(pixmap, QIcon::Disabled);
    }
    return icon;
}

}  // namespace tontoko
