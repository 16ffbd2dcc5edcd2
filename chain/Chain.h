#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tontoko {

class Messages;
class DialogFolder;
class FileDialogs;

// "演奏データの連結": joins two songs saved by this program into one file. Created
// once and reused, so the chosen names stay between openings.
class TSChainDialog : public QDialog {
    Q_OBJECT
  public:
    // `folder`, when given, is where its file dialogs open, and it remembers
    // the songs chosen there.
    TSChainDialog(QWidget* parent, Messages& messages, FileDialogs& fileDialogs,
                  DialogFolder* folder = nullptr);

    void B_Open1Click();
    void B_Open2Click();
    void B_ChainClick();
    void B_CloseClick();

  private:
    // OD1: asks for an existing song; cancelling leaves `edit` as it was.
    void ChooseInto(QLineEdit* edit);

    Messages& messages_;
    FileDialogs& fileDialogs_;
    DialogFolder* folder_;
    QLabel* label1_;
    QLineEdit* fileName1_;
    QPushButton* open1_;
    QLabel* label2_;
    QLineEdit* fileName2_;
    QPushButton* open2_;
    QLabel* label3_;
    QPushButton* chain_;
    QPushButton* close_;
};

}  // namespace tontoko
