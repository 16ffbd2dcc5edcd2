#include "widgets/StringGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace tontoko {

StringGrid::StringGrid(int columns, int cellWidth, int cellHeight, QWidget* parent)
    : QTableWidget(1, columns, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(cellWidth);
    verticalHeader()->setDefaultSectionSize(cellHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::StrongFocus);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    const int frame = 2 * frameWidth();
    setFixedSize(columns * cellWidth + frame, cellHeight + frame);
    for (int c = 0; c < columns; ++c) {
        auto* item = new QTableWidgetItem();
        item->setTextAlignment(Qt::AlignCenter);
        item->setFlags(Qt::ItemIsEnabled);
        setItem(0, c, item);
    }
}

void StringGrid::SetCell(int column, const QString& text) {
    // A cell is drawn again only when its text changes.
    QTableWidgetItem* cell = item(0, column);
    if (cell && cell->text() != text) {
        cell->setText(text);
    }
}

QString StringGrid::Cell(int column) const {
    const QTableWidgetItem* cell = item(0, column);
    return cell ? cell->text() : QString();
}

void StringGrid::ClearCells() {
    for (int c = 0; c < columnCount(); ++c) {
        SetCell(c, QString());
    }
}

int StringGrid::ColumnAt(const QPoint& pos) const {
    if (pos.y() < 0 || pos.y() >= rowHeight(0)) {
        return -1;
    }
    return columnAt(pos.x());
}

QPoint StringGrid::CellCenter(int column) const {
    return QPoint(columnViewportPosition(column) + columnWidth(column) / 2, rowHeight(0) / 2);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    emit mousePressed(ColumnAt(event->position().toPoint()), event->button());
    event->accept();
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(event->key());
    QTableWidget::keyPressEvent(event);
}

}  // namespace tontoko
