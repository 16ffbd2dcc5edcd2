#include "chain/Chain.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "chain/Join.h"
#include "engine/MessageCaptions.h"
#include "widgets/AccessibleNames.h"
#include "widgets/AppFont.h"
#include "widgets/DialogFolder.h"
#include "widgets/FileDialogs.h"
#include "widgets/Messages.h"

namespace tontoko {

namespace {

// The texts of this dialog.
const QString kCaption = QStringLiteral("演奏データの連結");
const QString kLabel1 = QStringLiteral("連結元と連結先のファイルを指定してください。");
const QString kLabel2 = QStringLiteral("の後ろに");
const QString kLabel3 = QStringLiteral("を");
const QString kOpen = QStringLiteral("開く");
const QString kChain = QStringLiteral("連結する");
const QString kClose = QStringLiteral("閉じる");
const QString kFilter = QStringLiteral("スタンダードMIDIファイル|*.mid");
const QString kSuffix = QStringLiteral("mid");
const QString kNamesMissing = QStringLiteral("それぞれのファイルを指定してください");
const QString kDone = QStringLiteral("ファイルの連結が終了しました。");
const QString kNotOurSong =
    QStringLiteral("「%1」は、このソフトで保存した演奏データではありません。\n連結できません。");
const QString kUnreadable = QStringLiteral("「%1」を読み込めませんでした。\n連結できません。");
const QString kWriteFailed =
    QStringLiteral("「%1」に書き込めませんでした。\nファイルは作られていません。");
const QString kError = QString::fromLatin1(captions::kError);

// What a screen reader calls each control.
const std::vector<ControlName> kAccessibleNames = {
    {QStringLiteral("FileName1"), QStringLiteral("前になる曲のファイル")},
    {QStringLiteral("B_Open1"), QStringLiteral("前になる曲のファイルを選ぶ")},
    {QStringLiteral("FileName2"), QStringLiteral("後ろにつなぐ曲のファイル")},
    {QStringLiteral("B_Open2"), QStringLiteral("後ろにつなぐ曲のファイルを選ぶ")},
    {QStringLiteral("B_Chain"), QStringLiteral("連結する")},
    {QStringLiteral("B_Close"), QStringLiteral("閉じる")},
};

QString FullPath(const QString& name) {
    return QFileInfo(name).absoluteFilePath();
}

// A file name as the file system spells it.
std::string OnDisk(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

}  // namespace

TSChainDialog::TSChainDialog(QWidget* parent, Messages& messages, FileDialogs& fileDialogs,
                             DialogFolder* folder)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      messages_(messages),
      fileDialogs_(fileDialogs),
      folder_(folder),
      label1_(new QLabel(kLabel1, this)),
      fileName1_(new QLineEdit(this)),
      open1_(new QPushButton(kOpen, this)),
      label2_(new QLabel(kLabel2, this)),
      fileName2_(new QLineEdit(this)),
      open2_(new QPushButton(kOpen, this)),
      label3_(new QLabel(kLabel3, this)),
      chain_(new QPushButton(kChain, this)),
      close_(new QPushButton(kClose, this)) {
    setObjectName(QStringLiteral("TSChainDialog"));
    setWindowTitle(kCaption);
    setFont(AppFont());
    label1_->setObjectName(QStringLiteral("Label1"));
    fileName1_->setObjectName(QStringLiteral("FileName1"));
    open1_->setObjectName(QStringLiteral("B_Open1"));
    label2_->setObjectName(QStringLiteral("Label2"));
    fileName2_->setObjectName(QStringLiteral("FileName2"));
    open2_->setObjectName(QStringLiteral("B_Open2"));
    label3_->setObjectName(QStringLiteral("Label3"));
    chain_->setObjectName(QStringLiteral("B_Chain"));
    close_->setObjectName(QStringLiteral("B_Close"));

    for (QLineEdit* edit : {fileName1_, fileName2_}) {
        edit->setReadOnly(true);
        edit->setMinimumWidth(280);
    }
    for (QPushButton* button : {open1_, open2_, chain_, close_}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(75);
    }

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->addWidget(fileName1_, 0, 0);
    grid->addWidget(open1_, 0, 1);
    grid->addWidget(label2_, 1, 0);
    grid->addWidget(fileName2_, 2, 0);
    grid->addWidget(open2_, 2, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(label3_);
    bottom->addStretch(1);
    bottom->addWidget(chain_);
    bottom->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(label1_);
    layout->addLayout(grid);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    NameControls(*this, kAccessibleNames);

    connect(open1_, &QPushButton::clicked, this, &TSChainDialog::B_Open1Click);
    connect(open2_, &QPushButton::clicked, this, &TSChainDialog::B_Open2Click);
    connect(chain_, &QPushButton::clicked, this, &TSChainDialog::B_ChainClick);
    connect(close_, &QPushButton::clicked, this, &TSChainDialog::B_CloseClick);
}

void TSChainDialog::ChooseInto(QLineEdit* edit) {
    FileDialogRequest od1;
    od1.filter = kFilter;
    od1.defaultSuffix = kSuffix;
    od1.directory = folder_ ? folder_->Folder() : QString();
    if (const std::optional<QString> name = fileDialogs_.OpenFileName(this, od1)) {
        edit->setText(*name);
        if (folder_) {
            folder_->Remember(*name);
        }
    }
}

void TSChainDialog::B_Open1Click() {
    ChooseInto(fileName1_);
}

void TSChainDialog::B_Open2Click() {
    ChooseInto(fileName2_);
}

void TSChainDialog::B_ChainClick() {
    FileDialogRequest sd1;
    sd1.filter = kFilter;
    sd1.defaultSuffix = kSuffix;
    sd1.confirmOverwrite = false;
    sd1.directory = folder_ ? folder_->Folder() : QString();
    const std::optional<QString> chosen = fileDialogs_.SaveFileName(this, sd1);
    if (!chosen) {
        return;
    }
    if (folder_) {
        folder_->Remember(*chosen);
    }
    const QString result = FullPath(*chosen);
    if (fileName1_->text().isEmpty() || fileName2_->text().isEmpty()) {
        messages_.Show(kNamesMissing, kError);
        return;
    }
    const QString first = fileName1_->text();
    const QString second = fileName2_->text();
    switch (JoinFiles(OnDisk(FullPath(first)), OnDisk(FullPath(second)), OnDisk(result))) {
        case JoinStatus::Done:
            messages_.Show(kDone, QString());
            break;
        case JoinStatus::FirstUnreadable:
            messages_.Show(kUnreadable.arg(first), kError);
            break;
        case JoinStatus::FirstInvalid:
            messages_.Show(kNotOurSong.arg(first), kError);
            break;
        case JoinStatus::SecondUnreadable:
            messages_.Show(kUnreadable.arg(second), kError);
            break;
        case JoinStatus::SecondInvalid:
            messages_.Show(kNotOurSong.arg(second), kError);
            break;
        case JoinStatus::WriteFailed:
            messages_.Show(kWriteFailed.arg(result), kError);
            break;
    }
}

void TSChainDialog::B_CloseClick() {
    done(QDialog::Accepted);
}

}  // namespace tontoko
