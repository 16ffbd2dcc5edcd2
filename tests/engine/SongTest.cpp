#include <gtest/gtest.h>

#include "engine/Song.h"

using namespace tontoko;

namespace {
struct NodeRow {
    int tones[3];
    int bass;
    std::vector<int> successors;
};
const NodeRow kExpected[7] = {
    {{60, 64, 67}, 48, {2, 3, 4, 5, 6, 7}},
    {{62, 65, 69}, 50, {3, 5, 7}},
    {{64, 67, 71}, 40, {4, 6}},
    {{53, 57, 60}, 41, {1, 2, 5, 7}},
    {{55, 59, 62}, 43, {1, 3, 6}},
    {{57, 60, 64}, 45, {2, 4, 7}},
    {{59, 62, 65}, 47, {1, 3}},
};
}  // namespace

TEST(Song, StartUpChordNodesAndSuccessorsInOrder) {
    Song song(1);
    for (int k = 0; k < 7; ++k) {
        const SChord& node = song.nodes[k];
        EXPECT_EQ(node.Degree(), k + 1);
        for (int t = 0; t < 3; ++t) {
            EXPECT_EQ(node.Tone(t), kExpected[k].tones[t]) << "node " << k << " tone " << t;
        }
        EXPECT_EQ(node.Tone(3), kExpected[k].bass);
        ASSERT_EQ(node.SuccessorCount(), int(kExpected[k].successors.size()));
        for (int i = 0; i < node.SuccessorCount(); ++i) {
            EXPECT_EQ(node.Successor(i), &song.nodes[kExpected[k].successors[i] - 1]);
        }
    }
}

TEST(Song, StartUpSlotsTableAndVoices) {
    Song song(1);
    const int slots[8] = {1, 1, 4, 4, 5, 5, 1, 1};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(song.ChordSlot(i).Degree(), slots[i]);
    }
    // The major preset is loaded and its non-zero entries are exactly the successors.
    for (int r = 0; r < 7; ++r) {
        int sum = 0;
        for (int c = 0; c < 7; ++c) {
            const int value = song.chordGenerate.Percent(r, c);
            sum += value;
            bool successor = false;
            for (int i = 0; i < song.nodes[r].SuccessorCount(); ++i) {
                successor |= song.nodes[r].Successor(i)->Degree() == c + 1;
            }
            EXPECT_EQ(value != 0, successor) << r << "," << c;
        }
        EXPECT_EQ(sum, 100);
        EXPECT_FALSE(song.chordGenerate.IsEqual(r));
    }
    EXPECT_EQ(song.chordGenerate.Percent(0, 3), 40);
    EXPECT_EQ(song.dur.KeyName(), "ハ長調");
    for (int v = 0; v < 10; ++v) {
        EXPECT_EQ(song.rhythms[v].Channel(), v);
        EXPECT_EQ(song.melodies[v].Velocity(), 110);
        EXPECT_EQ(song.melodies[v].LastNote(), 0);
        EXPECT_EQ(song.rhythms[v].StartState(), 0);
        for (int s = 0; s <= 64; ++s) {
            ASSERT_EQ(song.rhythms[v].Mark(s), 0);
            ASSERT_EQ(song.melodies[v].Pitch(s), 0);
        }
        for (int row = 0; row < 8; ++row) {
            for (int w : song.rhythms[v].Weights(row)) {
                ASSERT_EQ(w, 0);
            }
        }
    }
}

TEST(Song, FixedQueryAnswersFalseOutsideTheSongAndFollowsItsSource) {
    Song song(1);
    song.flags.Set(3, FixedKind::Rhythm, true);
    EXPECT_TRUE(song.IsFixed(3, FixedKind::Rhythm));
    EXPECT_FALSE(song.IsFixed(3, FixedKind::Melody));
    EXPECT_FALSE(song.IsFixed(4, FixedKind::Rhythm));
    EXPECT_FALSE(song.IsFixed(-1, FixedKind::Rhythm));

    FixedFlags other;
    other.Set(1, FixedKind::Melody, true);
    song.SetFixedSource(&other);
    EXPECT_TRUE(song.IsFixed(1, FixedKind::Melody));
    EXPECT_FALSE(song.IsFixed(3, FixedKind::Rhythm));
}

TEST(Song, VoiceOperationsClearShiftAndLoad) {
    Song song(1);
    SRhythmGenerate& r = song.rhythms[4];
    SMelodyGenerate& p = song.melodies[4];
    r.LoadMarks(std::string(16, '1') + std::string(48, '0'));
    EXPECT_EQ(r.Mark(15), 1);
    EXPECT_EQ(r.Mark(16), 0);
    p.SetPitch(3, 60);
    p.SetPitch(20, 70);
    p.ShiftPitches(-5);
    EXPECT_EQ(p.Pitch(3), 55);
    EXPECT_EQ(p.Pitch(20), 65);
    EXPECT_EQ(p.Pitch(4), 0);  // empty pitches stay empty
    r.ClearMeasureMarks(0);
    p.ClearMeasurePitches(1);
    EXPECT_EQ(r.Mark(0), 0);
    EXPECT_EQ(p.Pitch(20), 0);
    EXPECT_EQ(p.Pitch(3), 55);
    EXPECT_THROW(r.ClearMeasureMarks(4), std::out_of_range);
}
