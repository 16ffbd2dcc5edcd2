#include "engine/ChordHints.h"

#include <array>
#include <stdexcept>
#include <string>
#include <utility>

#include "engine/Harmony.h"
#include "engine/RollNotes.h"
#include "engine/SChordGenerate.h"
#include "engine/Song.h"

namespace tontoko {

namespace {

bool IsDegree(int degree) {
    return degree >= 1 && degree <= kChordNodes;
}

// Letters C..B (0..6) and the pitch classes of their natural notes.
constexpr std::array<const char*, 7> kLetters{"C", "D", "E", "F", "G", "A", "B"};
constexpr std::array<int, 7> kNaturalPitchClass{0, 2, 4, 5, 7, 9, 11};

// The letter (0..6) of the key's tonic, read from its name: an optional 変 or
// 嬰 and then the tonic's kana. Both forms of "he" occur among the names.
int TonicLetter(const Song& song) {
    static const std::array<std::pair<std::string, int>, 8> kana{
        {{"ハ", 0}, {"ニ", 1}, {"ホ", 2}, {"ヘ", 3}, {"へ", 3}, {"ト", 4}, {"イ", 5}, {"ロ", 6}}};
    std::string name = song.dur.KeyName();
    for (const char* accidental : {"変", "嬰"}) {
        if (name.starts_with(accidental)) {
            name.erase(0, std::string(accidental).size());
        }
    }
    for (const auto& [text, letter] : kana) {
        if (name.starts_with(text)) {
            return letter;
        }
    }
    throw std::logic_error("a key name without a tonic: " + song.dur.KeyName());
}

std::string Accidentals(int semitones) {
    std::string text;
    for (int i = 0; i < semitones; ++i) {
        text += "♯";
    }
    for (int i = 0; i > semitones; --i) {
        text += "♭";
    }
    return text;
}

// "m" for a minor chord, "°" for a diminished one, nothing for a major one,
// decided by the third and the fifth above the root.
std::string QualitySuffix(const SChord& chord) {
    if (PitchClass(chord.Tone(1) - chord.Tone(0)) != 3) {
        return "";
    }
    return PitchClass(chord.Tone(2) - chord.Tone(0)) == 6 ? "°" : "m";
}

}  // namespace

std::string ChordToneNames(const Song& song, int degree) {
    if (!IsDegree(degree)) {
        return {};
    }
    const SChord& chord = song.nodes[static_cast<size_t>(degree - 1)];
    const int t = SignedTransposition(song);
    std::string names;
    for (int k = 0; k < 3; ++k) {
        if (k > 0) {
            names += "・";
        }
        names += DisplayName(song.melody, chord.Tone(k), t);
    }
    return names;
}

std::string ChordLetterName(const Song& song, int degree) {
    if (!IsDegree(degree)) {
        return {};
    }
    const SChord& chord = song.nodes[static_cast<size_t>(degree - 1)];
    // The degrees follow the scale, so their letters follow the tonic's.
    const size_t letter = static_cast<size_t>((TonicLetter(song) + degree - 1) % 7);
    int accidental = PitchClass(chord.Tone(0) - kNaturalPitchClass[letter]);
    if (accidental > 6) {
        accidental -= 12;
    }
    return kLetters[letter] + Accidentals(accidental) + QualitySuffix(chord);
}

const std::string& ChordFeeling(Mode mode, int degree) {
    static const std::array<std::array<std::string, 7>, 2> feelings{{
        {"いちばん落ちつく和音。曲のはじめとおわりに", "やわらかく、Ⅴへ進みたくなる和音",
         "少しせつない和音。ⅥやⅣへ", "ひろがる明るい和音。ⅤやⅠへ",
         "Ⅰにもどりたくなる和音。おわりの前に", "少しさびしい和音。ⅣやⅡへ",
         "不安定で、すぐⅠへ行きたくなる和音"},
        {"くらく落ちつく和音。曲のはじめとおわりに", "不安定で、Ⅴへ進みたくなる和音",
         "明るくひらける和音", "しずかで、かなしい和音。ⅠやⅤへ", "Ⅰへもどる前の、ほの暗い和音",
         "あたたかく広がる和音。ⅦやⅣへ", "明るく、ⅠやⅢへ向かう和音"},
    }};
    static const std::string none;
    return IsDegree(degree) ? feelings[size_t(ModeIndex(mode))][static_cast<size_t>(degree - 1)]
                            : none;
}

std::string ChordHint(const Song& song, int degree) {
    if (!IsDegree(degree)) {
        return {};
    }
    return ChordToneNames(song, degree) + "（" + song.dur.KeyName() + "では " +
           ChordLetterName(song, degree) + "）：" + ChordFeeling(song.dur.KeyMode(), degree);
}

std::string MelodyRowHint(int measure) {
    return std::to_string(measure) +
           "小節目のメロディです。空いたマスをクリックすると「ド」が入ります。"
           "音のあるマスは、左クリックで半音低く、右クリックで半音高くなります。"
           "Delete キーで、最後にクリックしたマスの音を消します";
}

std::string OctaveRowHint(int measure) {
    return std::to_string(measure) +
           "小節目の、すぐ下の音の高さです。0 がまん中、1 は 1 オクターブ上、"
           "-1 は 1 オクターブ下。1 オクターブ上がると、同じ名前のまま音がひとまわり高くなります";
}

std::string ProbabilityHint(int fromDegree, int toDegree) {
    if (!IsDegree(fromDegree) || !IsDegree(toDegree)) {
        return {};
    }
    return DegreeLabel(fromDegree) + " のあとに " + DegreeLabel(toDegree) + " が来る確率（％）";
}

std::string ProbabilityRowHint(int fromDegree) {
    if (!IsDegree(fromDegree)) {
        return {};
    }
    const std::string& from = DegreeLabel(fromDegree);
    return from + " のあとに来る和音を決める行です。Ⅰ〜Ⅶ の数字は、それぞれが " + from +
           " のあとに来る確率（％）で、合計を 100 にします。ほかの和音のあとは、ここで選びます";
}

}  // namespace tontoko
