// Every kind of user action that changes the song, made through the controls.
#include "UndoFixture.h"

namespace tontoko::test {

namespace {

int Draw(std::mt19937& rng, int n) {
    return int(rng() % unsigned(n));
}

const char* OneOf(std::mt19937& rng, std::initializer_list<const char*> names) {
    return names.begin()[Draw(rng, int(names.size()))];
}

std::string Numbered(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

}  // namespace

const std::vector<UserAction>& UndoTest::Actions() {
    static const std::vector<UserAction> actions = {
        {"generate chords",
         [](UndoTest& t, std::mt19937&) { return t.ClickIfEnabled("B_CGenerate"); }},
        {"generate melody",
         [](UndoTest& t, std::mt19937&) { return t.ClickIfEnabled("B_MGenerate"); }},
        {"press a cell",
         [](UndoTest& t, std::mt19937& rng) {
             t.PressCell(1 + Draw(rng, 4), Draw(rng, 8),
                         Draw(rng, 3) == 0 ? Qt::RightButton : Qt::LeftButton);
             return true;
         }},
        {"delete a note",
         [](UndoTest& t, std::mt19937& rng) {
             const int measure = 1 + Draw(rng, 4);
             t.PressCell(measure, Draw(rng, 8));
             QTest::keyClick(t.Grid("Melody", measure), Qt::Key_Delete);
             return true;
         }},
        {"choose a chord",
         [](UndoTest& t, std::mt19937& rng) {
             const char* name = OneOf(rng, {"CB_One1", "CB_One2", "CB_Two1", "CB_Two2", "CB_Three1",
                                            "CB_Three2", "CB_Four1", "CB_Four2"});
             return t.PickIfEnabled(name, Draw(rng, 7));
         }},
        {"fix a rhythm",
         [](UndoTest& t, std::mt19937& rng) {
             return t.ClickIfEnabled(Numbered("Fix_Rhythm", 1 + Draw(rng, 4)).c_str());
         }},
        {"fix a melody",
         [](UndoTest& t, std::mt19937& rng) {
             return t.ClickIfEnabled(Numbered("Fix_Melody", 1 + Draw(rng, 4)).c_str());
         }},
        {"clear",
         [](UndoTest& t, std::mt19937& rng) {
             t.PressIfEnabled("UD_Measure", Draw(rng, 2) == 0);
             return t.ClickIfEnabled("B_Clear");
         }},
        {"apply a rhythm",
         [](UndoTest& t, std::mt19937& rng) {
             return t.ApplyRhythm(Draw(rng, 3), 1 + Draw(rng, 4));
         }},
        {"key feel",
         [](UndoTest& t, std::mt19937& rng) {
             return t.ClickIfEnabled(OneOf(rng, {"RB_DMajor", "RB_DMinor", "RB_DSelf"}));
         }},
        {"own key",
         [](UndoTest& t, std::mt19937& rng) {
             if (Draw(rng, 3) == 0) {
                 return t.ClickIfEnabled(OneOf(rng, {"RB_SDMajor", "RB_SDMinor"}));
             }
             return t.PressIfEnabled("UD_Dur", Draw(rng, 2) == 0);
         }},
        {"tempo",
         [](UndoTest& t, std::mt19937& rng) {
             if (Draw(rng, 3) == 0) {
                 return t.PressIfEnabled("UD_Tempo", Draw(rng, 2) == 0);
             }
             return t.ClickIfEnabled(
                 OneOf(rng, {"RB_TFast", "RB_TMedium", "RB_TSlow", "RB_TSelf"}));
         }},
        {"first chord",
         [](UndoTest& t, std::mt19937& rng) {
             if (Draw(rng, 3) == 0) {
                 return t.PickIfEnabled("CB_CSelf", Draw(rng, 7));
             }
             return t.ClickIfEnabled(OneOf(rng, {"RB_COne", "RB_CRandom", "RB_CSelf"}));
         }},
        {"melody style",
         [](UndoTest& t, std::mt19937& rng) {
             return t.ClickIfEnabled(OneOf(rng, {"RB_MFour", "RB_MEight", "CB_Finish"}));
         }},
        {"instrument",
         [](UndoTest& t, std::mt19937& rng) {
             if (Draw(rng, 4) == 0) {
                 return t.ClickIfEnabled("B_Random");
             }
             return t.PickIfEnabled(OneOf(rng, {"CB_Melody", "CB_Acc", "CB_Base", "CB_DrumSet"}),
                                    Draw(rng, 128));
         }},
        {"volume",
         [](UndoTest& t, std::mt19937& rng) {
             return t.PressIfEnabled(OneOf(rng, {"UD_VMelody", "UD_VAcc", "UD_VBase", "UD_VDrum"}),
                                     Draw(rng, 2) == 0);
         }},
        {"patterns and drums",
         [](UndoTest& t, std::mt19937& rng) {
             if (Draw(rng, 3) == 0) {
                 return t.ClickIfEnabled("CB_Drum");
             }
             return t.PickIfEnabled(OneOf(rng, {"CB_AccPattern", "CB_DrumPattern"}), Draw(rng, 10));
         }},
        {"fade and interval",
         [](UndoTest& t, std::mt19937& rng) {
             if (Draw(rng, 2) == 0) {
                 return t.PressIfEnabled("UD_Interval", Draw(rng, 2) == 0);
             }
             return t.ClickIfEnabled(OneOf(rng, {"RB_Normal", "RB_FadeIn", "RB_FadeOut"}));
         }},
        {"transition table",
         [](UndoTest& t, std::mt19937& rng) {
             t.PickIfEnabled("CB_Chord", Draw(rng, 7));
             if (Draw(rng, 3) == 0) {
                 return t.ClickIfEnabled("CBEqual");
             }
             return t.PressIfEnabled(Numbered("UD", 1 + Draw(rng, 7)).c_str(), Draw(rng, 2) == 0);
         }},
        {"add or remove a part",
         [](UndoTest& t, std::mt19937& rng) {
             return t.ClickIfEnabled(Draw(rng, 2) == 0 ? "B_PartAdd" : "B_PartDelete");
         }},
        {"piano roll",
         [](UndoTest& t, std::mt19937& rng) {
             const int step = 2 * Draw(rng, 32);
             switch (Draw(rng, 3)) {
                 case 0:
                     return t.RollPress(step, Draw(rng, 100) / 100.0, Qt::LeftButton);
                 case 1:
                     return t.RollPress(step, Draw(rng, 100) / 100.0, Qt::LeftButton,
                                        Draw(rng, 100) / 100.0);
                 default:
                     return t.RollPress(step, Draw(rng, 100) / 100.0, Qt::RightButton);
             }
         }},
    };
    return actions;
}

}  // namespace tontoko::test
