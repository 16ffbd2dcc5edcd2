#pragma once

// A rhythm target over a real song, as the main window would hold it: marks go
// into the melody voice and a checked fix box fixes the measure's rhythm for
// the melody generator. Kept apart from Qt's headers.

#include <cstdint>
#include <memory>

#include "editing/RhythmTarget.h"

namespace tontoko {
class Song;
}

class RhythmSongTarget : public tontoko::RhythmTarget {
  public:
    RhythmSongTarget();
    ~RhythmSongTarget() override;

    void SetMelodyMark(int step, uint8_t mark) override;
    uint8_t MelodyMark(int step) const override;
    void SetMelodyCell(int, int, const QString&) override {}
    void SetOctaveCell(int, int, const QString&) override {}
    void CheckFixRhythm(int measure) override;

    // "メロディ生成" with the quarter-note style.
    void GenerateMelody();
    uint8_t Pitch(int step) const;

  private:
    std::unique_ptr<tontoko::Song> song_;
};
