// The song's headers come before any Qt header: Qt defines "slots" as a macro.
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"

#include "RhythmSongTarget.h"

RhythmSongTarget::RhythmSongTarget() : song_(std::make_unique<tontoko::Song>(12345)) {}

RhythmSongTarget::~RhythmSongTarget() = default;

void RhythmSongTarget::SetMelodyMark(int step, uint8_t mark) {
    song_->MelodyRhythm().SetMark(step, mark);
}

uint8_t RhythmSongTarget::MelodyMark(int step) const {
    return song_->MelodyRhythm().Mark(step);
}

void RhythmSongTarget::CheckFixRhythm(int measure) {
    song_->flags.Set(measure - 1, tontoko::FixedKind::Rhythm, true);
}

void RhythmSongTarget::GenerateMelody() {
    tontoko::ApplyMelodyStyle(*song_, tontoko::MelodyStyle::MoreQuarters);
    tontoko::GenerateMelody(*song_);
}

uint8_t RhythmSongTarget::Pitch(int step) const {
    return song_->MelodyPitches().Pitch(step);
}
