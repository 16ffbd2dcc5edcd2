#include "editing/RhythmCfg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "editing/RhythmTarget.h"
#include "engine/MessageCaptions.h"
#include "widgets/AccessibleNames.h"
#include "widgets/AppFont.h"
#include "widgets/Messages.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

namespace tontoko {

namespace {

// The texts of this dialog.
const QString kCaption = QStringLiteral("リズムについての設定");
const QString kRegistTab = QStringLiteral("リズムの登録");
const QString kCallTab = QStringLiteral("リズムの呼び出し");
const QString kDeleteTab = QStringLiteral("リズムの削除");
const QString kClose = QStringLiteral("閉じる");
const char* const kRegistLabels[] = {
    "こちらでは、リズムの登録をすることができます。",
    "鳴らしたい場所で、マウスをクリックをしてください。",
    "音符は８分音符間隔、１小節単位です。",
    "マス目のところで左クリックをすると、",
    "♪マークがつきます。",
    "もう1度押すと、♪マークが消えます。",
    "最後に登録ボタンをおして、完了です。",
};
const QString kRegist = QStringLiteral("登録");
const char* const kCallLabels[][2] = {
    {"Label8", "こちらでは、登録したリズムパターンを呼び出します。"},
    {"Label9", "呼び出したリズムを、どの小節に適用するかを決めてください。"},
    {"Label10", "適用した小節にあったメロディは、消えてしまいます。"},
    {"Label12", "また、適用した後は、[ メロディ生成 ] ボタンを押してくださいね。"},
};
const QString kWo = QStringLiteral("を");
const QString kMeasureOf = QStringLiteral("小節目に");
const QString kApply = QStringLiteral("適用する");
const char* const kDeleteLabels[][2] = {
    {"Label15", "こちらでは、不要になったり、いっぱいになってしまった"},
    {"Label16", "リズムパターンを消すことができます。"},
    {"Label17", "消したいリズムを選んだあとに、[ 消す ]  ボタンを"},
    {"Label18", "押してください。"},
};
const QString kDelete = QStringLiteral("消す");
const QString kCount = QStringLiteral("現在、%1個のエントリがあります。");
const QString kNote = QStringLiteral("♪");

const QString kDuplicate = QStringLiteral("すでに同じリズムが登録されています。");
const QString kNoNotes = QStringLiteral("「リズムなし」は、登録できません。");
const QString kFull = QStringLiteral(
    "これ以上登録できません。\n[ リズムの削除 ] "
    "をクリックし、\nリズムパターンの削除をしてください。");
const QString kRegistered = QStringLiteral("リズムを登録しました");
const QString kDeleted = QStringLiteral("削除しました。");
const QString kSaveFailed = QStringLiteral(
    "リズムの登録ファイル「RwRhythm.dat」に書き込めませんでした。\n"
    "ファイルは以前の内容のまま残っています。");
const QString kCautionCaption = QStringLiteral("Caution");
const QString kMessageCaption = QString::fromLatin1(captions::kMessage);
const QString kDeleteCaption = QStringLiteral("Messgae");
const QString kErrorCaption = QString::fromLatin1(captions::kError);

// What a screen reader calls each control.
const std::vector<ControlName> kAccessibleNames = {
    {QStringLiteral("PC_Rhythm"), QStringLiteral("リズムの登録・呼び出し・削除")},
    {QStringLiteral("SG_Regist"), QStringLiteral("登録するリズム")},
    {QStringLiteral("B_Regist"), QStringLiteral("登録")},
    {QStringLiteral("SG_Call"), QStringLiteral("呼び出すリズム")},
    {QStringLiteral("UD_Call"), QStringLiteral("呼び出すリズムの番号"),
     QStringLiteral("次のリズムを呼び出す"), QStringLiteral("前のリズムを呼び出す")},
    {QStringLiteral("E_Apply"), QStringLiteral("適用する小節")},
    {QStringLiteral("UD_Apply"), QStringLiteral("適用する小節"),
     QStringLiteral("適用する小節を後ろへ"), QStringLiteral("適用する小節を前へ")},
    {QStringLiteral("B_Apply"), QStringLiteral("適用する")},
    {QStringLiteral("SG_Delete"), QStringLiteral("消すリズム")},
    {QStringLiteral("UD_Delete"), QStringLiteral("消すリズムの番号"),
     QStringLiteral("次のリズムを選ぶ"), QStringLiteral("前のリズムを選ぶ")},
    {QStringLiteral("B_Delete"), QStringLiteral("消す")},
    {QStringLiteral("Button1"), QStringLiteral("閉じる")},
};

constexpr int kColumns = 8;
constexpr int kCellSize = 15;

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QPushButton* NamedButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setMinimumWidth(75);
    return button;
}

StringGrid* NamedGrid(const QString& name, QWidget* parent) {
    auto* grid = new StringGrid(kColumns, kCellSize, kCellSize, parent);
    grid->setObjectName(name);
    return grid;
}

UpDown* NamedSelector(const QString& name, int minimum, int maximum, QWidget* parent) {
    auto* selector = new UpDown(Qt::Vertical, parent);
    selector->setObjectName(name);
    selector->SetRange(minimum, maximum);
    selector->SetPosition(minimum);
    return selector;
}

}  // namespace

