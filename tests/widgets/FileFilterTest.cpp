// The file dialogs show each filter once, as the program writes it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>

#include "widgets/FileDialogs.h"

namespace tontoko {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST(FileFilter, ADescriptionWithItsPatternIsShownAsWritten) {
    EXPECT_EQ(QtFileDialogs::QtFilter(U("スタンダードMIDIファイル(*.mid)|*.mid")),
              U("スタンダードMIDIファイル(*.mid)"));
    EXPECT_EQ(QtFileDialogs::QtFilter(U("WAVファイル(*.wav)|*.wav|FLACファイル(*.flac)|*.flac|Ogg "
                                        "Vorbisファイル(*.ogg)|*.ogg")),
              U("WAVファイル(*.wav);;FLACファイル(*.flac);;Ogg Vorbisファイル(*.ogg)"));
}

TEST(FileFilter, ADescriptionWithoutPatternGetsItOnce) {
    EXPECT_EQ(QtFileDialogs::QtFilter(U("スタンダードMIDIファイル|*.mid")),
              U("スタンダードMIDIファイル (*.mid)"));
    // Several patterns of one filter are separated by blanks in Qt's form.
    EXPECT_EQ(QtFileDialogs::QtFilter(U("MIDI|*.mid;*.midi")), U("MIDI (*.mid *.midi)"));
    // Another pattern in the description does not count as this one.
    EXPECT_EQ(QtFileDialogs::QtFilter(U("曲(*.midi)|*.mid")), U("曲(*.midi) (*.mid)"));
}

TEST(FileFilter, TheDialogListsTheTextAndStillFiltersByThePattern) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(QtFileDialogs::QtFilter(U("スタンダードMIDIファイル(*.mid)|*.mid")));
    EXPECT_EQ(dialog.nameFilters(), QStringList{U("スタンダードMIDIファイル(*.mid)")});
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 1);
    EXPECT_EQ(types->itemText(0), U("スタンダードMIDIファイル(*.mid)"));
    // The pattern Qt took from the text is what the file list filters by.
    auto* files = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->nameFilters(), QStringList{U("*.mid")});
}

}  // namespace
}  // namespace tontoko
