#include "render/ComposeParts.h"

#include <array>
#include <stdexcept>

#include "engine/Song.h"
#include "render/SStandardMidi.h"

namespace tontoko {

namespace {

void CheckParts(std::span<const SongPart> parts) {
    if (parts.empty() || parts.size() > static_cast<size_t>(kMaxParts)) {
        throw std::invalid_argument("a song has 1 to 8 parts");
    }
    for (const SongPart& part : parts) {
        for (uint8_t degree : part.degrees) {
            if (degree < 1 || degree > kChordNodes) {
                throw std::invalid_argument("a chord degree outside 1..7");
            }
        }
    }
}

// The slots and the melody voice's steps, put back when the parts are done.
class ShownPart {
  public:
    explicit ShownPart(Song& song) : song_(song) {
        for (int slot = 0; slot < kChordSlots; ++slot) {
            degrees_[static_cast<size_t>(slot)] = song.SlotDegree(slot);
        }
        for (int s = 0; s < kSongSteps; ++s) {
            marks_[static_cast<size_t>(s)] = song.MelodyRhythm().Mark(s);
            pitches_[static_cast<size_t>(s)] = song.MelodyPitches().Pitch(s);
        }
    }
    ~ShownPart() {
        for (int slot = 0; slot < kChordSlots; ++slot) {
            song_.SetSlotDegree(slot, degrees_[static_cast<size_t>(slot)]);
        }
        for (int s = 0; s < kSongSteps; ++s) {
            song_.MelodyRhythm().SetMark(s, marks_[static_cast<size_t>(s)]);
            song_.MelodyPitches().SetPitch(s, pitches_[static_cast<size_t>(s)]);
        }
    }
    ShownPart(const ShownPart&) = delete;
    ShownPart& operator=(const ShownPart&) = delete;

  private:
    Song& song_;
    std::array<int, kChordSlots> degrees_{};
    std::array<uint8_t, kSongSteps> marks_{};
    std::array<uint8_t, kSongSteps> pitches_{};
};

}  // namespace

SongVoices RenderParts(Song& song, std::span<const SongPart> parts, const PatternLibrary& library,
                       const RenderChoice& choice) {
    CheckParts(parts);
    const ShownPart shown(song);
    SongVoices voices(kVoiceCount);
    for (const SongPart& part : parts) {
        for (int slot = 0; slot < kChordSlots; ++slot) {
            song.SetSlotDegree(slot, part.degrees[static_cast<size_t>(slot)]);
        }
        for (int s = 0; s < kSongSteps; ++s) {
            song.MelodyRhythm().SetMark(s, part.marks[static_cast<size_t>(s)]);
            song.MelodyPitches().SetPitch(s, part.pitches[static_cast<size_t>(s)]);
        }
        RenderSong(song, library, choice);
        voices.Append(song.rhythms, song.melodies, kSongSteps);
    }
    return voices;
}

void ComposeParts(std::vector<uint8_t>& out, SStandardMidi& writer, Song& song,
                  std::span<const SongPart> parts, const PatternLibrary& library,
                  const RenderChoice& choice, uint8_t tempo, const SoundSettings& settings) {
    const SongVoices voices = RenderParts(song, parts, library, choice);
    std::array<uint8_t, kVoiceCount> lastNotes{};
    for (int v = 0; v < kVoiceCount; ++v) {
        lastNotes[static_cast<size_t>(v)] = song.melodies[static_cast<size_t>(v)].LastNote();
    }
    writer.Compose(out, voices, lastNotes, tempo, settings);
    for (int v = 0; v < kVoiceCount; ++v) {
        song.melodies[static_cast<size_t>(v)].SetLastNote(lastNotes[static_cast<size_t>(v)]);
    }
}

}  // namespace tontoko
