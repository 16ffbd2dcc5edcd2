#include "widgets/AccessibleNames.h"

#include <QAccessible>
#include <QComboBox>
#include <QEvent>
#include <QPointer>
#include <QToolButton>
#include <QtDebug>

#include "widgets/AccessibleComboBox.h"
#include "widgets/UpDown.h"

namespace tontoko {

namespace {

AccessibilityObserver& Observer() {
    static AccessibilityObserver observer;
    return observer;
}

void SetDescription(QWidget& widget, const QString& description) {
    if (widget.accessibleDescription() == description) {
        return;
    }
    widget.setAccessibleDescription(description);
    QAccessibleEvent event(&widget, QAccessible::DescriptionChanged);
    NotifyAssistiveTechnology(event);
}

// Watches one control for a new hint and describes it, and its parts, with it.
class HintFollower : public QObject {
  public:
    static constexpr const char* kName = "HintFollower";

    explicit HintFollower(QWidget& control) : QObject(&control), control_(control) {
        setObjectName(QString::fromLatin1(kName));
        control.installEventFilter(this);
    }

    void Add(QWidget* part) {
        if (part && !parts_.contains(part)) {
            parts_.append(part);
        }
    }

    void Describe() {
        const QString hint = control_.toolTip();
        SetDescription(control_, hint);
        for (const QPointer<QWidget>& part : parts_) {
            if (part) {
                SetDescription(*part, hint);
            }
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &control_ && event->type() == QEvent::ToolTipChange) {
            Describe();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget& control_;
    QList<QPointer<QWidget>> parts_;
};

void SetName(QWidget& widget, const QString& name) {
    if (widget.accessibleName() == name) {
        return;
    }
    widget.setAccessibleName(name);
    QAccessibleEvent event(&widget, QAccessible::NameChanged);
    NotifyAssistiveTechnology(event);
}

// A list whose interface Qt made before AccessibleComboBox was installed gets
// a new one, so that its name is said.
void ForgetForeignInterface(QComboBox& list) {
    QAccessibleInterface* current = QAccessible::queryAccessibleInterface(&list);
    if (current && !dynamic_cast<AccessibleComboBox*>(current)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current));
    }
}

}  // namespace

void FollowHint(QWidget& control, const std::vector<QWidget*>& alsoDescribed) {
    auto* follower = control.findChild<HintFollower*>(QString::fromLatin1(HintFollower::kName),
                                                      Qt::FindDirectChildrenOnly);
    if (!follower) {
        follower = new HintFollower(control);
    }
    for (QWidget* part : alsoDescribed) {
        follower->Add(part);
    }
    follower->Describe();
}

void NameControl(QWidget& control, const QString& name) {
    SetName(control, name);
    FollowHint(control);
}

void NameControls(QWidget& root, const std::vector<ControlName>& names) {
    InstallAccessibleComboBox();
    for (const ControlName& entry : names) {
        QWidget* control =
            root.objectName() == entry.object ? &root : root.findChild<QWidget*>(entry.object);
        if (!control) {
            qWarning("No control %s to name", qPrintable(entry.object));
            continue;
        }
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            ForgetForeignInterface(*list);
        }
        SetName(*control, entry.name);
        std::vector<QWidget*> parts;
        if (auto* upDown = qobject_cast<UpDown*>(control)) {
            SetName(*upDown->UpButton(), entry.raise);
            SetName(*upDown->DownButton(), entry.lower);
            parts = {upDown->UpButton(), upDown->DownButton()};
        }
        FollowHint(*control, parts);
    }
}

void NotifyAssistiveTechnology(QAccessibleEvent& event) {
    if (Observer()) {
        Observer()(event);
    }
    QAccessible::updateAccessibility(&event);
}

AccessibilityObserver SetAccessibilityObserver(AccessibilityObserver observer) {
    AccessibilityObserver before = std::move(Observer());
    Observer() = std::move(observer);
    return before;
}

}  // namespace tontoko