TSRhythmCfg::TSRhythmCfg(QWidget* parent, RhythmTarget& target, Messages& messages)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      target_(target),
      messages_(messages) {
    setObjectName(QStringLiteral("TSRhythmCfg"));
    setWindowTitle(kCaption);
    setFont(AppFont());

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PC_Rhythm"));
    auto* registPage = new QWidget;
    registPage->setObjectName(QStringLiteral("RRegist"));
    auto* callPage = new QWidget;
    callPage->setObjectName(QStringLiteral("RCall"));
    auto* deletePage = new QWidget;
    deletePage->setObjectName(QStringLiteral("TabSheet1"));
    BuildRegisterTab(registPage);
    BuildCallTab(callPage);
    BuildDeleteTab(deletePage);
    tabs_->addTab(registPage, kRegistTab);
    tabs_->addTab(callPage, kCallTab);
    tabs_->addTab(deletePage, kDeleteTab);
    tabs_->setCurrentWidget(callPage);

    closeButton_ = NamedButton(QStringLiteral("Button1"), kClose, this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(closeButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(tabs_);
    layout->addLayout(bottom);
    setFixedSize(420, 270);

    NameControls(*this, kAccessibleNames);

    connect(regist_, &StringGrid::mousePressed, this,
            [this](int column, Qt::MouseButton) { SG_RegistMouseDown(column); });
    connect(registButton_, &QPushButton::clicked, this, &TSRhythmCfg::B_RegistClick);
    connect(callSelector_, &UpDown::clicked, this, &TSRhythmCfg::UD_CallClick);
    connect(deleteSelector_, &UpDown::clicked, this, &TSRhythmCfg::UD_DeleteClick);
    connect(applyButton_, &QPushButton::clicked, this, &TSRhythmCfg::B_ApplyClick);
    connect(deleteButton_, &QPushButton::clicked, this, &TSRhythmCfg::B_DeleteClick);
    connect(closeButton_, &QPushButton::clicked, this, &TSRhythmCfg::Button1Click);

    // Nothing is registered until the file has been read.
    ShowCount();
    SelectorRange(0);
}

void TSRhythmCfg::BuildRegisterTab(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(2);
    int n = 1;
    for (const char* text : kRegistLabels) {
        layout->addWidget(
            NamedLabel(QStringLiteral("Label%1").arg(n++), QString::fromUtf8(text), page));
    }
    layout->addSpacing(8);
    regist_ = NamedGrid(QStringLiteral("SG_Regist"), page);
    registButton_ = NamedButton(QStringLiteral("B_Regist"), kRegist, page);
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(regist_);
    row->addWidget(registButton_);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);
}

void TSRhythmCfg::BuildCallTab(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(2);
    for (const auto& [name, text] : kCallLabels) {
        layout->addWidget(NamedLabel(QString::fromUtf8(name), QString::fromUtf8(text), page));
    }
    layout->addSpacing(6);
    callEntry_ = NamedLabel(QStringLiteral("CallEntry"), QString(), page);
    layout->addWidget(callEntry_);
    layout->addSpacing(4);

    call_ = NamedGrid(QStringLiteral("SG_Call"), page);
    callSelector_ = NamedSelector(QStringLiteral("UD_Call"), 0, 0, page);
    applyEdit_ = new QLineEdit(page);
    applyEdit_->setObjectName(QStringLiteral("E_Apply"));
    applyEdit_->setFixedWidth(26);
    applyEdit_->setAlignment(Qt::AlignRight);
    applySelector_ = NamedSelector(QStringLiteral("UD_Apply"), 1, 4, page);
    applySelector_->SetBuddy(applyEdit_);
    applyButton_ = NamedButton(QStringLiteral("B_Apply"), kApply, page);

    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(call_);
    row->addWidget(callSelector_);
    row->addWidget(NamedLabel(QStringLiteral("Label14"), kWo, page));
    row->addSpacing(6);
    row->addWidget(applyEdit_);
    row->addWidget(applySelector_);
    row->addWidget(NamedLabel(QStringLiteral("Label13"), kMeasureOf, page));
    row->addSpacing(6);
    row->addWidget(applyButton_);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);
}

void TSRhythmCfg::BuildDeleteTab(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(2);
    for (const auto& [name, text] : kDeleteLabels) {
        layout->addWidget(NamedLabel(QString::fromUtf8(name), QString::fromUtf8(text), page));
    }
    layout->addSpacing(6);
    deleteEntry_ = NamedLabel(QStringLiteral("DeleteEntry"), QString(), page);
    layout->addWidget(deleteEntry_);
    layout->addSpacing(4);

    delete_ = NamedGrid(QStringLiteral("SG_Delete"), page);
    deleteSelector_ = NamedSelector(QStringLiteral("UD_Delete"), 0, 0, page);
    deleteButton_ = NamedButton(QStringLiteral("B_Delete"), kDelete, page);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(delete_);
    row->addWidget(deleteSelector_);
    row->addSpacing(12);
    row->addWidget(deleteButton_);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);
}

