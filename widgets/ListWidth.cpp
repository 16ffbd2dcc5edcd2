#include "widgets/ListWidth.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QStyle>

namespace tontoko {

int PopupEntryWidth(const QComboBox& list) {
    return list.view()->sizeHintForColumn(0);
}

void FitToEntries(QComboBox& list) {
    list.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    list.setMinimumWidth(list.sizeHint().width());
    QAbstractItemView* view = list.view();
    const bool scrolls = list.count() > list.maxVisibleItems();
    const int scrollBar = scrolls ? view->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    view->setMinimumWidth(PopupEntryWidth(list) + scrollBar + 2 * view->frameWidth());
}

}  // namespace tontoko
