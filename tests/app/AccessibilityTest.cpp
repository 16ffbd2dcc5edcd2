// What a screen reader finds: every control of the main window, its dialogs
// and the piano roll has a name of its own in Qt's accessibility tree, and a
// control's description follows its hint.
#include <QAccessible>
#include <QAction>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <set>

#include "PianoRollFixture.h"
#include "app/Version.h"
#include "chain/Chain.h"
#include "editing/RhythmCfg.h"
#include "widgets/AccessibleNames.h"

namespace tontoko::test {
namespace {

// The roles of controls a user presses, picks from or types into; anything
// else that takes the focus counts too.
bool Interactive(QAccessibleInterface& control) {
    switch (control.role()) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::EditableText:
        case QAccessible::SpinBox:
        case QAccessible::Slider:
        case QAccessible::Table:
        case QAccessible::List:
        case QAccessible::MenuItem:
        case QAccessible::PageTab:
        case QAccessible::ButtonMenu:
        case QAccessible::ButtonDropDown:
        case QAccessible::Link:
            return true;
        default:
            return control.state().focusable;
    }
}

struct Walk {
    int controls = 0;
    std::set<QString> seen;  // object names of the controls reached
    QStringList unnamed;

    void Visit(QAccessibleInterface* node) {
        if (!node || !node->isValid()) {
            return;
        }
        if (Interactive(*node)) {
            ++controls;
            Check(*node);
        }
        // The entries of a list and the cells of a grid are its contents,
        // said by the list or the grid.
        if (node->role() == QAccessible::ComboBox || node->role() == QAccessible::Table) {
            return;
        }
        for (int i = 0; i < node->childCount(); ++i) {
            Visit(node->child(i));
        }
    }

