#include <gtest/gtest.h>

#include <map>

#include "engine/Song.h"

using namespace tontoko;

namespace {
// Frequencies of the chord that follows `from`, over many draws.
std::map<int, double> NextFrequencies(Song& song, int from, int draws = 40000) {
    std::map<int, double> counts;
    for (int i = 0; i < draws; ++i) {
        counts[song.chordGenerate.NextChord(song.nodes[from - 1], song.nodes, song.random)
                   .Degree()] += 1.0 / draws;
    }
    return counts;
}
}  // namespace

TEST(Progression, NextChordFollowsThePercentages) {
    Song song(7);
    auto fromOne = NextFrequencies(song, 1);
    EXPECT_NEAR(fromOne[4], 0.40, 0.02);
    EXPECT_NEAR(fromOne[5], 0.40, 0.02);
    for (int d : {2, 3, 6, 7}) {
        EXPECT_NEAR(fromOne[d], 0.05, 0.01) << d;
    }
    EXPECT_EQ(fromOne.count(1), 0u);

    auto fromSeven = NextFrequencies(song, 7);
    EXPECT_NEAR(fromSeven[1], 0.80, 0.02);
    EXPECT_NEAR(fromSeven[3], 0.20, 0.02);
    EXPECT_EQ(fromSeven.size(), 2u);
}

TEST(Progression, EqualFlagDrawsUniformlyOverSuccessorsOnly) {
    Song song(9);
    song.chordGenerate.SetRow(1, {100, 0, 0, 0, 0, 0, 0});  // ignored while equal
    song.chordGenerate.SetEqual(1, true);
    auto fromTwo = NextFrequencies(song, 2, 30000);
    ASSERT_EQ(fromTwo.size(), 3u);
    for (int d : {3, 5, 7}) {
        EXPECT_NEAR(fromTwo[d], 1.0 / 3, 0.02) << d;
    }
}

TEST(Progression, NextChordMakesTwoDrawsInBothModes) {
    Song a(3);
    Song b(3);
    a.chordGenerate.SetEqual(0, true);
    a.chordGenerate.NextChord(a.nodes[0], a.nodes, a.random);
    b.chordGenerate.NextChord(b.nodes[0], b.nodes, b.random);
    b.random.Next();
    EXPECT_EQ(a.random.State(), b.random.State());
}

TEST(Progression, ValidateTableWarnsPerBadRowInOrder) {
    Song song(1);
    EXPECT_TRUE(song.chordGenerate.ValidateTable().empty());
    song.chordGenerate.SetPercent(5, 1, 25);  // VI sums to 105
    song.chordGenerate.SetPercent(2, 5, 15);  // III sums to 95
    const auto warnings = song.chordGenerate.ValidateTable();
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], "Ⅲの和音から進む，確率の合計を\n100に合わせてください．");
    EXPECT_EQ(warnings[1], "Ⅵの和音から進む，確率の合計を\n100に合わせてください．");
    // Rows with the equal flag still count.
    song.chordGenerate.SetPercent(2, 5, 20);
    song.chordGenerate.SetPercent(5, 1, 20);
    song.chordGenerate.SetEqual(0, true);
    song.chordGenerate.SetPercent(0, 1, 0);
    EXPECT_EQ(song.chordGenerate.ValidateTable().size(), 1u);
}

TEST(Progression, InvalidTableLeavesSlotsUnchanged) {
    Song song(1);
    song.chordGenerate.SetPercent(2, 5, 15);
    const uint32_t state = song.random.State();
    const ProgressionResult result = GenerateProgression(song, FirstChord::Random, 0);
    EXPECT_FALSE(result.generated);
    EXPECT_EQ(result.warnings.size(), 1u);
    EXPECT_EQ(song.random.State(), state);  // nothing drawn
    const int start[8] = {1, 1, 4, 4, 5, 5, 1, 1};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(song.SlotDegree(i), start[i]);
    }
}

TEST(Progression, FirstChordSettingsAndEqualHalves) {
    Song song(11);
    std::map<int, int> secondMeasure;
    std::map<int, int> randomFirst;
    for (int i = 0; i < 20000; ++i) {
        ProgressionResult one = GenerateProgression(song, FirstChord::One, 3);
        ASSERT_TRUE(one.generated);
        ASSERT_EQ(song.SlotDegree(0), 1);
        ++secondMeasure[song.SlotDegree(2)];
        for (int m = 0; m < 4; ++m) {
            ASSERT_EQ(song.SlotDegree(2 * m), song.SlotDegree(2 * m + 1));
        }
        ProgressionResult r = GenerateProgression(song, FirstChord::Random, 0);
        ASSERT_GE(r.firstChordIndex, 0);
        ASSERT_LE(r.firstChordIndex, 5);  // never VII
        ASSERT_EQ(song.SlotDegree(0), r.firstChordIndex + 1);
        ++randomFirst[r.firstChordIndex];
    }
    EXPECT_NEAR(secondMeasure[4] / 20000.0, 0.40, 0.02);
    EXPECT_NEAR(secondMeasure[5] / 20000.0, 0.40, 0.02);
    EXPECT_EQ(randomFirst.size(), 6u);

    GenerateProgression(song, FirstChord::Self, 6);
    EXPECT_EQ(song.SlotDegree(0), 7);
    EXPECT_EQ(song.SlotDegree(1), 7);
    EXPECT_TRUE(song.SlotDegree(2) == 1 || song.SlotDegree(2) == 3);
}
