#include "widgets/AccessibleComboBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>

namespace tontoko {

namespace {

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox")) {
        if (auto* list = qobject_cast<QComboBox*>(object)) {
            return new AccessibleComboBox(list);
        }
    }
    return nullptr;
}

}  // namespace

AccessibleComboBox::AccessibleComboBox(QComboBox* list)
    : QAccessibleWidget(list, QAccessible::ComboBox) {}

QComboBox* AccessibleComboBox::List() const {
    return static_cast<QComboBox*>(widget());
}

QString AccessibleComboBox::text(QAccessible::Text t) const {
    QString text;
    switch (t) {
        case QAccessible::Name:
            text = List()->accessibleName();
            if (text.isEmpty()) {
                text = this->text(QAccessible::Value);
            }
            break;
        case QAccessible::Value:
            text = List()->isEditable() ? List()->lineEdit()->text() : List()->currentText();
            break;
        case QAccessible::Accelerator:
            text = QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
            break;
        default:
            break;
    }
    return text.isEmpty() ? QAccessibleWidget::text(t) : text;
}

QAccessible::State AccessibleComboBox::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = List()->view() && List()->view()->isVisible();
    state.collapsed = !state.expanded;
    state.editable = List()->isEditable();
    return state;
}

int AccessibleComboBox::childCount() const {
    // The list of entries, and the edit of an editable list.
    return List()->isEditable() ? 2 : 1;
}

QAccessibleInterface* AccessibleComboBox::child(int index) const {
    if (index == 0) {
        return QAccessible::queryAccessibleInterface(List()->view());
    }
    if (index == 1 && List()->isEditable()) {
        return QAccessible::queryAccessibleInterface(List()->lineEdit());
    }
    return nullptr;
}

int AccessibleComboBox::indexOfChild(const QAccessibleInterface* child) const {
    if (!child) {
        return -1;
    }
    if (child->object() == List()->view()) {
        return 0;
    }
    if (List()->isEditable() && child->object() == List()->lineEdit()) {
        return 1;
    }
    return -1;
}

QAccessibleInterface* AccessibleComboBox::childAt(int x, int y) const {
    if (List()->isEditable()) {
        const QRect edit(List()->lineEdit()->mapToGlobal(QPoint(0, 0)), List()->lineEdit()->size());
        if (edit.contains(x, y)) {
            return child(1);
        }
    }
    return nullptr;
}

QAccessibleInterface* AccessibleComboBox::focusChild() const {
    // An editable list passes its focus on to its edit.
    return List()->isEditable() ? child(1) : nullptr;
}

QStringList AccessibleComboBox::actionNames() const {
    return {showMenuAction(), pressAction()};
}

QString AccessibleComboBox::localizedActionDescription(const QString& actionName) const {
    if (actionName == showMenuAction() || actionName == pressAction()) {
        return QComboBox::tr("Open the combo box selection popup");
    }
    return {};
}

void AccessibleComboBox::doAction(const QString& actionName) {
    if (actionName != showMenuAction() && actionName != pressAction()) {
        return;
    }
    if (List()->view() && List()->view()->isVisible()) {
        List()->hidePopup();
    } else {
        List()->showPopup();
    }
}

QStringList AccessibleComboBox::keyBindingsForAction(const QString&) const {
    return {};
}

void InstallAccessibleComboBox() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(Factory);
    }
}

}  // namespace tontoko
