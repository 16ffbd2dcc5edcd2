#include <gtest/gtest.h>

#include "engine/KeyChange.h"
#include "engine/Song.h"

using namespace tontoko;

namespace {
std::array<int, 4> Notes(const SChord& c) {
    return {c.Tone(0), c.Tone(1), c.Tone(2), c.Tone(3)};
}
}  // namespace

TEST(Key, NamesForTranspositionAndMode) {
    Song song(1);
    struct Case {
        int p;
        const char* major;
        const char* minor;
    };
    const Case cases[] = {{0, "ハ長調", "イ短調"},
                          {-1, "ロ長調", "嬰ト短調"},
                          {-6, "嬰へ長調", "嬰ニ短調"},
                          {5, "ヘ長調", "ニ短調"},
                          {3, "変ホ長調", "ハ短調"}};
    int previous = 0;
    for (const Case& c : cases) {
        Transpose(song, previous, c.p);
        previous = c.p;
        EXPECT_EQ(song.dur.KeyName(), c.major);
        SwitchToMinor(song);
        EXPECT_EQ(song.dur.KeyName(), c.minor);
        SwitchToMajor(song);
    }
    Transpose(song, previous, -1);
    EXPECT_EQ(song.dur.Tonic(), 11);
    // The hiragana へ in the F-sharp names, the katakana ヘ in F.
    EXPECT_EQ(SDur::Names()[6], "嬰へ長調");
    EXPECT_EQ(SDur::Names()[5], "ヘ長調");
}

TEST(Key, TranspositionMovesNodesScaleAndMelodyAndClamps) {
    Song song(1);
    song.MelodyPitches().SetPitch(0, 72);
    song.MelodyPitches().SetPitch(2, 0);
    EXPECT_EQ(Transpose(song, 0, -1), -1);
    EXPECT_EQ(song.dur.KeyName(), "ロ長調");
    EXPECT_EQ(Notes(song.nodes[0]), (std::array<int, 4>{59, 63, 66, 47}));
    EXPECT_EQ(song.MelodyPitches().Pitch(0), 71);
    EXPECT_EQ(song.MelodyPitches().Pitch(2), 0);
    EXPECT_EQ(song.melody.Scale(0), 59);

    // From +2 to -3 moves everything down by 5.
    Transpose(song, -1, 2);
    const auto before = Notes(song.nodes[4]);
    const int melodyBefore = song.MelodyPitches().Pitch(0);
    EXPECT_EQ(Transpose(song, 2, -3), -5);
    EXPECT_EQ(Notes(song.nodes[4])[0], before[0] - 5);
    EXPECT_EQ(Notes(song.nodes[4])[3], before[3] - 5);
    EXPECT_EQ(song.MelodyPitches().Pitch(0), melodyBefore - 5);

    // Pressing beyond either end changes nothing.
    Transpose(song, -3, 5);
    const auto atTop = Notes(song.nodes[0]);
    EXPECT_EQ(Transpose(song, 5, 6), 0);
    EXPECT_EQ(Notes(song.nodes[0]), atTop);
    EXPECT_EQ(song.dur.KeyName(), "ヘ長調");
    Transpose(song, 5, -6);
    EXPECT_EQ(Transpose(song, -6, -7), 0);
    EXPECT_EQ(song.dur.KeyName(), "嬰へ長調");
}

TEST(Key, MinorRevoicesNodesOnceAndMajorRestoresEveryNote) {
    Song song(1);
    std::array<std::array<int, 4>, 7> start;
    for (int k = 0; k < 7; ++k) {
        start[k] = Notes(song.nodes[k]);
    }
    song.MelodyPitches().SetPitch(0, 74);
    EXPECT_TRUE(SwitchToMinor(song));
    EXPECT_EQ(song.dur.KeyName(), "イ短調");
    const std::array<std::array<int, 4>, 7> minor = {{{57, 60, 64, 45},
                                                      {59, 62, 65, 47},
                                                      {60, 64, 67, 36},
                                                      {50, 53, 57, 38},
                                                      {52, 55, 59, 40},
                                                      {53, 57, 60, 41},
                                                      {55, 59, 62, 43}}};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(Notes(song.nodes[k]), minor[k]) << "degree " << k + 1;
    }
    EXPECT_EQ(song.chordGenerate.Percent(0, 1), 30);  // the minor preset
    EXPECT_FALSE(SwitchToMinor(song));                // twice changes nothing
    EXPECT_EQ(Notes(song.nodes[0]), minor[0]);
    EXPECT_EQ(song.MelodyPitches().Pitch(0), 74);  // the melody does not move

    EXPECT_TRUE(SwitchToMajor(song));
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(Notes(song.nodes[k]), start[k]);
    }
    EXPECT_EQ(song.chordGenerate.Percent(0, 1), 5);
    EXPECT_EQ(song.dur.KeyName(), "ハ長調");
}

TEST(Key, PresetReloadKeepsEqualFlagsAndDropsEdits) {
    Song song(1);
    song.chordGenerate.SetPercent(0, 1, 50);
    song.chordGenerate.SetEqual(3, true);
    SwitchToMinor(song);
    SwitchToMajor(song);
    EXPECT_EQ(song.chordGenerate.Percent(0, 1), 5);
    EXPECT_TRUE(song.chordGenerate.IsEqual(3));
}

TEST(NoteNames, ExactFormsAndDisplay) {
    SMelody melody;
    EXPECT_EQ(melody.NameOf(0), "");
    EXPECT_EQ(melody.NameOf(61), "ド#");
    EXPECT_EQ(melody.NameOf(63), "ﾚ#");  // half-width
    EXPECT_EQ(melody.NameOf(65), "ﾌｧ");  // half-width
    EXPECT_EQ(melody.NameOf(66), "ﾌｧ#");
    EXPECT_EQ(melody.NameOf(68), "ｿ#");
    EXPECT_EQ(melody.NameOf(70), "ﾗ#");
    EXPECT_EQ(melody.NameOf(71), "シ");
    // With t = +2, 74 is do in octave 0 and 62 is do in octave -1.
    EXPECT_EQ(DisplayName(melody, 74, 2), "ド");
    EXPECT_EQ(OctaveText(74, 2), "0");
    EXPECT_EQ(DisplayName(melody, 62, 2), "ド");
    EXPECT_EQ(OctaveText(62, 2), "-1");
    EXPECT_EQ(OctaveText(84, 0), "1");
    EXPECT_EQ(OctaveText(71, 0), "-1");
    // A pitch equal to the transposition shows no name and octave -6.
    EXPECT_EQ(DisplayName(melody, 2, 2), "");
    EXPECT_EQ(OctaveText(2, 2), "-6");
}

TEST(NoteNames, KeyTestAndSnap) {
    Song song(1);
    const SMelody& m = song.melody;
    EXPECT_EQ(m.Snap(66, 1, Mode::Major), 65);
    EXPECT_EQ(m.Snap(66, 0, Mode::Major), 67);
    EXPECT_EQ(m.Snap(64, 1, Mode::Major), 64);
    SwitchToMinor(song);
    // A minor accepts exactly the pitch classes of C major.
    const bool cMajor[12] = {true,  false, true,  false, true,  true,
                             false, true,  false, true,  false, true};
    for (int pc = 0; pc < 12; ++pc) {
        EXPECT_EQ(song.melody.InKey(uint8_t(60 + pc), Mode::Minor), cMajor[pc]) << pc;
    }
}
