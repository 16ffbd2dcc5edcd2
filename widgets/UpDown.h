#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace tontoko {

// An up-down spinner: two arrows over a position with minimum, maximum and step,
// no wrap. It may show its position in a buddy read-only edit. A user press
// emits changing(proposed) before the move (the proposal may lie one step
// outside the range at either end) and clicked(position) after it. Setting the
// position from code emits nothing.
class UpDown : public QWidget {
    Q_OBJECT
  public:
    explicit UpDown(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    void SetStep(int step) { step_ = step; }
    void SetPosition(int position);
    int Position() const { return position_; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    int Step() const { return step_; }

    // The edit that always shows the position. It is kept out of the focus chain.
    void SetBuddy(QLineEdit* buddy);

    // What a press on an arrow does (also used by tests and keyboard).
    void Press(bool up);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

  signals:
    void changing(int proposed);
    void clicked(int position);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void ShowPosition();

    QToolButton* up_;
    QToolButton* down_;
    QLineEdit* buddy_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int step_ = 1;
    int position_ = 0;
};

}  // namespace tontoko
