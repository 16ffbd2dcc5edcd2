// The plain-word hints of the chord selectors, the melody and octave rows and
// the probability table.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ChordHints.h"
#include "engine/KeyChange.h"
#include "engine/Song.h"

using namespace tontoko;

namespace {

// A fresh song moved to key control value t (-6..5) and mode 0 or 1, through
// the same operations as the key controls.
std::unique_ptr<Song> SongIn(int t, int mode) {
    auto song = std::make_unique<Song>(1);
    Transpose(*song, 0, t);
    if (mode == 1) {
        SwitchToMinor(*song);
    }
    return song;
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    return words;
}

// Chords I..VII by tonic offset 0..11, major then minor.
const std::array<std::array<const char*, 12>, 2> kLetters{{
    {"C Dm Em F G Am B°", "D♭ E♭m Fm G♭ A♭ B♭m C°", "D Em F♯m G A Bm C♯°", "E♭ Fm Gm A♭ B♭ Cm D°",
     "E F♯m G♯m A B C♯m D♯°", "F Gm Am B♭ C Dm E°", "F♯ G♯m A♯m B C♯ D♯m E♯°", "G Am Bm C D Em F♯°",
     "A♭ B♭m Cm D♭ E♭ Fm G°", "A Bm C♯m D E F♯m G♯°", "B♭ Cm Dm E♭ F Gm A°",
     "B C♯m D♯m E F♯ G♯m A♯°"},
    {"Am B° C Dm Em F G", "B♭m C° D♭ E♭m Fm G♭ A♭", "Bm C♯° D Em F♯m G A", "Cm D° E♭ Fm Gm A♭ B♭",
     "C♯m D♯° E F♯m G♯m A B", "Dm E° F Gm Am B♭ C", "D♯m E♯° F♯ G♯m A♯m B C♯", "Em F♯° G Am Bm C D",
     "Fm G° A♭ B♭m Cm D♭ E♭", "F♯m G♯° A Bm C♯m D E", "Gm A° B♭ Cm Dm E♭ F",
     "G♯m A♯° B C♯m D♯m E F♯"},
}};

// Movable do: the same names in every key of a mode.
const std::array<std::array<const char*, 7>, 2> kTones{{
    {"ド・ミ・ソ", "レ・ﾌｧ・ラ", "ミ・ソ・シ", "ﾌｧ・ラ・ド", "ソ・シ・レ", "ラ・ド・ミ",
     "シ・レ・ﾌｧ"},
    {"ラ・ド・ミ", "シ・レ・ﾌｧ", "ド・ミ・ソ", "レ・ﾌｧ・ラ", "ミ・ソ・シ", "ﾌｧ・ラ・ド",
     "ソ・シ・レ"},
}};

}  // namespace

TEST(ChordHints, EveryDegreeInEveryKeyAndMode) {
    for (int mode = 0; mode < 2; ++mode) {
        for (int t = -6; t <= 5; ++t) {
            const auto song = SongIn(t, mode);
            const int tonic = t < 0 ? t + 12 : t;
            const std::vector<std::string> letters = Words(kLetters[mode][tonic]);
            ASSERT_EQ(letters.size(), 7u);
            const std::string& key = song->dur.KeyName();
            std::set<std::string> hints;
            for (int d = 1; d <= 7; ++d) {
                const std::string where = key + " degree " + std::to_string(d);
                EXPECT_EQ(ChordLetterName(*song, d), letters[d - 1]) << where;
                EXPECT_EQ(ChordToneNames(*song, d), kTones[mode][d - 1]) << where;
                const std::string hint = ChordHint(*song, d);
                EXPECT_EQ(hint, std::string(kTones[mode][d - 1]) + "（" + key + "では " +
                                    letters[d - 1] + "）：" +
                                    ChordFeeling(mode == 1 ? Mode::Minor : Mode::Major, d))
                    << where;
                hints.insert(hint);
            }
            EXPECT_EQ(hints.size(), 7u) << key;
        }
    }
}

