#include "sound/ChordAudition.h"

#include <array>

#include "engine/Song.h"
#include "engine/Voicing.h"

namespace tontoko {

std::vector<LiveEvent> ChordAuditionEvents(const Song& song, int degree, uint8_t accProgram,
                                           uint8_t bassProgram, int ms) {
    if (degree < 1 || degree > kChordNodes) {
        return {};
    }
    const std::array<uint8_t, 4> notes = ChordVoicing(song.nodes[static_cast<size_t>(degree - 1)]);
    // Voice 0 is the bass; voices 1..3 the accompaniment, one channel each.
    const auto channel = [](int v) {
        return v == 0 ? kPreviewBassChannel : uint8_t(kPreviewAccChannel + v - 1);
    };
    std::vector<LiveEvent> events;
    for (int v = 0; v < 4; ++v) {
        const uint8_t program = v == 0 ? bassProgram : accProgram;
        events.push_back({0, LiveEvent::Kind::Program, channel(v), uint8_t(program & 0x7F), 0});
    }
    for (int v = 0; v < 4; ++v) {
        events.push_back({0, LiveEvent::Kind::NoteOn, channel(v), uint8_t(notes[v] & 0x7F),
                          uint8_t(song.melodies[v].Velocity() & 0x7F)});
    }
    for (int v = 0; v < 4; ++v) {
        events.push_back({ms, LiveEvent::Kind::NoteOff, channel(v), uint8_t(notes[v] & 0x7F), 0});
    }
    return events;
}

}  // namespace tontoko
