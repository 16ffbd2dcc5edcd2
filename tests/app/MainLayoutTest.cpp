// Nothing on either page is clipped at the window's designed size, and every
// drop-down list shows its entries whole.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTabWidget>

#include "MainFixture.h"
#include "widgets/ListWidth.h"

namespace tontoko::test {
namespace {

// The inner size of the 750 x 578 window inside a common frame (borders of 4
// pixels, a title bar of 26).
constexpr QSize kInner(742, 548);

int TextWidth(const QWidget& widget, QString text) {
    text.remove(QLatin1Char('&'));
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        widest = std::max(widest, widget.fontMetrics().horizontalAdvance(line));
    }
    return widest;
}

int EditFieldWidth(const QComboBox& list) {
    QStyleOptionComboBox option;
    option.initFrom(&list);
    return list.style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &list)
        .width();
}

// The room a check box or radio button leaves for its text.
int ButtonTextRoom(const QAbstractButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    const bool radio = qobject_cast<const QRadioButton*>(&button) != nullptr;
    const QStyle::SubElement contents =
        radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents;
    return button.style()->subElementRect(contents, &option, &button).width();
}

class MainLayoutTest : public MainWindowTest {
  protected:
    // Every clipped text on the page in front, as "name: text".
    QStringList Clipped() {
        QStringList clipped;
        auto report = [&](const QWidget& w, const QString& text) {
            clipped << w.objectName() + QStringLiteral(": ") + text;
        };
        QWidget* page = Get<QTabWidget>("PageControl")->currentWidget();
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (!w->isVisible()) {
                continue;
            }
            if (auto* label = qobject_cast<QLabel*>(w)) {
                if (label->contentsRect().width() < TextWidth(*label, label->text())) {
                    report(*w, label->text());
                }
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                for (int i = 0; i < list->count(); ++i) {
                    if (EditFieldWidth(*list) < TextWidth(*list, list->itemText(i))) {
                        report(*w, list->itemText(i));
                        break;
                    }
                }
            } else if (auto* push = qobject_cast<QPushButton*>(w)) {
                if (push->width() < push->sizeHint().width()) {
                    report(*w, push->text());
                }
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                if ((qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) &&
                    ButtonTextRoom(*button) < TextWidth(*button, button->text())) {
                    report(*w, button->text());
                }
            } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                if (group->width() < TextWidth(*group, group->title())) {
                    report(*w, group->title());
                }
            }
        }
        return clipped;
    }
};

TEST_F(MainLayoutTest, NothingIsClippedOnEitherPage) {
    Create();
    QCoreApplication::processEvents();  // the window has taken its frame into account
    window->resize(kInner);
    QCoreApplication::processEvents();
    // Both pages fit the designed size: the layout does not force it larger.
    ASSERT_EQ(window->size(), kInner);
    for (int page = 0; page < 2; ++page) {
        Get<QTabWidget>("PageControl")->setCurrentIndex(page);
        QCoreApplication::processEvents();
        EXPECT_EQ(Clipped(), QStringList()) << "page " << page;
    }
}

TEST_F(MainLayoutTest, EveryPopupIsAsWideAsItsWidestEntry) {
    Create();
    Get<QTabWidget>("PageControl")->setCurrentIndex(1);
    for (const char* name : {"CB_Melody", "CB_Acc", "CB_Base", "CB_DrumSet", "CB_AccPattern",
                             "CB_DrumPattern", "CB_Chord"}) {
        auto* list = Get<QComboBox>(name);
        list->showPopup();
        QAbstractItemView* view = list->view();
        ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); })) << name;
        EXPECT_GE(view->viewport()->width(), PopupEntryWidth(*list)) << name;
        EXPECT_GE(view->viewport()->width(), TextWidth(*list, list->itemText(1))) << name;
        list->hidePopup();
    }
}

}  // namespace
}  // namespace tontoko::test
