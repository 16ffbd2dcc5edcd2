#include "engine/Finish.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>
#include <vector>

#include "engine/Harmony.h"
#include "engine/Song.h"

namespace tontoko {

namespace {

constexpr int kOctave = 12;
// How far below and above the chord tones the generator's figures and steps
// reach.
constexpr int kRegisterMargin = 2;
// The octave the melody generator raises the melody by.
constexpr int kMelodyOctaveShift = 12;

bool LeadsHome(int degree) {
    return degree == 4 || degree == 5 || degree == 7;
}

// An onset as the MIDI writer sounds it: a mark above 0.
bool IsOnset(uint8_t mark) {
    return static_cast<int8_t>(mark) > 0;
}

// Beats 1 and 3, where a melody note is always a chord tone.
bool OnStrongBeat(int step) {
    return step % 8 == 0;
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

// A move of one or two semitones.
bool IsStep(int from, int to) {
    const int d = std::abs(to - from);
    return d == 1 || d == 2;
}

// Chooses among the register's notes that `accept` takes the one nearest
// `target`, the lower of two as near. Returns nullopt when the register holds
// none.
template <class Accept>
std::optional<int> Nearest(const NoteRange& range, int target, Accept accept) {
    std::optional<int> best;
    for (int p = range.low; p <= range.high; ++p) {
        if (accept(p) && (!best || std::abs(p - target) < std::abs(*best - target))) {
            best = p;
        }
    }
    return best;
}

// How a note may change.
enum class Freedom {
    Fixed,     // in a measure whose melody is fixed: never
    Ending,    // the song's last note: always the tonic nearest the note before
    Replaced,  // breaks a rule as written: any note the rules allow there
    Beside,    // off beats 1 and 3, beside a replaced note: may move with it
    Kept,      // stays while it keeps to the rules
};

// A pitch a note may take, with what the rules ask of it.
struct Choice {
    int pitch;
    bool usable;     // in the key and the register
    bool chordTone;  // of the chord under the note
};

// One onset of the melody.
struct MelodyNote {
    int step;
    int written;
    Freedom freedom;
    std::vector<Choice> choices;  // the written pitch first
};

// What a finished melody is charged for; the finisher takes the cheapest melody
// the rules allow. A repeated note the written melody did not have outweighs
// everything else; a turn against the way the written line went outweighs the
// two steps a changed note can win; a step won outweighs moving a note beside a
// replaced one. Among equals the change is the smallest.
constexpr long kNewRepeat = 1000;
// A note that keeps to the rules changes only when its new neighbours leave it
// breaking one; the charge keeps such notes from changing in circles to win
// steps.
constexpr long kKeptMoved = 500;
constexpr long kTurn = 100;
// Where the shape of the written line matters most (a measure just taken from
// another), a turn outweighs anything but a new repeated note.
constexpr long kTurnKeepingContour = 600;
constexpr long kStep = -40;
constexpr long kBesideMoved = 20;
constexpr long kPerSemitoneMoved = 1;

// Chooses the finished melody: every note that may change is given each pitch
// of the key in the register, and the cheapest melody that keeps to the rules
// is found by dynamic programming over pairs of consecutive notes (whether a
// note keeps to them depends on both its neighbours).
class MelodyFinisher {
  public:
    MelodyFinisher(const Song& song, bool keepContour)
        : song_(song),
          keepContour_(keepContour),
          range_(MelodyRegister(song)),
          mode_(song.CurrentMode()),
          tonic_(TonicPitchClass(song)) {
        for (int s = 0; s < kSongSteps; ++s) {
            if (IsOnset(song.MelodyRhythm().Mark(s))) {
                const int p = song.MelodyPitches().Pitch(s);
                const bool fixed = song.IsFixed(s / kStepsPerMeasure, FixedKind::Melody);
                notes_.push_back({s, p, fixed ? Freedom::Fixed : Freedom::Kept, {}});
                notes_.back().choices.push_back(MakeChoice(notes_.size() - 1, p));
            }
        }
        const size_t n = notes_.size();
        if (n > 0 && notes_.back().step >= kSongSteps - kStepsPerMeasure &&
            notes_.back().freedom != Freedom::Fixed) {
            notes_.back().freedom = Freedom::Ending;
        }
        for (size_t i = 0; i < n; ++i) {
            if (notes_[i].freedom == Freedom::Kept &&
                !Fits(i, notes_[i].choices[0], WrittenAt(i, -1), WrittenAt(i, 1))) {
                notes_[i].freedom = Freedom::Replaced;
            }
        }
        for (size_t i = 0; i < n; ++i) {
            MelodyNote& note = notes_[i];
            const bool besideReplaced = (i > 0 && notes_[i - 1].freedom == Freedom::Replaced) ||
                                        (i + 1 < n && notes_[i + 1].freedom == Freedom::Replaced);
            if (note.freedom == Freedom::Kept && besideReplaced && !OnStrongBeat(note.step)) {
                note.freedom = Freedom::Beside;
            }
            if (note.freedom == Freedom::Ending) {
                AddEndingChoices(i);
            } else if (MayChange(note)) {
                // On beats 1 and 3 only a chord tone can fit.
                for (int q = range_.low; q <= range_.high; ++q) {
                    const Choice c = MakeChoice(i, q);
                    if (q != note.written && c.usable &&
                        (c.chordTone || !OnStrongBeat(note.step))) {
                        note.choices.push_back(c);
                    }
                }
            }
        }
    }

    // The cheapest melody the rules allow, by dynamic programming over the
    // pairs of consecutive notes.
    std::vector<int> Finish() const {
        const size_t n = notes_.size();
        if (n == 0) {
            return {};
        }
        if (n == 1) {
            std::optional<int> best;
            for (const Choice& x : notes_[0].choices) {
                if (Allowed(0, std::nullopt, x, std::nullopt) &&
                    (!best || NoteCost(0, x.pitch) < NoteCost(0, *best))) {
                    best = x.pitch;
                }
            }
            return {best.value_or(notes_[0].written)};
        }
        // cost[a][b]: the least cost of notes 0..i with note i-1 on choice a and
        // note i on choice b, every note before i checked; from[i][a][b]: the
        // choice of note i-2 it came from.
        using Table = std::vector<std::vector<long>>;
        constexpr long kNone = LONG_MAX;
        std::vector<std::vector<std::vector<int>>> from(n);
        Table cost(notes_[0].choices.size(), std::vector<long>(notes_[1].choices.size(), kNone));
        for (size_t a = 0; a < notes_[0].choices.size(); ++a) {
            for (size_t b = 0; b < notes_[1].choices.size(); ++b) {
                const Choice& x = notes_[0].choices[a];
                const Choice& y = notes_[1].choices[b];
                if (Allowed(0, std::nullopt, x, y.pitch)) {
                    cost[a][b] = NoteCost(0, x.pitch) + NoteCost(1, y.pitch) +
                                 IntervalCost(1, x.pitch, y.pitch);
                }
            }
        }
        for (size_t i = 2; i < n; ++i) {
            const std::vector<Choice>& before = notes_[i - 2].choices;
            const std::vector<Choice>& middle = notes_[i - 1].choices;
            const std::vector<Choice>& here = notes_[i].choices;
            Table next(middle.size(), std::vector<long>(here.size(), kNone));
            from[i].assign(middle.size(), std::vector<int>(here.size(), -1));
            const bool middleAlwaysFits = AlwaysFits(notes_[i - 1]);
            std::vector<size_t> reaching;
            for (size_t b = 0; b < middle.size(); ++b) {
                reaching.clear();
                for (size_t a = 0; a < before.size(); ++a) {
                    if (cost[a][b] != kNone) {
                        reaching.push_back(a);
                    }
                }
                for (size_t c = 0; c < here.size() && !reaching.empty(); ++c) {
                    const long added = NoteCost(i, here[c].pitch) +
                                       IntervalCost(i, middle[b].pitch, here[c].pitch);
                    for (size_t a : reaching) {
                        if (cost[a][b] + added < next[b][c] &&
                            (middleAlwaysFits ||
                             Allowed(i - 1, before[a].pitch, middle[b], here[c].pitch))) {
                            next[b][c] = cost[a][b] + added;
                            from[i][b][c] = int(a);
                        }
                    }
                }
            }
            cost = std::move(next);
        }
        long best = kNone;
        size_t lastA = 0;
        size_t lastB = 0;
        for (size_t a = 0; a < notes_[n - 2].choices.size(); ++a) {
            for (size_t b = 0; b < notes_[n - 1].choices.size(); ++b) {
                if (cost[a][b] < best && Allowed(n - 1, notes_[n - 2].choices[a].pitch,
                                                 notes_[n - 1].choices[b], std::nullopt)) {
                    best = cost[a][b];
                    lastA = a;
                    lastB = b;
                }
            }
        }
        std::vector<int> result(n);
        if (best == kNone) {
            for (size_t i = 0; i < n; ++i) {
                result[i] = notes_[i].written;
            }
            return result;
        }
        std::vector<size_t> pick(n);
        pick[n - 2] = lastA;
        pick[n - 1] = lastB;
        for (size_t i = n - 1; i >= 2; --i) {
            pick[i - 2] = size_t(from[i][pick[i - 1]][pick[i]]);
        }
        for (size_t i = 0; i < n; ++i) {
            result[i] = notes_[i].choices[pick[i]].pitch;
        }
        return result;
    }

    void Write(SMelodyGenerate& pitches, const std::vector<int>& result) const {
        for (size_t i = 0; i < notes_.size(); ++i) {
            if (notes_[i].freedom != Freedom::Fixed) {
                pitches.SetPitch(notes_[i].step, uint8_t(result[i]));
            }
        }
    }

  private:
    std::optional<int> WrittenAt(size_t i, int offset) const {
        const long j = long(i) + offset;
        if (j < 0 || j >= long(notes_.size())) {
            return std::nullopt;
        }
        return notes_[size_t(j)].written;
    }

    const SChord& ChordAt(size_t i) const { return song_.ChordSlot(SlotOfStep(notes_[i].step)); }

    bool InKeyAndRegister(int p) const {
        return range_.Contains(p) && song_.melody.InKey(uint8_t(p), mode_);
    }

    Choice MakeChoice(size_t i, int p) const {
        return {p, InKeyAndRegister(p), IsChordTone(uint8_t(p), ChordAt(i))};
    }

    // Whether any pitch but the written one is worth trying: a note kept while
    // it keeps to the rules, and a chord tone in the key and the register,
    // keeps to them whatever its neighbours become.
    static bool MayChange(const MelodyNote& note) {
        switch (note.freedom) {
            case Freedom::Fixed:
            case Freedom::Ending:
                return false;
            case Freedom::Kept:
                return !(note.choices[0].usable && note.choices[0].chordTone);
            case Freedom::Replaced:
            case Freedom::Beside:
                return true;
        }
        return true;
    }

    // A note that stays, whatever its neighbours.
    static bool AlwaysFits(const MelodyNote& note) {
        return note.freedom == Freedom::Fixed ||
               (note.freedom == Freedom::Kept && !MayChange(note));
    }

    // The endings that the choices of the note before can lead to.
    void AddEndingChoices(size_t i) {
        MelodyNote& note = notes_[i];
        note.choices.clear();
        std::vector<std::optional<int>> befores;
        if (i == 0) {
            befores.push_back(std::nullopt);
        }
        for (const Choice& c : i > 0 ? notes_[i - 1].choices : std::vector<Choice>{}) {
            befores.push_back(c.pitch);
        }
        for (const std::optional<int>& before : befores) {
            const int p = Ending(note.written, before, ChordAt(i));
            if (std::none_of(note.choices.begin(), note.choices.end(),
                             [&](const Choice& c) { return c.pitch == p; })) {
                note.choices.push_back(MakeChoice(i, p));
            }
        }
    }

    // Whether choice c keeps to the rules at note i between `previous` and
    // `next` (the ending aside).
    bool Fits(size_t i, const Choice& c, std::optional<int> previous,
              std::optional<int> next) const {
        if (!c.usable) {
            return false;
        }
        if (c.chordTone) {
            return true;
        }
        return !OnStrongBeat(notes_[i].step) && previous && next && IsStep(*previous, c.pitch) &&
               IsStep(c.pitch, *next);
    }

    bool Allowed(size_t i, std::optional<int> previous, const Choice& c,
                 std::optional<int> next) const {
        const MelodyNote& note = notes_[i];
        switch (note.freedom) {
            case Freedom::Fixed:
                return true;
            case Freedom::Ending:
                return c.pitch == Ending(note.written, previous, ChordAt(i));
            case Freedom::Kept:
                if (c.pitch != note.written && Fits(i, note.choices[0], previous, next)) {
                    return false;
                }
                break;
            case Freedom::Replaced:
            case Freedom::Beside:
                break;
        }
        if (Fits(i, c, previous, next)) {
            return true;
        }
        // Where the rules allow nothing, the note stays.
        if (c.pitch != note.written) {
            return false;
        }
        return std::none_of(note.choices.begin(), note.choices.end(),
                            [&](const Choice& q) { return Fits(i, q, previous, next); });
    }

    long NoteCost(size_t i, int p) const {
        const MelodyNote& note = notes_[i];
        if (p == note.written) {
            return 0;
        }
        long cost = kPerSemitoneMoved * std::abs(p - note.written);
        if (note.freedom == Freedom::Beside) {
            cost += kBesideMoved;
        } else if (note.freedom == Freedom::Kept) {
            cost += kKeptMoved;
        }
        return cost;
    }

    // The move from note i-1 (pitch a) to note i (pitch b).
    long IntervalCost(size_t i, int a, int b) const {
        const int wa = notes_[i - 1].written;
        const int wb = notes_[i].written;
        long cost = 0;
        if (a == b && wa != wb) {
            cost += kNewRepeat;
        }
        if (Sign(b - a) != Sign(wb - wa)) {
            cost += keepContour_ ? kTurnKeepingContour : kTurn;
        }
        if (IsStep(a, b)) {
            cost += kStep;
        }
        return cost;
    }

    // The song's last note: the tonic nearest the note before it.
    int Ending(int written, std::optional<int> previous, const SChord& chord) const {
        const int target = previous.value_or(written);
        const std::optional<int> home = Nearest(range_, target, [&](int q) {
            return PitchClass(q) == tonic_ && !Clashes(uint8_t(q), chord);
        });
        if (home) {
            return *home;
        }
        return Nearest(range_, target,
                       [&](int q) { return InKeyAndRegister(q) && IsChordTone(uint8_t(q), chord); })
            .value_or(written);
    }

    const Song& song_;
    bool keepContour_;
    NoteRange range_;
    Mode mode_;
    int tonic_;
    std::vector<MelodyNote> notes_;
};

}  // namespace

NoteRange MelodyRegister(const Song& song) {
    int lowest = INT_MAX;
    int highest = INT_MIN;
    for (const SChord& node : song.nodes) {
        for (int k = 0; k < 3; ++k) {
            lowest = std::min(lowest, int(node.Tone(k)));
            highest = std::max(highest, int(node.Tone(k)));
        }
    }
    return {lowest - kRegisterMargin + kMelodyOctaveShift,
            highest + kRegisterMargin + kMelodyOctaveShift};
}

int TonicPitchClass(const Song& song) {
    // The relative minor's tonic lies a major sixth above the major tonic.
    const int minorOffset = song.dur.KeyMode() == Mode::Minor ? 9 : 0;
    return (song.dur.Tonic() + minorOffset) % kOctave;
}

void FinishProgression(Song& song) {
    song.SetSlotDegree(6, 1);
    song.SetSlotDegree(7, 1);
    if (!LeadsHome(song.SlotDegree(4)) || !LeadsHome(song.SlotDegree(5))) {
        song.SetSlotDegree(4, 5);
        song.SetSlotDegree(5, 5);
    }
}

void FinishMelody(Song& song) {
    const MelodyFinisher finisher(song, false);
    finisher.Write(song.MelodyPitches(), finisher.Finish());
}

void FinishMelodyKeepingContour(Song& song) {
    const MelodyFinisher finisher(song, true);
    finisher.Write(song.MelodyPitches(), finisher.Finish());
}

}  // namespace tontoko
