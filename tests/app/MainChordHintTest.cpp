// Choosing a chord by ear and reading the symbols in plain words: a chosen
// chord sounds as the song plays it, and the chord selectors, the grids and
// the transition table carry hints that follow the song, undo included.
#include <QHelpEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QToolTip>
#include <array>
#include <cstdlib>
#include <map>
#include <memory>

#include "MainFixture.h"
#include "engine/ChordHints.h"
#include "engine/KeyChange.h"
#include "engine/Song.h"

namespace tontoko::test {
namespace {

const char* const kSelectors[] = {"CB_One1",   "CB_One2",   "CB_Two1",  "CB_Two2",
                                  "CB_Three1", "CB_Three2", "CB_Four1", "CB_Four2"};

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A song of its own at key control value t and mode 0 or 1, for the expected
// hints.
std::unique_ptr<Song> SongIn(int t, int mode) {
    auto song = std::make_unique<Song>(1);
    Transpose(*song, 0, t);
    if (mode == 1) {
        SwitchToMinor(*song);
    }
    return song;
}

class ChordHintTest : public MainWindowTest {
  protected:
    QString Hint(const char* name) { return Get<QWidget>(name)->toolTip(); }

    // The key as a user sets it: "じぶんで", the arrows, "明" or "暗".
    void MoveKey(int from, int to, int mode) {
        Click("RB_DSelf");
        Press("UD_Dur", to > from, std::abs(to - from));
        Click(mode == 1 ? "RB_SDMinor" : "RB_SDMajor");
    }

    // The last short sound voice by voice: the bass on the preview bass
    // channel, voices 1..3 on the channels after it; every note half a second.
    struct Chord {
        std::array<int, 4> keys{}, velocities{}, programs{};
    };
    Chord Heard() const {
        Chord chord;
        for (const LiveEvent& e : player.sounds.back()) {
            const auto v = size_t(e.channel - kPreviewBassChannel);
            EXPECT_LT(v, 4u);
            EXPECT_EQ(e.ms, e.kind == LiveEvent::Kind::NoteOff ? 500 : 0);
            if (v < 4 && e.kind == LiveEvent::Kind::Program) {
                chord.programs[v] = e.data1;
            } else if (v < 4 && e.kind == LiveEvent::Kind::NoteOn) {
                chord.keys[v] = e.data1;
                chord.velocities[v] = e.data2;
            }
        }
        return chord;
    }

