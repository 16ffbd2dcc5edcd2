#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QString;

namespace tontoko {

class DocumentOpener;

// The about box's contact line: the folder of the installed README
// (<prefix>/share/doc/tontoko beside <prefix>/bin, the program's folder) when
// it holds one, else a pointer to the README that comes with the program.
QString ReadmeLine(const QString& programFolder);

// "『れっつ、とんとこ！』について": the about box with the version, who made the
// program, and a link to the manual.
class TSVersion : public QDialog {
    Q_OBJECT
  public:
    TSVersion(QWidget* parent, DocumentOpener& opener);

    // Opens the address the link label shows.
    void Label4Click();
    void Button1Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    DocumentOpener& opener_;
    QLabel* label3_;
    QLabel* label1_;
    QLabel* label2_;
    QLabel* label4_;
    QPushButton* button1_;
};

}  // namespace tontoko
