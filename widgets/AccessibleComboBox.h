#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace tontoko {

// A drop-down list as assistive technology sees it. On Linux Qt's own gives
// every list its current entry as its name and ignores the name given to it;
// this one says the given name, and the entry as the value. A list without a
// given name is named by its entry, as before.
class AccessibleComboBox : public QAccessibleWidget {
  public:
    explicit AccessibleComboBox(QComboBox* list);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QStringList actionNames() const override;
    QString localizedActionDescription(const QString& actionName) const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

  private:
    QComboBox* List() const;
};

// Lets every drop-down list be seen through AccessibleComboBox from now on.
// Called before the first list is made; calling it again does nothing.
void InstallAccessibleComboBox();

}  // namespace tontoko
