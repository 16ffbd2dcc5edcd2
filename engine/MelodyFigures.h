#pragma once

namespace tontoko {

class Song;

// The figures by which a melody is compared with real tunes, for one song. The
// melody is the onsets of voice 4 in order; an interval is the difference
// between the pitches of two consecutive onsets; the chord under a note is the
// chord of its half measure.
struct MelodyFigures {
    int intervals = 0;
    int steps = 0;      // intervals of 1 or 2 semitones
    int repeats = 0;    // intervals of 0
    int beatNotes = 0;  // onsets on beats 1 and 3 (steps 0 and 8 of a measure)
    int beatChordTones = 0;
    int notes = 0;
    // Chord tones, and notes outside the chord whose previous and next notes
    // are 1 or 2 semitones away.
    int chordOrStepwise = 0;
    bool endsOnI = false;       // measure 4 is I, I
    bool endsOnTonic = false;   // the last note is the key's tonic
    bool motifCounted = false;  // measure 1 has at least three notes
    bool motifKept = false;     // measure 3 has measure 1's onsets and contour
    double rhythmMatch = 0.0;   // 1 - sixteenths where measures 1 and 3 differ / 16
};

MelodyFigures MeasureMelody(const Song& song);

// Shares computed per song and averaged over songs. A song without the notes a
// share is taken of (no intervals, or a measure 1 of fewer than three notes)
// does not count in that share.
class MelodyAverages {
  public:
    void Add(const MelodyFigures& song);

    int Songs() const { return songs_; }
    double Steps() const { return steps_.Value(); }
    double Repeats() const { return repeats_.Value(); }
    double BeatChordTones() const { return beatChordTones_.Value(); }
    double ChordOrStepwise() const { return chordOrStepwise_.Value(); }
    double EndsOnI() const { return endsOnI_.Value(); }
    double EndsOnTonic() const { return endsOnTonic_.Value(); }
    double MotifKept() const { return motifKept_.Value(); }
    double RhythmMatch() const { return rhythmMatch_.Value(); }

  private:
    struct Mean {
        double sum = 0.0;
        int count = 0;
        void Add(double v) {
            sum += v;
            ++count;
        }
        double Value() const { return count > 0 ? sum / count : 0.0; }
    };

    int songs_ = 0;
    Mean steps_, repeats_, beatChordTones_, chordOrStepwise_, endsOnI_, endsOnTonic_, motifKept_,
        rhythmMatch_;
};

}  // namespace tontoko
