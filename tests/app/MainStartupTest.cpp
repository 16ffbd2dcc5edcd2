// Start-up state, the control inventory, exit and the modal dialogs.
#include <QDialog>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

#include "MainFixture.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST_F(MainWindowTest, StartUpStateMatchesTheDefaults) {
    Create();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(window->windowTitle(), U("れっつ，とんとこ！Ver.2.0.2"));
    EXPECT_EQ(window->font().pixelSize(), 12);
    EXPECT_EQ(window->pos(), QPoint(104, 102));

    const char* selectors[] = {"CB_One1",   "CB_One2",   "CB_Two1",  "CB_Two2",
                               "CB_Three1", "CB_Three2", "CB_Four1", "CB_Four2"};
    const char* expected[] = {"Ⅰ", "Ⅰ", "Ⅳ", "Ⅳ", "Ⅴ", "Ⅴ", "Ⅰ", "Ⅰ"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Text(selectors[i]), U(expected[i])) << selectors[i];
        EXPECT_EQ(Get<QComboBox>(selectors[i])->count(), 7);
    }
    EXPECT_EQ(Text("Label_Dur"), U("ハ長調"));
    EXPECT_TRUE(Get<QWidget>("Label_Dur")->isEnabled());
    EXPECT_EQ(Text("Edit_Tempo"), U("120"));
    EXPECT_EQ(Text("Edit_Dur"), U("0"));
    EXPECT_EQ(Text("CB_CSelf"), U("Ⅰ"));
    for (const char* name : {"CB_CSelf", "GB_SelfDur", "RB_SDMajor", "RB_SDMinor", "Edit_Dur",
                             "UD_Dur", "GB_SelfTempo", "Edit_Tempo", "UD_Tempo", "GB_SelfChord"}) {
        EXPECT_FALSE(Get<QWidget>(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(Get<QRadioButton>("RB_DMajor")->isChecked());
    EXPECT_TRUE(Get<QRadioButton>("RB_SDMajor")->isChecked());
    EXPECT_TRUE(Get<QRadioButton>("RB_TMedium")->isChecked());
    EXPECT_TRUE(Get<QRadioButton>("RB_COne")->isChecked());
    EXPECT_TRUE(Get<QRadioButton>("RB_MFour")->isChecked());
    EXPECT_TRUE(Get<QRadioButton>("RB_Normal")->isChecked());

    // The probability editor shows row I; column I is disabled.
    EXPECT_EQ(Text("CB_Chord"), U("I"));
    const char* percents[] = {"0", "5", "5", "40", "40", "5", "5"};
    for (int c = 1; c <= 7; ++c) {
        const std::string edit = "Percent" + std::to_string(c);
        const std::string upDown = "UD" + std::to_string(c);
        EXPECT_EQ(Text(edit.c_str()), U(percents[c - 1])) << edit;
        EXPECT_EQ(Get<QWidget>(edit.c_str())->isEnabled(), c != 1) << edit;
        EXPECT_EQ(Get<QWidget>(upDown.c_str())->isEnabled(), c != 1) << upDown;
    }
    EXPECT_FALSE(Get<QCheckBox>("CBEqual")->isChecked());

    for (const char* list : {"CB_Melody", "CB_Acc", "CB_Base"}) {
        EXPECT_EQ(Text(list), U("001　アコースティックグランドピアノ")) << list;
        EXPECT_EQ(Get<QComboBox>(list)->count(), 128);
    }
    EXPECT_EQ(Text("CB_DrumSet"), U("001 STANDARD"));
    EXPECT_EQ(Get<QComboBox>("CB_DrumSet")->count(), 9);
    EXPECT_GT(Get<QComboBox>("CB_AccPattern")->count(), 0);
    EXPECT_EQ(Get<QComboBox>("CB_AccPattern")->currentIndex(), 0);
    EXPECT_EQ(Get<QComboBox>("CB_DrumPattern")->currentIndex(), 0);
    EXPECT_TRUE(Get<QCheckBox>("CB_Drum")->isChecked());

    EXPECT_EQ(Text("E_VMelody"), U("120"));
    for (const char* volume : {"E_VAcc", "E_VBase", "E_VDrum"}) {
        EXPECT_EQ(Text(volume), U("110")) << volume;
    }
    EXPECT_EQ(Text("Edit_Interval"), U("0"));
    EXPECT_EQ(Text("Edit_Measure"), U("1小節目の"));
    for (int m = 1; m <= 4; ++m) {
        const std::string rhythm = "Fix_Rhythm" + std::to_string(m);
        const std::string melody = "Fix_Melody" + std::to_string(m);
        EXPECT_TRUE(Get<QCheckBox>(rhythm.c_str())->isEnabled());
        EXPECT_FALSE(Get<QCheckBox>(rhythm.c_str())->isChecked());
        EXPECT_FALSE(Get<QCheckBox>(melody.c_str())->isEnabled());
        for (int c = 0; c < 8; ++c) {
            EXPECT_TRUE(Name(m, c).isEmpty());
            EXPECT_TRUE(Octave(m, c).isEmpty());
        }
    }
    EXPECT_EQ(Get<QTabWidget>("PageControl")->currentIndex(), 0);
}

TEST_F(MainWindowTest, InventoryCarriesCaptionsHintsAndShortcuts) {
    Create();
    auto* tabs = Get<QTabWidget>("PageControl");
    EXPECT_EQ(tabs->tabText(0), U("めいん"));
    EXPECT_EQ(tabs->tabText(1), U("さ　ぶ"));

    const std::pair<const char*, const char*> groups[] = {
        {"GB_GMelody", "つくられためろでー"},
        {"GB_One", "1小節目"},
        {"GB_Four", "4小節目"},
        {"GB_Etc", "そのた"},
        {"GB_Interval", "メロディ開始まで"},
        {"GB_MLength", "現在の曲の長さは"},
        {"GB_MPos", "現在の場所は"},
        {"GB_Settei", "せってい"},
        {"GB_Dur", "曲の感じ"},
        {"GB_SelfDur", "曲の感じ（自分で）"},
        {"GB_Tempo", "曲のはやさ"},
        {"GB_SelfTempo", "はやさ（自分で）"},
        {"GB_Chord", "はじめの和音"},
        {"GB_SelfChord", "和音〈自分で〉"},
        {"GB_Melody", "メロディ"},
        {"GroupBox1", "設定1　- 音色・音量 -　"},
        {"GroupBox2", "種類"},
        {"GroupBox3", "ボリューム"},
        {"GroupBox4", "設定2　- 伴奏・ドラムパターン -　"},
        {"GroupBox5", "設定3　- コード進行設定 -　"},
        {"GroupBox6", "設定4　- 曲の入り・終わり -　"},
        {"GroupBox7", "空き1"},
        {"GroupBox8", "空き2"},
    };
    for (const auto& [name, caption] : groups) {
        EXPECT_EQ(Get<QGroupBox>(name)->title(), U(caption)) << name;
    }
    const std::pair<const char*, const char*> buttons[] = {
        {"RB_DMajor", "あかるい"},
        {"RB_DMinor", "くらい"},
        {"RB_DSelf", "じぶんで"},
        {"RB_SDMajor", "明"},
        {"RB_SDMinor", "暗"},
        {"RB_TFast", "はやく"},
        {"RB_TMedium", "ちゅうくらい"},
        {"RB_TSlow", "おそい"},
        {"RB_TSelf", "じぶんで"},
        {"RB_COne", "Ｉ の和音"},
        {"RB_CRandom", "適当に"},
        {"RB_CSelf", "自分で"},
        {"RB_MFour", "4分音符多め"},
        {"RB_MEight", "8分音符多め"},
        {"B_CGenerate", "コード進行生成"},
        {"B_MGenerate", "メロディ生成"},
        {"B_Clear", "メロディを消去する"},
        {"Fix_Rhythm2", "リズムを固定する"},
        {"Fix_Melody3", "メロディを固定する"},
        {"B_Random", "ランダム決定"},
        {"CB_Drum", "ドラムパートをONにする"},
        {"CBEqual", "等確率にする"},
        {"RB_Normal", "ふつう"},
        {"RB_FadeIn", "フェードイン"},
        {"RB_FadeOut", "フェードアウト"},
    };
    for (const auto& [name, caption] : buttons) {
        EXPECT_EQ(Get<QAbstractButton>(name)->text(), U(caption)) << name;
    }
    EXPECT_EQ(Get<QWidget>("B_CGenerate")->toolTip(), U("コード進行を自動生成します．"));
    EXPECT_EQ(Get<QWidget>("B_MGenerate")->toolTip(), U("メロディを自動生成します．"));
    EXPECT_EQ(Get<QWidget>("B_Clear")->toolTip(), U("作ったメロディを消去します．"));
    EXPECT_EQ(Text("Label_Interval"), U("拍あける"));
    EXPECT_EQ(Text("Label_MLength"), U("4小節です."));
    // The hints that promised longer songs now say what the controls do.
    EXPECT_EQ(Get<QWidget>("Label_MLength")->toolTip(),
              U("曲の長さです．「4小節ふやす」で長くできます．"));
    EXPECT_EQ(Text("Label_MPos"), U("1小節目の先頭です."));
    EXPECT_EQ(Get<QWidget>("UD_MPos")->toolTip(),
              U("表示する4小節をえらびます．演奏はここから始まります．"));
    EXPECT_EQ(Get<QComboBox>("CB_Chord")->itemText(6), U("VII"));
    EXPECT_EQ(Get<QComboBox>("CB_CSelf")->itemText(6), U("Ⅶ"));

    const std::tuple<const char*, const char*, const char*> actions[] = {
        {"MI_Open", "ファイルの読み込み(&O)", "Ctrl+O"},
        {"MI_Save", "ファイルの保存(&S)", "Ctrl+S"},
        {"MI_Chain", "ファイルの連結(&C)", "Ctrl+C"},
        {"MI_Exit", "終了(&X)", "Ctrl+X"},
        {"MI_Resist", "リズムの登録・呼び出し(&R)", "Ctrl+R"},
        {"MI_Help", "れっつ，とんとこ！について(&H)", "Ctrl+H"},
        {"MI_About", "バージョン情報(&A)", "Ctrl+A"},
        {"MI_Export", "音声ファイルに書き出す(&E)", "Ctrl+E"},
        {"MI_PianoRoll", "ピアノロール(&P)", "Ctrl+P"},
    };
    for (const auto& [name, caption, shortcut] : actions) {
        auto* action = Get<QAction>(name);
        EXPECT_EQ(action->text(), U(caption)) << name;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(shortcut))) << name;
    }
    EXPECT_EQ(Get<QMenu>("MM_File")->title(), U("ファイル(&F)"));
    EXPECT_EQ(Get<QMenu>("MM_Custom")->title(), U("設定(&C)"));
    EXPECT_EQ(Get<QMenu>("MM_View")->title(), U("表示(&V)"));
    EXPECT_EQ(Get<QMenu>("MM_Help")->title(), U("ヘルプ(&H)"));

    // The menus in order, the edit menu added after the file menu, the view
    // and play menus between settings and help, and the export item right
    // after save.
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions()) {
        menus << menu->menu()->objectName();
    }
    EXPECT_EQ(menus,
              QStringList({"MM_File", "MM_Edit", "MM_Custom", "MM_View", "MM_Play", "MM_Help"}));
    QStringList fileItems;
    for (QAction* item : Get<QMenu>("MM_File")->actions()) {
        fileItems << item->objectName();
    }
    EXPECT_EQ(fileItems, QStringList({"MI_Open", "MI_Save", "MI_Export", "MI_Chain", "MI_Exit"}));

    // The tool bar's buttons, in order, with their hints and 16 x 16 pictures:
    // the specified five with export after save, undo and redo after the join,
    // the loop after stop and the piano roll after it.
    const std::pair<const char*, const char*> tools[] = {
        {"TB_Open", "開く"},
        {"TB_Save", "保存"},
        {"TB_Export", "音声ファイルに書き出す"},
        {"TB_Chain", "演奏データの連結"},
        {"TB_Undo", "元に戻す"},
        {"TB_Redo", "やり直し"},
        {"TB_Play", "演奏"},
        {"TB_Stop", "停止"},
        {"TB_Loop", "くりかえし演奏"},
        {"TB_PianoRoll", "ピアノロール"},
    };
    const QList<QAction*> onBar = Get<QToolBar>("TB")->actions();
    ASSERT_EQ(onBar.size(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(onBar[i]->objectName(), QString::fromLatin1(tools[i].first));
        EXPECT_EQ(onBar[i]->toolTip(), U(tools[i].second));
        EXPECT_FALSE(onBar[i]->icon().pixmap(16, 16).isNull());
    }
    // Every picture is a picture of its own.
    for (int i = 0; i < 10; ++i) {
        for (int j = i + 1; j < 10; ++j) {
            EXPECT_NE(onBar[i]->icon().pixmap(16, 16).toImage(),
                      onBar[j]->icon().pixmap(16, 16).toImage())
                << i << " " << j;
        }
    }
}

