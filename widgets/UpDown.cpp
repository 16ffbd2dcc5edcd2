#include "widgets/UpDown.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace tontoko {

UpDown::UpDown(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    const bool vertical = orientation == Qt::Vertical;
    up_->setObjectName(QStringLiteral("UpArrow"));
    down_->setObjectName(QStringLiteral("DownArrow"));
    up_->setArrowType(vertical ? Qt::UpArrow : Qt::RightArrow);
    down_->setArrowType(vertical ? Qt::DownArrow : Qt::LeftArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        b->setFixedSize(vertical ? QSize(16, 11) : QSize(14, 18));
    }
    QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(this))
                                  : static_cast<QBoxLayout*>(new QHBoxLayout(this));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (vertical) {
        layout->addWidget(up_);
        layout->addWidget(down_);
    } else {
        layout->addWidget(down_);
        layout->addWidget(up_);
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
    connect(up_, &QToolButton::clicked, this, [this] { Press(true); });
    connect(down_, &QToolButton::clicked, this, [this] { Press(false); });
}

void UpDown::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    position_ = std::clamp(position_, minimum_, maximum_);
    ShowPosition();
}

void UpDown::SetPosition(int position) {
    position_ = std::clamp(position, minimum_, maximum_);
    ShowPosition();
}

void UpDown::SetBuddy(QLineEdit* buddy) {
    buddy_ = buddy;
    if (buddy_) {
        buddy_->setReadOnly(true);
        buddy_->setFocusPolicy(Qt::NoFocus);
        buddy_->setEnabled(isEnabled());
    }
    ShowPosition();
}

void UpDown::Press(bool up) {
    if (!isEnabled()) {
        return;
    }
    const int proposed = position_ + (up ? step_ : -step_);
    emit changing(proposed);
    position_ = std::clamp(proposed, minimum_, maximum_);
    ShowPosition();
    emit clicked(position_);
}

void UpDown::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && buddy_) {
        buddy_->setEnabled(isEnabled());
    }
    QWidget::changeEvent(event);
}

void UpDown::ShowPosition() {
    const QString text = QString::number(position_);
    if (buddy_ && buddy_->text() != text) {
        buddy_->setText(text);
    }
}

}  // namespace tontoko
