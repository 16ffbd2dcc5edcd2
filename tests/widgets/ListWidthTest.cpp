// Drop-down lists show every entry whole, closed and in their popup.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QStyleOptionComboBox>
#include <QTest>

#include "widgets/ListWidth.h"

namespace tontoko {
namespace {

QStringList Entries() {
    QStringList entries;
    for (int i = 1; i <= 128; ++i) {
        entries << QStringLiteral("%1　楽器").arg(i, 3, 10, QLatin1Char('0'));
    }
    entries[1] = QString::fromUtf8("002　ブライトアコースティックピアノ");
    return entries;
}

// The width of the text area of a closed list.
int EditFieldWidth(const QComboBox& list) {
    QStyleOptionComboBox option;
    option.initFrom(&list);
    option.editable = false;
    return list.style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &list)
        .width();
}

TEST(ListWidth, ClosedListAndPopupHoldTheWidestEntry) {
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* list = new QComboBox;
    list->setMaxVisibleItems(20);
    list->addItems(Entries());
    layout->addWidget(list);
    // Squeezed by a neighbour that wants all the room it can get.
    auto* neighbour = new QWidget;
    neighbour->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    layout->addWidget(neighbour, 10);
    FitToEntries(*list);
    window.resize(400, 60);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (int i = 0; i < list->count(); ++i) {
        widest = std::max(widest, metrics.horizontalAdvance(list->itemText(i)));
    }
    EXPECT_GE(EditFieldWidth(*list), widest);

    list->showPopup();
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); }));
    // Every row of the popup is as wide as its entry needs, beside the scroll bar.
    for (int i = 0; i < list->count(); ++i) {
        const QModelIndex index = list->model()->index(i, 0);
        EXPECT_GE(view->viewport()->width(), view->sizeHintForIndex(index).width()) << i;
    }
    EXPECT_GE(view->viewport()->width(), PopupEntryWidth(*list));
    list->hidePopup();
}

}  // namespace
}  // namespace tontoko