    void Check(QAccessibleInterface& control) {
        const QString name = control.text(QAccessible::Name);
        QObject* object = control.object();
        const QString objectName = object ? object->objectName() : QString();
        auto* widget = qobject_cast<QWidget*>(object);
        if (!objectName.isEmpty()) {
            seen.insert(objectName);
            // An up-down's arrows by the up-down's name.
            if (widget && widget->parentWidget()) {
                seen.insert(widget->parentWidget()->objectName() + '.' + objectName);
            }
        }
        // Qt names a control without a name of its own after the group box
        // around it; only a name given to the control says what it is for.
        // Qt's own parts of a control (the tab bar of the pages) keep theirs.
        const bool ours = widget && !objectName.startsWith(QLatin1String("qt_"));
        if (name.trimmed().isEmpty() || (ours && widget->accessibleName().isEmpty())) {
            unnamed << QStringLiteral("%1 (%2, role %3, \"%4\")")
                           .arg(objectName, object ? object->metaObject()->className() : "-")
                           .arg(int(control.role()))
                           .arg(name);
        }
    }
};

Walk WalkFrom(QObject* root) {
    Walk walk;
    walk.Visit(QAccessible::queryAccessibleInterface(root));
    return walk;
}

QAccessibleInterface* Of(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

// What a screen reader reads of a control, as UTF-8 for readable failures.
std::string Read(QObject* object, QAccessible::Text text) {
    QAccessibleInterface* control = Of(object);
    return control ? control->text(text).toStdString() : "(no interface)";
}

std::string NameOf(QObject* object) {
    return Read(object, QAccessible::Name);
}

std::string DescriptionOf(QObject* object) {
    return Read(object, QAccessible::Description);
}

class AccessibilityTest : public PianoRollTest {
  protected:
    void TearDown() override { SetAccessibilityObserver({}); }

    template <class T>
    T* Dialog() {
        auto* dialog = window->findChild<T*>();
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    QWidget* Button(const char* action) {
        return window->findChild<QToolBar*>(QStringLiteral("TB"))
            ->widgetForAction(Get<QAction>(action));
    }
};

TEST_F(AccessibilityTest, EveryControlOfEveryWindowHasANameOfItsOwn) {
    Create();
    OpenRoll();

    const Walk main = WalkFrom(window.get());
    EXPECT_TRUE(main.unnamed.isEmpty()) << main.unnamed.join('\n').toStdString();
    // Both pages are reached, down to the arrows of each up-down: 11 tool-bar
    // buttons, 6 menus with 16 items, the pages with their 2 tabs, 58
    // controls on "めいん" and 48 on "さ　ぶ".
    EXPECT_GE(main.controls, 143);
    for (const char* name :
         {"Melody1",       "Octave4",    "CB_Four2",   "Fix_Melody3",      "UD_Measure.UpArrow",
          "B_Clear",       "RB_DSelf",   "Edit_Dur",   "CB_CSelf",         "UD_MPos.DownArrow",
          "CB_Melody",     "CB_DrumSet", "E_VDrum",    "UD_VDrum.UpArrow", "Percent7",
          "UD7.DownArrow", "CBEqual",    "RB_FadeOut", "MI_Save",          "MI_About",
          "MI_Loop"}) {
        EXPECT_TRUE(main.seen.count(QString::fromLatin1(name))) << name;
    }

    const std::pair<QWidget*, int> dialogs[] = {
        {Dialog<TSChainDialog>(), 6},
        {Dialog<TSRhythmCfg>(), 17},  // 3 tabs, 3 grids, 2 up-downs, 4 buttons, 1 edit
        {Dialog<TSVersion>(), 1},
        {Roll(), 3},
    };
    for (const auto& [dialog, least] : dialogs) {
        const Walk walk = WalkFrom(dialog);
        EXPECT_TRUE(walk.unnamed.isEmpty()) << dialog->objectName().toStdString() << ":\n"
                                            << walk.unnamed.join('\n').toStdString();
        EXPECT_GE(walk.controls, least) << dialog->objectName().toStdString();
    }
}

TEST_F(AccessibilityTest, NamesSayWhatEachControlIsFor) {
    Create();
    OpenRoll();
    EXPECT_EQ(NameOf(Get<QComboBox>("CB_One1")), "1小節目 前半の和音");
    EXPECT_EQ(NameOf(Get<QComboBox>("CB_Four2")), "4小節目 後半の和音");
    EXPECT_EQ(NameOf(Grid("Melody", 1)), "1小節目のメロディ");
    EXPECT_EQ(NameOf(Grid("Octave", 3)), "3小節目のオクターブ");
    EXPECT_EQ(NameOf(Get<QLineEdit>("Edit_Tempo")), "テンポ");
    EXPECT_EQ(NameOf(Get<UpDown>("UD_Tempo")->UpButton()), "テンポを上げる");
    EXPECT_EQ(NameOf(Get<UpDown>("UD_Tempo")->DownButton()), "テンポを下げる");
    EXPECT_EQ(NameOf(Get<QLineEdit>("E_VMelody")), "メロディの音量");
    EXPECT_EQ(NameOf(Get<UpDown>("UD3")->UpButton()), "Ⅲへ進む確率を上げる");
    EXPECT_EQ(NameOf(Get<QRadioButton>("RB_TSelf")), "テンポを自分で決める");
    EXPECT_EQ(NameOf(Button("TB_Open")), "開く");
    EXPECT_EQ(NameOf(Dialog<TSChainDialog>()->findChild<QPushButton*>("B_Open2")),
              "後ろにつなぐ曲のファイルを選ぶ");
    EXPECT_EQ(NameOf(Dialog<TSRhythmCfg>()->findChild<UpDown*>("UD_Apply")->UpButton()),
              "適用する小節を後ろへ");
    EXPECT_EQ(NameOf(Dialog<TSVersion>()->findChild<QLabel*>("Label4")),
              "説明書（index.html）を開く");
    EXPECT_EQ(NameOf(View()), "ピアノロール 1小節目 1拍目 ド、オクターブ0");

    // A list's name stays while its entry is its value.
    Pick("CB_One1", 5);
    EXPECT_EQ(NameOf(Get<QComboBox>("CB_One1")), "1小節目 前半の和音");
    EXPECT_EQ(Read(Get<QComboBox>("CB_One1"), QAccessible::Value), "Ⅵ");
    // A list nobody named is named by its entry, as Qt names it.
    QComboBox plain;
    plain.addItem(QStringLiteral("ド"));
    EXPECT_EQ(NameOf(&plain), "ド");

    // The captions and hints stay as they were; the names stand beside them.
    EXPECT_EQ(Get<QRadioButton>("RB_TSelf")->text(), QStringLiteral("じぶんで"));
    EXPECT_EQ(Get<QAction>("TB_Open")->toolTip(), QStringLiteral("開く"));
    EXPECT_EQ(DescriptionOf(Button("TB_Open")), "開く");
    EXPECT_EQ(DescriptionOf(Get<QPushButton>("B_Clear")), "作ったメロディを消去します．");
}

TEST_F(AccessibilityTest, DescriptionsFollowChangedHints) {
    Create();
    OpenRoll();
    std::vector<std::pair<QObject*, QAccessible::Event>> events;
    SetAccessibilityObserver(
        [&](QAccessibleEvent& event) { events.emplace_back(event.object(), event.type()); });

    auto* chord = Get<QComboBox>("CB_Two1");
    chord->setToolTip(QStringLiteral("Ⅳ の和音: ファ ラ ド"));
    EXPECT_EQ(DescriptionOf(chord), "Ⅳ の和音: ファ ラ ド");
    chord->setToolTip(QStringLiteral("Ⅴ の和音: ソ シ レ"));
    EXPECT_EQ(DescriptionOf(chord), "Ⅴ の和音: ソ シ レ");
    const int described =
        std::count(events.begin(), events.end(),
                   std::make_pair(static_cast<QObject*>(chord), QAccessible::DescriptionChanged));
    EXPECT_EQ(described, 2);

    // A grid, an up-down with its arrows, a tool-bar button through its action.
    Grid("Melody", 2)->setToolTip(QStringLiteral("ド レ ミ"));
    EXPECT_EQ(DescriptionOf(Grid("Melody", 2)), "ド レ ミ");
    auto* position = Get<UpDown>("UD_MPos");
    position->setToolTip(QStringLiteral("場所"));
    EXPECT_EQ(DescriptionOf(position), "場所");
    EXPECT_EQ(DescriptionOf(position->UpButton()), "場所");
    EXPECT_EQ(DescriptionOf(position->DownButton()), "場所");
    Get<QAction>("TB_Save")->setToolTip(QStringLiteral("曲を保存"));
    EXPECT_EQ(DescriptionOf(Button("TB_Save")), "曲を保存");
    // In a dialog and in the roll; a hint taken away leaves no description.
    auto* apply = Dialog<TSRhythmCfg>()->findChild<QPushButton*>("B_Apply");
    apply->setToolTip(QStringLiteral("適用"));
    EXPECT_EQ(DescriptionOf(apply), "適用");
    apply->setToolTip(QString());
    EXPECT_EQ(DescriptionOf(apply), "");
    auto* save = Roll()->findChild<QPushButton*>("B_RollSave");
    save->setToolTip(QStringLiteral("PNG"));
    EXPECT_EQ(DescriptionOf(save), "PNG");
}

}  // namespace
}  // namespace tontoko::test
