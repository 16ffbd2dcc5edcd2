#include "app/GridCellDelegate.h"

#include <QPainter>

namespace tontoko {

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    painter->save();
    painter->fillRect(option.rect, option.palette.base());
    const bool enabled = option.state & QStyle::State_Enabled;
    painter->setPen(
        option.palette.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(option.rect, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
    painter->restore();
}

}  // namespace tontoko
