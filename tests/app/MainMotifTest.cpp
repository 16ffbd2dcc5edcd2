// "くりかえしのあるメロディ": measure 3 takes up measure 1's rhythm and shape.
#include <QCheckBox>
#include <QGroupBox>

#include "MainFixture.h"

namespace tontoko::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The onsets of a measure (0..3) of the melody in a saved file, as steps
// within the measure, with their pitches.
std::vector<std::pair<int, int>> MeasureNotes(const QByteArray& bytes, int measure) {
    std::vector<std::pair<int, int>> notes;
    for (const MidiEvent& e : NotesOn(bytes, kMelodyVoice)) {
        const int step = e.tick / kTicksPerStep;
        if (step / kStepsPerMeasure == measure) {
            notes.emplace_back(step % kStepsPerMeasure, e.data1);
        }
    }
    return notes;
}

TEST_F(MainWindowTest, TheMotifBoxSitsBelowTheFinishingBoxOffAtStart) {
    Create();
    auto* motif = Get<QCheckBox>("CB_Motif");
    auto* finish = Get<QCheckBox>("CB_Finish");
    EXPECT_FALSE(motif->isChecked());
    EXPECT_EQ(motif->text(), U("くりかえしのあるメロディ"));
    EXPECT_EQ(motif->toolTip(), U("1小節目のメロディを3小節目でもう一度使います．"));
    EXPECT_TRUE(Get<QGroupBox>("GB_Melody")->isAncestorOf(motif));
    EXPECT_GT(motif->mapTo(window.get(), QPoint()).y(), finish->mapTo(window.get(), QPoint()).y());
}

TEST_F(MainWindowTest, WithTheMotifMeasureThreeRepeatsMeasureOnesRhythmAndContour) {
    Create();
    Click("RB_MEight");
    Click("CB_Motif");
    int compared = 0;
    for (int i = 0; i < 30; ++i) {
        Click("B_CGenerate");
        Click("B_MGenerate");
        const QByteArray bytes = Save();
        const auto first = MeasureNotes(bytes, 0);
        const auto third = MeasureNotes(bytes, 2);
        ASSERT_EQ(first.size(), third.size()) << i;
        for (size_t n = 0; n < first.size(); ++n) {
            EXPECT_EQ(first[n].first, third[n].first) << i << " note " << n;
            if (n > 0) {
                const int a = first[n].second - first[n - 1].second;
                const int b = third[n].second - third[n - 1].second;
                EXPECT_EQ((a > 0) - (a < 0), (b > 0) - (b < 0)) << i << " note " << n;
            }
        }
        compared += first.size() >= 3 ? 1 : 0;
    }
    EXPECT_GT(compared, 10);
}

TEST_F(MainWindowTest, AFixedThirdMeasureIsNotTakenOverByTheMotif) {
    Create();
    Click("RB_MEight");
    Click("B_MGenerate");
    const auto kept = MeasureNotes(Save("before.mid"), 2);
    Click("Fix_Rhythm3");
    Click("Fix_Melody3");
    Click("CB_Motif");
    Click("B_MGenerate");
    EXPECT_EQ(MeasureNotes(Save("after.mid"), 2), kept);
}

}  // namespace
}  // namespace tontoko::test
