#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QUrl>

#include "widgets/DocumentOpener.h"
#include "widgets/FileDialogs.h"
#include "widgets/Messages.h"

namespace tontoko {

MessageAnswer QtMessages::Show(const QString& text, const QString& caption,
                               MessageButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton, parent_);
    if (buttons == MessageButtons::SaveDiscardCancel) {
        QPushButton* save = box.addButton(QString::fromUtf8("保存"), QMessageBox::AcceptRole);
        QPushButton* discard =
            box.addButton(QString::fromUtf8("保存しない"), QMessageBox::DestructiveRole);
        QPushButton* cancel =
            box.addButton(QString::fromUtf8("キャンセル"), QMessageBox::RejectRole);
        box.setDefaultButton(save);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == save) {
            return MessageAnswer::Save;
        }
        return box.clickedButton() == discard ? MessageAnswer::Discard : MessageAnswer::Cancel;
    }
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

QString QtFileDialogs::QtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        // Qt takes the patterns from the parentheses at the end of the text. A
        // description that already ends with them is shown as written, once.
        const QString own = QLatin1Char('(') + patterns + QLatin1Char(')');
        if (parts[i].endsWith(own)) {
            out << parts[i];
        } else {
            out << QStringLiteral("%1 %2").arg(parts[i], own);
        }
    }
    return out.join(QStringLiteral(";;"));
}

namespace {
QFileDialog::Options OptionsFor(const FileDialogRequest& request) {
    QFileDialog::Options options;
    if (!request.confirmOverwrite) {
        options |= QFileDialog::DontConfirmOverwrite;
    }
    return options;
}

// Qt's own dialog (used where the desktop offers none) opens with a side bar
// too narrow for its Japanese place names; it gets the width they need.
void WidenSideBar(QFileDialog& dialog) {
    auto* sideBar = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    if (!sideBar) {
        return;
    }
    sideBar->setMinimumWidth(sideBar->sizeHintForColumn(0) + 2 * sideBar->frameWidth() +
                             sideBar->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}
}  // namespace

std::optional<QString> QtFileDialogs::SaveFileName(QWidget* parent,
                                                   const FileDialogRequest& request) {
    QFileDialog dialog(parent, QString(),
                       request.directory.isEmpty() ? QDir::currentPath() : request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QtFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOptions(OptionsFor(request));
    WidenSideBar(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

std::optional<QString> QtFileDialogs::OpenFileName(QWidget* parent,
                                                   const FileDialogRequest& request) {
    QFileDialog dialog(parent, QString(),
                       request.directory.isEmpty() ? QDir::currentPath() : request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QtFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    WidenSideBar(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

bool DesktopOpener::Open(const QString& target) {
    const QUrl url(target);
    if (url.isValid() && url.scheme().size() > 1) {
        return QDesktopServices::openUrl(url);
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()));
}

}  // namespace tontoko
