#pragma once

#include <QStyledItemDelegate>

namespace tontoko {

// Paints a grid cell's text centred over the whole cell, without the item
// margins of the style, so that names like "ﾌｧ#" fit a narrow cell.
class GridCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace tontoko
