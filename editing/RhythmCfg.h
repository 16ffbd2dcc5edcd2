#pragma once

#include <QDialog>

#include "editing/RhythmStore.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tontoko {

class Messages;
class RhythmTarget;
class StringGrid;
class UpDown;

// "リズムについての設定": draws one-measure rhythms, keeps up to ten of them in
// "RwRhythm.dat" and applies one to a measure of the song. The list is read
// from the file each time the dialog is shown and written back each time it
// closes; tabs, grids and selectors keep their state between openings.
//
// Every display grid always shows the entry at its selector's position, so
// what is shown is what apply and delete use.
class TSRhythmCfg : public QDialog {
    Q_OBJECT
  public:
    TSRhythmCfg(QWidget* parent, RhythmTarget& target, Messages& messages);

    void FormShow();
    void FormClose();
    void SG_RegistMouseDown(int column);
    void B_RegistClick();
    void UD_CallClick();
    void UD_DeleteClick();
    void B_ApplyClick();
    void B_DeleteClick();
    void Button1Click();

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    enum ShowTarget { kShowCall = 1, kShowDelete = 2 };

    void BuildRegisterTab(QWidget* page);
    void BuildCallTab(QWidget* page);
    void BuildDeleteTab(QWidget* page);

    void ShowEntry(int index, int target);
    void ShowSelectedEntries();
    void ShowCount();
    void SelectorRange(int maximum);
    void Enable(bool on);

    RhythmTarget& target_;
    Messages& messages_;
    RhythmStore store_;

    QTabWidget* tabs_ = nullptr;
    StringGrid* regist_ = nullptr;
    QPushButton* registButton_ = nullptr;
    QLabel* callEntry_ = nullptr;
    StringGrid* call_ = nullptr;
    UpDown* callSelector_ = nullptr;
    QLineEdit* applyEdit_ = nullptr;
    UpDown* applySelector_ = nullptr;
    int applyFirst_ = 1;  // the song's number of the first measure offered
    QPushButton* applyButton_ = nullptr;
    QLabel* deleteEntry_ = nullptr;
    StringGrid* delete_ = nullptr;
    UpDown* deleteSelector_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace tontoko
