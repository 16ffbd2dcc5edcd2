#include "app/Version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/AccessibleNames.h"
#include "widgets/AppFont.h"
#include "widgets/DocumentOpener.h"

namespace tontoko {

namespace {

const QString kCaption = QStringLiteral("『れっつ、とんとこ！』について");
const QString kTitle = QStringLiteral("れっつ、とんとこ！　Ver " TONTOKO_VERSION);
const QString kAuthor = QStringLiteral("作者: Tontoko 開発チーム");
const QString kContact = QStringLiteral("連絡先: 付属の README をご覧ください");
const QString kInstalledReadme = QStringLiteral("連絡先: %1 の README");
const QString kManual = QStringLiteral("index.html");
const QString kClose = QStringLiteral("とじる");

// What a screen reader calls the link and the button.
const std::vector<ControlName> kAccessibleNames = {
    {QStringLiteral("Label4"), QStringLiteral("説明書（index.html）を開く")},
    {QStringLiteral("Button1"), QStringLiteral("とじる")},
};

void SetTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QLabel* BlackLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    SetTextColor(label, Qt::black);
    return label;
}

}  // namespace

QString ReadmeLine(const QString& programFolder) {
    if (programFolder.isEmpty()) {
        return kContact;
    }
    const QDir doc(programFolder + QStringLiteral("/../share/doc/tontoko"));
    if (!doc.exists(QStringLiteral("README.md.gz")) && !doc.exists(QStringLiteral("README.md"))) {
        return kContact;
    }
    return kInstalledReadme.arg(QDir::toNativeSeparators(QDir::cleanPath(doc.absolutePath())));
}

TSVersion::TSVersion(QWidget* parent, DocumentOpener& opener)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      opener_(opener),
      label3_(BlackLabel(QStringLiteral("Label3"), kTitle, this)),
      label1_(BlackLabel(QStringLiteral("Label1"), kAuthor, this)),
      label2_(BlackLabel(QStringLiteral("Label2"),
                         ReadmeLine(QCoreApplication::applicationDirPath()), this)),
      label4_(new QLabel(kManual, this)),
      button1_(new QPushButton(kClose, this)) {
    setObjectName(QStringLiteral("TSVersion"));
    setWindowTitle(kCaption);
    setFont(AppFont());

    QFont title = font();
    title.setPixelSize(16);
    title.setBold(true);
    label3_->setFont(title);

    label4_->setObjectName(QStringLiteral("Label4"));
    QFont link = font();
    link.setUnderline(true);
    label4_->setFont(link);
    SetTextColor(label4_, Qt::blue);
    label4_->setCursor(Qt::PointingHandCursor);
    label4_->installEventFilter(this);

    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setMinimumWidth(75);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(button1_);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 14, 20, 12);
    layout->setSpacing(6);
    layout->addWidget(label3_, 0, Qt::AlignHCenter);
    layout->addSpacing(4);
    layout->addWidget(label1_, 0, Qt::AlignHCenter);
    layout->addWidget(label2_, 0, Qt::AlignHCenter);
    layout->addWidget(label4_, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setFixedSize(354, 146);
    move(292, 146);

    // A long installation folder is shortened in its middle to fit the box;
    // the tool tip holds it whole.
    const int room = width() - layout->contentsMargins().left() - layout->contentsMargins().right();
    const QString contact = label2_->text();
    if (label2_->fontMetrics().horizontalAdvance(contact) > room) {
        label2_->setText(label2_->fontMetrics().elidedText(contact, Qt::ElideMiddle, room));
        label2_->setToolTip(contact);
    }

    NameControls(*this, kAccessibleNames);
    connect(button1_, &QPushButton::clicked, this, &TSVersion::Button1Click);
}

bool TSVersion::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label4_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label4Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TSVersion::Label4Click() {
    opener_.Open(label4_->text());
}

void TSVersion::Button1Click() {
    done(QDialog::Accepted);
}

}  // namespace tontoko
