#pragma once

#include <QTableWidget>

namespace tontoko {

// A one-row grid of fixed-size text cells without headers, scroll bars or
// editing. Mouse presses are reported with the column under the pointer (-1
// outside every cell) and key presses with the key.
class StringGrid : public QTableWidget {
    Q_OBJECT
  public:
    StringGrid(int columns, int cellWidth, int cellHeight, QWidget* parent = nullptr);

    void SetCell(int column, const QString& text);
    QString Cell(int column) const;
    void ClearCells();
    // Column of a point in viewport coordinates, -1 outside every cell.
    int ColumnAt(const QPoint& pos) const;
    // The centre of a cell in viewport coordinates, for presses from tests.
    QPoint CellCenter(int column) const;

  signals:
    void mousePressed(int column, Qt::MouseButton button);
    void keyPressed(int key);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tontoko