TEST(ChordHints, WholeTextsFollowTheKeyAndTheMode) {
    EXPECT_EQ(ChordHint(*SongIn(0, 0), 1),
              "ド・ミ・ソ（ハ長調では C）：いちばん落ちつく和音。曲のはじめとおわりに");
    EXPECT_EQ(ChordHint(*SongIn(2, 0), 3),
              "ミ・ソ・シ（ニ長調では F♯m）：少しせつない和音。ⅥやⅣへ");
    EXPECT_EQ(ChordHint(*SongIn(-6, 0), 7),
              "シ・レ・ﾌｧ（嬰へ長調では E♯°）：不安定で、すぐⅠへ行きたくなる和音");
    EXPECT_EQ(ChordHint(*SongIn(0, 1), 1),
              "ラ・ド・ミ（イ短調では Am）：くらく落ちつく和音。曲のはじめとおわりに");
    EXPECT_EQ(ChordHint(*SongIn(1, 1), 4),
              "レ・ﾌｧ・ラ（変ロ短調では E♭m）：しずかで、かなしい和音。ⅠやⅤへ");

    // The same degree reads differently in every key, and in the other mode.
    std::set<std::string> byKey;
    for (int t = -6; t <= 5; ++t) {
        byKey.insert(ChordHint(*SongIn(t, 0), 5));
        byKey.insert(ChordHint(*SongIn(t, 1), 5));
    }
    EXPECT_EQ(byKey.size(), 24u);
    // A key change after a mode change reads the same as the other order.
    Song song(1);
    SwitchToMinor(song);
    Transpose(song, 0, 3);
    EXPECT_EQ(ChordHint(song, 2), ChordHint(*SongIn(3, 1), 2));
    EXPECT_EQ(ChordLetterName(song, 2), "D°");
    EXPECT_EQ(ChordHint(song, 0), "");
    EXPECT_EQ(ProbabilityHint(1, 8), "");
}

TEST(ChordHints, GridAndTableHintsNameWhatTheyDescribe) {
    std::set<std::string> rows;
    for (int m = 1; m <= 4; ++m) {
        const std::string melody = MelodyRowHint(m);
        const std::string octave = OctaveRowHint(m);
        EXPECT_EQ(melody.rfind(std::to_string(m) + "小節目", 0), 0u) << melody;
        EXPECT_EQ(octave.rfind(std::to_string(m) + "小節目", 0), 0u) << octave;
        for (const char* part : {"「ド」", "左クリック", "右クリック", "半音", "Delete"}) {
            EXPECT_NE(melody.find(part), std::string::npos) << part;
        }
        for (const char* part : {"0 がまん中", "1 は 1 オクターブ上", "-1 は 1 オクターブ下"}) {
            EXPECT_NE(octave.find(part), std::string::npos) << part;
        }
        rows.insert(melody);
        rows.insert(octave);
    }
    EXPECT_EQ(rows.size(), 8u);

    EXPECT_EQ(ProbabilityHint(1, 4), "Ⅰ のあとに Ⅳ が来る確率（％）");
    EXPECT_EQ(ProbabilityHint(7, 3), "Ⅶ のあとに Ⅲ が来る確率（％）");
    std::set<std::string> cells;
    std::set<std::string> selectors;
    for (int from = 1; from <= 7; ++from) {
        for (int to = 1; to <= 7; ++to) {
            cells.insert(ProbabilityHint(from, to));
        }
        const std::string row = ProbabilityRowHint(from);
        EXPECT_EQ(row.rfind(ProbabilityHint(from, 1).substr(0, 3), 0), 0u) << row;
        EXPECT_NE(row.find("100"), std::string::npos) << row;
        selectors.insert(row);
    }
    EXPECT_EQ(cells.size(), 49u);
    EXPECT_EQ(selectors.size(), 7u);
}
