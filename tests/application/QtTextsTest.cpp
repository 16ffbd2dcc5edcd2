// Qt's own texts (message-box buttons, the file dialog) are Japanese; the
// program's own captions stay as they are.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "../support/TempDir.h"
#include "app/main.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Runs `look` on the first modal dialog of type T that opens, then closes it.
template <class T>
void WhenModalOpens(std::function<void(T&)> look) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, look] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            look(*dialog);
            dialog->reject();
        }
    });
    timer->start();
}

// A main window with its real message boxes and file dialogs, in a working
// folder that holds the pattern files.
class QtTextsTest : public ::testing::Test {
  protected:
    QtTextsTest() {
        const std::filesystem::path data = std::filesystem::path(TONTOKO_SOURCE_DIR) / "data";
        for (const char* name : {"AccPattern.dat", "DrumPattern.dat"}) {
            std::filesystem::copy_file(data / name, dir.Path() / name);
        }
    }
    TempDir dir{true};
};

TEST_F(QtTextsTest, TheExitQuestionAnswersInJapaneseUnderItsOwnCaption) {
    ASSERT_EQ(QLocale::system().name(), QStringLiteral("ja_JP"));
    TSMain window;
    window.show();
    QString caption, text;
    QStringList buttons;
    WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
        caption = box.windowTitle();
        text = box.text();
        buttons << box.button(QMessageBox::Yes)->text() << box.button(QMessageBox::No)->text();
        box.button(QMessageBox::No)->click();
    });
    window.MI_ExitClick();
    EXPECT_EQ(caption, U("終了"));
    EXPECT_EQ(text, U("アプリケーションを終了します．\nよろしいですか？"));
    ASSERT_EQ(buttons.size(), 2);
    // "はい(&Y)": the mnemonic is Qt's.
    EXPECT_TRUE(buttons[0].startsWith(U("はい"))) << buttons[0].toStdString();
    EXPECT_TRUE(buttons[1].startsWith(U("いいえ"))) << buttons[1].toStdString();
    EXPECT_TRUE(window.isVisible());  // answered No
}

TEST_F(QtTextsTest, TheSaveDialogIsJapaneseAndShowsTheFilterOnce) {
    TSMain window;
    window.show();
    QString title, accept, cancel, filter;
    WhenModalOpens<QFileDialog>([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        auto* box = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(box, nullptr);
        const QList<QAbstractButton*> buttons = box->buttons();
        for (QAbstractButton* button : buttons) {
            const auto role = box->buttonRole(button);
            if (role == QDialogButtonBox::AcceptRole) {
                accept = button->text();
            } else if (role == QDialogButtonBox::RejectRole) {
                cancel = button->text();
            }
        }
        if (auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
            filter = types->currentText();
        }
    });
    window.MI_SaveClick();
    EXPECT_EQ(title, U("名前を付けて保存"));
    EXPECT_TRUE(accept.startsWith(U("保存"))) << accept.toStdString();
    EXPECT_TRUE(cancel.startsWith(U("キャンセル"))) << cancel.toStdString();
    EXPECT_EQ(filter, U("スタンダードMIDIファイル(*.mid)"));
}

}  // namespace
}  // namespace tontoko::test
