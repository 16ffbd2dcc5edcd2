#include "app/AccessibleNames.h"

#include <QAction>
#include <QMainWindow>
#include <QTabBar>
#include <QToolBar>

#include "widgets/AccessibleNames.h"

namespace tontoko {

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

ControlName Plain(const char* object, const char* name) {
    return {QString::fromLatin1(object), Q(name)};
}

// An up-down whose arrows raise and lower the value it names.
ControlName Value(const char* object, const char* name) {
    const QString value = Q(name);
    return {QString::fromLatin1(object), value, value + Q("を上げる"), value + Q("を下げる")};
}

ControlName Stepper(const char* object, const char* name, const char* raise, const char* lower) {
    return {QString::fromLatin1(object), Q(name), Q(raise), Q(lower)};
}

// The controls of measure groups 1..4, named after the measures' numbers in
// the song, from `firstMeasure`.
void AddMeasureNames(std::vector<ControlName>& names, int firstMeasure) {
    static const char* const kSelectors[] = {"One", "Two", "Three", "Four"};
    for (int m = 1; m <= 4; ++m) {
        const QString measure = Q("%1小節目").arg(firstMeasure + m - 1);
        const QString selector = QStringLiteral("CB_%1").arg(QLatin1String(kSelectors[m - 1]));
        const QString number = QString::number(m);
        names.push_back({selector + QLatin1Char('1'), measure + Q(" 前半の和音")});
        names.push_back({selector + QLatin1Char('2'), measure + Q(" 後半の和音")});
        names.push_back({QStringLiteral("Octave") + number, measure + Q("のオクターブ")});
        names.push_back({QStringLiteral("Melody") + number, measure + Q("のメロディ")});
        names.push_back({QStringLiteral("Fix_Rhythm") + number, measure + Q("のリズムを固定する")});
        names.push_back(
            {QStringLiteral("Fix_Melody") + number, measure + Q("のメロディを固定する")});
    }
}

// Page "めいん": the settings, "そのた" and the melody that was made.
void AddMainPage(std::vector<ControlName>& names) {
    names.insert(
        names.end(),
        {
            Plain("RB_DMajor", "あかるい曲にする"),
            Plain("RB_DMinor", "くらい曲にする"),
            Plain("RB_DSelf", "曲の感じを自分で決める"),
            Plain("Edit_Dur", "調"),
            Value("UD_Dur", "調"),
            Plain("RB_SDMajor", "長調（明）"),
            Plain("RB_SDMinor", "短調（暗）"),
            Plain("RB_TFast", "はやいテンポ"),
            Plain("RB_TMedium", "ちゅうくらいのテンポ"),
            Plain("RB_TSlow", "おそいテンポ"),
            Plain("RB_TSelf", "テンポを自分で決める"),
            Plain("Edit_Tempo", "テンポ"),
            Value("UD_Tempo", "テンポ"),
            Plain("RB_COne", "はじめの和音をⅠにする"),
            Plain("RB_CRandom", "はじめの和音を適当に決める"),
            Plain("RB_CSelf", "はじめの和音を自分で決める"),
            Plain("CB_CSelf", "はじめの和音"),
            Plain("RB_MFour", "4分音符の多いメロディ"),
            Plain("RB_MEight", "8分音符の多いメロディ"),
            Plain("CB_Finish", "きれいに仕上げる"),
            Plain("CB_Motif", "くりかえしのあるメロディ"),
            Plain("B_CGenerate", "コード進行生成"),
            Plain("B_MGenerate", "メロディ生成"),
            Plain("Edit_Interval", "メロディ開始までの拍数"),
            Stepper("UD_Interval", "メロディ開始までの拍数", "メロディ開始までの拍数を増やす",
                    "メロディ開始までの拍数を減らす"),
            Plain("B_PartAdd", "4小節ふやす"),
            Plain("B_PartDelete", "この4小節をけす"),
            Stepper("UD_MPos", "現在の場所", "現在の場所を後ろへ", "現在の場所を前へ"),
            Plain("Edit_Measure", "消去する小節"),
            Stepper("UD_Measure", "消去する小節", "消去する小節を後ろへ", "消去する小節を前へ"),
            Plain("B_Clear", "メロディを消去する"),
        });
    AddMeasureNames(names, 1);
}

// Page "さ　ぶ": sounds, volumes, patterns, the transition table and the fade.
void AddSoundPage(std::vector<ControlName>& names) {
    names.insert(names.end(), {
                                  Plain("CB_Melody", "メロディの音色"),
                                  Plain("CB_Acc", "伴奏の音色"),
                                  Plain("CB_Base", "ベースの音色"),
                                  Plain("CB_DrumSet", "ドラムセット"),
                                  Plain("B_Random", "音色をランダムに決める"),
                                  Plain("E_VMelody", "メロディの音量"),
                                  Value("UD_VMelody", "メロディの音量"),
                                  Plain("E_VAcc", "伴奏の音量"),
                                  Value("UD_VAcc", "伴奏の音量"),
                                  Plain("E_VBase", "ベースの音量"),
                                  Value("UD_VBase", "ベースの音量"),
                                  Plain("E_VDrum", "ドラムの音量"),
                                  Value("UD_VDrum", "ドラムの音量"),
                                  Plain("CB_AccPattern", "伴奏のパターン"),
                                  Plain("B_PreviewAcc", "伴奏のパターンを試聴"),
                                  Plain("CB_DrumPattern", "ドラムのパターン"),
                                  Plain("B_PreviewDrum", "ドラムのパターンを試聴"),
                                  Plain("CB_Drum", "ドラムパートをONにする"),
                                  Plain("CB_Chord", "進む前の和音"),
                                  Plain("CBEqual", "等確率にする"),
                                  Plain("RB_Normal", "曲の入り・終わりをふつうにする"),
                                  Plain("RB_FadeIn", "フェードイン"),
                                  Plain("RB_FadeOut", "フェードアウト"),
                              });
    static const char* const kDegrees[] = {"Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ", "Ⅴ", "Ⅵ", "Ⅶ"};
    for (int c = 1; c <= 7; ++c) {
        const QString number = QString::number(c);
        const QString chance = Q("%1へ進む確率").arg(Q(kDegrees[c - 1]));
        names.push_back({QStringLiteral("Percent") + number, chance});
        names.push_back({QStringLiteral("UD") + number, chance, chance + Q("を上げる"),
                         chance + Q("を下げる")});
    }
}

// The tool-bar buttons are made by the tool bar for its actions.
void NameToolBar(QMainWindow& window) {
    auto* bar = window.findChild<QToolBar*>(QStringLiteral("TB"));
    if (!bar) {
        return;
    }
    static const char* const kButtons[][2] = {
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
    for (const auto& [object, name] : kButtons) {
        auto* action = window.findChild<QAction*>(QString::fromLatin1(object));
        QWidget* button = action ? bar->widgetForAction(action) : nullptr;
        if (button) {
            NameControl(*button, Q(name));
        }
    }
    // Shown when the window is too narrow for every button.
    if (auto* more = bar->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button"))) {
        NameControl(*more, Q("ツールバーのほかのボタン"));
    }
}

void NameTabs(QMainWindow& window) {
    auto* pages = window.findChild<QWidget*>(QStringLiteral("PageControl"));
    auto* tabs = pages ? pages->findChild<QTabBar*>() : nullptr;
    if (!tabs || tabs->count() < 2) {
        return;
    }
    NameControl(*pages, Q("めいん と さぶ のページ"));
    tabs->setAccessibleTabName(0, Q("めいん（曲をつくる）"));
    tabs->setAccessibleTabName(1, Q("さぶ（音色・伴奏・コード進行）"));
}

}  // namespace

void NameMeasureControls(QWidget& page, int firstMeasure) {
    std::vector<ControlName> names;
    AddMeasureNames(names, firstMeasure);
    NameControls(page, names);
}

void NameMainWindowControls(QMainWindow& window) {
    std::vector<ControlName> names;
    AddMainPage(names);
    AddSoundPage(names);
    NameControls(window, names);
    NameToolBar(window);
    NameTabs(window);
}

}  // namespace tontoko