void TSRhythmCfg::showEvent(QShowEvent* event) {
    // Showing again after the window system hid it (a restore) is no new opening.
    if (!event->spontaneous()) {
        FormShow();
    }
    QDialog::showEvent(event);
}

void TSRhythmCfg::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TSRhythmCfg::FormShow() {
    store_.Load(RhythmStore::kFileName);
    // The measures of the part shown, by their numbers in the song; the
    // choice keeps its place among them.
    const int first = target_.FirstMeasure();
    const int offset = applySelector_->Position() - applyFirst_;
    applyFirst_ = first;
    applySelector_->SetRange(first, first + 3);
    applySelector_->SetPosition(first + std::clamp(offset, 0, 3));
    ShowCount();
    SelectorRange(store_.Count() - 1);
}

void TSRhythmCfg::FormClose() {
    if (!store_.Save(RhythmStore::kFileName)) {
        messages_.Show(kSaveFailed, kErrorCaption);
    }
}

void TSRhythmCfg::ShowEntry(int index, int target) {
    if (index < 0 || index >= store_.Count()) {
        return;
    }
    const std::string& entry = store_.Entry(index);
    for (int j = 0; j < kColumns; ++j) {
        const QString text = entry[2 * j] == '1' ? kNote : QString();
        if (target & kShowCall) {
            call_->SetCell(j, text);
        }
        if (target & kShowDelete) {
            delete_->SetCell(j, text);
        }
    }
}

void TSRhythmCfg::ShowSelectedEntries() {
    if (store_.Count() == 0) {
        call_->ClearCells();
        delete_->ClearCells();
        return;
    }
    ShowEntry(callSelector_->Position(), kShowCall);
    ShowEntry(deleteSelector_->Position(), kShowDelete);
}

void TSRhythmCfg::ShowCount() {
    const QString text = kCount.arg(store_.Count());
    callEntry_->setText(text);
    deleteEntry_->setText(text);
}

void TSRhythmCfg::SelectorRange(int maximum) {
    // The selectors never reach past the last entry nor below the first; their
    // positions are pulled back into range with it.
    maximum = std::max(maximum, 0);
    callSelector_->SetRange(0, maximum);
    deleteSelector_->SetRange(0, maximum);
    Enable(store_.Count() > 0);
}

void TSRhythmCfg::Enable(bool on) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{call_, callSelector_, applyEdit_, applySelector_,
                                         applyButton_, delete_, deleteSelector_, deleteButton_}) {
        control->setEnabled(on);
    }
    ShowSelectedEntries();
}

void TSRhythmCfg::SG_RegistMouseDown(int column) {
    // A press beside the cells counts as one on the last column.
    if (column < 0 || column >= kColumns) {
        column = kColumns - 1;
    }
    regist_->SetCell(column, regist_->Cell(column).isEmpty() ? kNote : QString());
}

void TSRhythmCfg::B_RegistClick() {
    std::string pattern(RhythmStore::kPatternLength, '0');
    for (int j = 0; j < kColumns; ++j) {
        if (!regist_->Cell(j).isEmpty()) {
            pattern[2 * j] = '1';
        }
    }
    regist_->ClearCells();

    bool refused = false;
    for (int i = store_.CountEqual(pattern); i > 0; --i) {
        messages_.Show(kDuplicate, kCautionCaption);
        refused = true;
    }
    if (pattern.find('1') == std::string::npos) {
        messages_.Show(kNoNotes, kCautionCaption);
        refused = true;
    }
    if (refused) {
        return;
    }
    if (!store_.Add(pattern)) {
        messages_.Show(kFull, kMessageCaption);
        return;
    }
    ShowCount();
    messages_.Show(kRegistered, kMessageCaption);
    SelectorRange(store_.Count() - 1);
}

void TSRhythmCfg::UD_CallClick() {
    ShowEntry(callSelector_->Position(), kShowCall);
}

void TSRhythmCfg::UD_DeleteClick() {
    ShowEntry(deleteSelector_->Position(), kShowDelete);
}

void TSRhythmCfg::B_ApplyClick() {
    const int index = callSelector_->Position();
    if (index < 0 || index >= store_.Count()) {
        return;
    }
    target_.ApplyRhythm(applySelector_->Position() - applyFirst_ + 1, store_.Entry(index));
}

void TSRhythmCfg::B_DeleteClick() {
    const int index = deleteSelector_->Position();
    if (index < 0 || index >= store_.Count()) {
        return;
    }
    store_.Remove(index);
    ShowCount();
    SelectorRange(store_.Count() - 1);
    messages_.Show(kDeleted, kDeleteCaption);
}

void TSRhythmCfg::Button1Click() {
    done(QDialog::Accepted);
}

}  // namespace tontoko