    // The tool tip a hover over `widget` at `at` shows.
    QString Hover(QWidget* widget, QPoint at) {
        QHelpEvent event(QEvent::ToolTip, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }
};

TEST_F(ChordHintTest, AChosenChordSoundsAsTheSongPlaysIt) {
    Create();
    Pick("CB_Acc", 48);
    Pick("CB_Base", 33);
    Press("UD_VAcc", false, 3);
    Press("UD_VBase", false, 1);
    ASSERT_TRUE(player.sounds.empty());

    // At start-up (C major), Ⅵ: bass 45, voices 64, 60, 57.
    Pick("CB_Two2", 5);
    ASSERT_EQ(player.sounds.size(), 1u);
    EXPECT_FALSE(player.waits[0]);
    EXPECT_EQ(Heard().keys, (std::array<int, 4>{45, 64, 60, 57}));
    EXPECT_EQ(Heard().programs, (std::array<int, 4>{33, 48, 48, 48}));

    // In ハ短調 the chosen chords sound as Save writes them: at the step where
    // their half measure starts, on the song's channels 0..3, with the same
    // instruments and velocities.
    MoveKey(0, 3, 1);
    const std::array<std::pair<int, int>, 3> picks{{{3, 5}, {4, 1}, {7, 6}}};  // slot, index
    std::vector<Chord> heard;
    for (const auto& [slot, index] : picks) {
        Pick(kSelectors[slot], index);
        heard.push_back(Heard());
    }
    const QByteArray song = Save();
    for (size_t i = 0; i < picks.size(); ++i) {
        const int tick = picks[i].first * 8 * 24;
        for (int voice = 0; voice < 4; ++voice) {
            std::vector<MidiEvent> at;
            for (const MidiEvent& e : NotesOn(song, voice)) {
                if (e.tick == tick) {
                    at.push_back(e);
                }
            }
            ASSERT_EQ(at.size(), 1u) << "slot " << picks[i].first << " voice " << voice;
            EXPECT_EQ(at[0].data1, heard[i].keys[voice]) << "slot " << picks[i].first;
            EXPECT_EQ(at[0].data2, heard[i].velocities[voice]) << "voice " << voice;
        }
    }
    int programs = 0;
    for (const MidiEvent& e : ParseEvents(song)) {
        if ((e.status & 0xF0) == 0xC0 && (e.status & 0x0F) < 4) {
            EXPECT_EQ(e.data1, heard[0].programs[e.status & 0x0F])
                << "channel " << (e.status & 0x0F);
            ++programs;
        }
    }
    EXPECT_GE(programs, 2);

    // The first chord, chosen by hand: Ⅴ of ハ短調 is G minor, 43 / 62 58 55.
    Click("RB_CSelf");
    Pick("CB_CSelf", 4);
    EXPECT_EQ(Heard().keys, (std::array<int, 4>{43, 62, 58, 55}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ChordHintTest, NothingSoundsOverASongOrWhenTheProgramSetsTheChoice) {
    Create();
    Trigger("TB_Play");
    Pick("CB_One2", 4);
    Click("RB_CSelf");
    Pick("CB_CSelf", 2);
    EXPECT_TRUE(player.sounds.empty());
    EXPECT_EQ(Text("CB_One2"), U("Ⅴ")) << "the choice itself is made";
    player.notify();

    Click("RB_CRandom");
    const QString before = Text("CB_Two1") + Text("CB_Three1") + Text("CB_Four1");
    for (int i = 0; i < 4; ++i) {
        Click("B_CGenerate");
    }
    EXPECT_NE(Text("CB_Two1") + Text("CB_Three1") + Text("CB_Four1"), before);
    for (int i = 0; i < 10; ++i) {
        Trigger("MI_Undo");
    }
    EXPECT_EQ(Text("CB_One2"), U("Ⅰ")) << "undone to start-up";
    Trigger("MI_Redo");
    Click("RB_COne");  // sets "Ⅰ" in CB_CSelf
    EXPECT_TRUE(player.sounds.empty());
}

TEST_F(ChordHintTest, SelectorHintsReadEveryDegreeInEveryKeyAndMode) {
    Create();
    EXPECT_EQ(Hint("CB_One1"),
              U("ド・ミ・ソ（ハ長調では C）：いちばん落ちつく和音。曲のはじめとおわりに"));
    EXPECT_EQ(Hint("CB_CSelf"), Hint("CB_One1"));

    Click("RB_CSelf");
    int at = 0;
    for (int mode = 0; mode < 2; ++mode) {
        for (int t = -6; t <= 5; ++t) {
            MoveKey(at, t, mode);
            at = t;
            const auto song = SongIn(t, mode);
            const QString key = Text("Label_Dur");
            for (int degree = 1; degree <= 7; ++degree) {
                const char* selector = kSelectors[(degree + t + 6) % 8];
                Pick(selector, degree - 1);
                Pick("CB_CSelf", 7 - degree);
                const QString expected = QString::fromStdString(ChordHint(*song, degree));
                EXPECT_EQ(Hint(selector), expected) << selector;
                EXPECT_TRUE(expected.contains(key + U("では "))) << expected.toStdString();
                EXPECT_EQ(Hint("CB_CSelf"), QString::fromStdString(ChordHint(*song, 8 - degree)));
            }
        }
    }
}

TEST_F(ChordHintTest, HintsFollowTheChoiceTheKeyAndTheModeThroughUndo) {
    Create();
    const QString fifth = U("ソ・シ・レ（ハ長調では G）：Ⅰにもどりたくなる和音。おわりの前に");
    EXPECT_EQ(Hint("CB_Three1"), fifth);
    Pick("CB_Three1", 1);
    EXPECT_EQ(Hint("CB_Three1"), U("レ・ﾌｧ・ラ（ハ長調では Dm）：やわらかく、Ⅴへ進みたくなる和音"));
    Trigger("MI_Undo");
    EXPECT_EQ(Hint("CB_Three1"), fifth);

    Click("RB_DMinor");
    const QString minorFifth = U("ミ・ソ・シ（イ短調では Em）：Ⅰへもどる前の、ほの暗い和音");
    EXPECT_EQ(Hint("CB_Three1"), minorFifth);
    Trigger("MI_Undo");
    EXPECT_EQ(Hint("CB_Three1"), fifth);
    Trigger("MI_Redo");
    EXPECT_EQ(Hint("CB_Three1"), minorFifth);
    Click("RB_DSelf");
    Press("UD_Dur", true);
    EXPECT_EQ(Hint("CB_Three1"), U("ミ・ソ・シ（変ロ短調では Fm）：Ⅰへもどる前の、ほの暗い和音"));
    Trigger("MI_Undo");
    EXPECT_EQ(Hint("CB_Three1"), minorFifth);

    // After a generation every selector reads its own chord.
    Click("B_CGenerate");
    const auto song = SongIn(0, 1);
    for (const char* selector : kSelectors) {
        EXPECT_EQ(Hint(selector), QString::fromStdString(ChordHint(
                                      *song, Get<QComboBox>(selector)->currentIndex() + 1)));
    }
}

TEST_F(ChordHintTest, EveryMusicalSymbolHasAHintThatAHoverShows) {
    Create();
    QStringList names{"CB_CSelf", "CB_Chord"};
    for (const char* selector : kSelectors) {
        names << selector;
    }
    for (int i = 1; i <= 7; ++i) {
        names << QStringLiteral("Percent%1").arg(i) << QStringLiteral("UD%1").arg(i);
    }
    for (const QString& name : names) {
        EXPECT_FALSE(Get<QWidget>(name.toLatin1().constData())->toolTip().isEmpty())
            << name.toStdString();
    }
    for (int m = 1; m <= 4; ++m) {
        EXPECT_EQ(Grid("Melody", m)->toolTip().toStdString(), MelodyRowHint(m));
        EXPECT_EQ(Grid("Octave", m)->toolTip().toStdString(), OctaveRowHint(m));
    }

    // Hovering shows them, also over a grid's cells.
    StringGrid* melody = Grid("Melody", 2);
    EXPECT_EQ(Hover(melody->viewport(), melody->CellCenter(3)), melody->toolTip());
    StringGrid* octave = Grid("Octave", 4);
    EXPECT_EQ(Hover(octave->viewport(), octave->CellCenter(0)), octave->toolTip());
    EXPECT_EQ(Hover(Get<QWidget>("CB_Four2"), QPoint(5, 5)), Hint("CB_Four2"));

    // The table's hints name the row shown, also for a row of equal chances
    // and after undo shows the page again.
    window->findChild<QTabWidget*>()->setCurrentIndex(1);
    EXPECT_EQ(Hint("Percent4"), U("Ⅰ のあとに Ⅳ が来る確率（％）"));
    EXPECT_EQ(Hint("UD4"), Hint("Percent4"));
    EXPECT_EQ(Hint("CB_Chord").toStdString(), ProbabilityRowHint(1));
    Pick("CB_Chord", 6);
    Click("CBEqual");
    Trigger("MI_Undo");
    EXPECT_EQ(Hint("Percent3"), U("Ⅶ のあとに Ⅲ が来る確率（％）"));
    EXPECT_EQ(Hint("UD1"), U("Ⅶ のあとに Ⅰ が来る確率（％）"));
    EXPECT_EQ(Hint("CB_Chord").toStdString(), ProbabilityRowHint(7));
    QWidget* arrow = Get<UpDown>("UD2")->UpButton();
    EXPECT_EQ(Hover(arrow, arrow->rect().center()), U("Ⅶ のあとに Ⅱ が来る確率（％）"));
    QToolTip::hideText();
}

}  // namespace
}  // namespace tontoko::test