TEST_F(MainWindowTest, MissingPatternFilesAreReportedDrumFileFirst) {
    Create(false, false);
    ASSERT_EQ(messages.shown.size(), 2u);
    for (const ShownMessage& m : messages.shown) {
        EXPECT_EQ(m.text, U("File Open Error!"));
        EXPECT_EQ(m.caption, U("Message"));
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(Get<QComboBox>("CB_AccPattern")->count(), 0);
    EXPECT_EQ(Get<QComboBox>("CB_DrumPattern")->count(), 0);
    EXPECT_EQ(Text("Label_Dur"), U("ハ長調"));
}

TEST_F(MainWindowTest, OnlyTheMissingFileIsReported) {
    Create(false, true);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(Get<QComboBox>("CB_DrumPattern")->count(), 0);
    EXPECT_GT(Get<QComboBox>("CB_AccPattern")->count(), 0);
    // Playing without drum patterns still writes a file.
    Trigger("TB_Play");
    EXPECT_EQ(player.Count("Play"), 1);
    EXPECT_EQ(player.played.at(0).left(4), QByteArray("MThd"));
}

TEST_F(MainWindowTest, ExitAsksAndClosesOnlyOnYes) {
    Create();
    window->show();
    messages.answer = MessageAnswer::No;
    Trigger("MI_Exit");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, U("アプリケーションを終了します．\nよろしいですか？"));
    EXPECT_EQ(messages.shown[0].caption, U("終了"));
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Text("Label_Dur"), U("ハ長調"));

    messages.answer = MessageAnswer::Yes;
    Trigger("MI_Exit");
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, TitleBarCloseAsksNothingAndACancelledOpenChangesNothing) {
    Create();
    window->show();
    Trigger("MI_Open");
    Trigger("TB_Open");
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[0].filter, U("スタンダードMIDIファイル(*.mid)|*.mid"));
    EXPECT_TRUE(player.calls.empty());
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, DialogCommandsShowTheirDialogModally) {
    Create();
    window->show();
    const std::pair<const char*, const char*> commands[] = {
        {"MI_Chain", "tontoko::TSChainDialog"},
        {"TB_Chain", "tontoko::TSChainDialog"},
        {"MI_Resist", "tontoko::TSRhythmCfg"},
        {"MI_About", "tontoko::TSVersion"},
    };
    for (const auto& [action, dialogClass] : commands) {
        QString seen;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            QWidget* active = QApplication::activeModalWidget();
            if (active) {
                seen = QString::fromLatin1(active->metaObject()->className());
                modal = active->isModal();
                static_cast<QDialog*>(active)->done(QDialog::Accepted);
            }
        });
        Trigger(action);
        EXPECT_EQ(seen, QString::fromLatin1(dialogClass)) << action;
        EXPECT_TRUE(modal) << action;
    }
}

}  // namespace
}  // namespace tontoko::test

namespace tontoko::test {
namespace {

TEST_F(MainWindowTest, CtrlShortcutsReachTheMenuFromTheGrids) {
    Create();
    CopyManual();
    QApplication::setActiveWindow(window.get());
    PressCell(2, 3);
    ASSERT_TRUE(Grid("Melody", 2)->hasFocus());
    QTest::keyClick(Grid("Melody", 2), Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(opener.opened.size(), 1);
    QTest::keyClick(Grid("Melody", 2), Qt::Key_X, Qt::ControlModifier);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, QString::fromUtf8("終了"));
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget* active = QApplication::activeModalWidget()) {
            opened = QString::fromLatin1(active->metaObject()->className());
            static_cast<QDialog*>(active)->done(QDialog::Accepted);
        }
    });
    QTest::keyClick(Grid("Melody", 2), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(opened, QStringLiteral("tontoko::TSChainDialog"));
    // Ctrl+S saves, also with the focus on a list.
    QApplication::setActiveWindow(window.get());
    Get<QComboBox>("CB_One1")->setFocus();
    QTest::keyClick(Get<QComboBox>("CB_One1"), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.requests.size(), 1u);
}

}  // namespace
}  // namespace tontoko::test
