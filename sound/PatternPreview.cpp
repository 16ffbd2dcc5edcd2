#include "sound/PatternPreview.h"

#include <algorithm>
#include <memory>

#include "engine/Song.h"
#include "render/PatternLibrary.h"
#include "render/RenderSong.h"

namespace tontoko {

namespace {

// A song in the key of `song` whose every chord slot holds chord I.
std::unique_ptr<Song> PreviewSong(const Song& song) {
    auto preview = std::make_unique<Song>(0);
    preview->dur = song.dur;
    preview->melody = song.melody;
    for (int k = 0; k < kChordNodes; ++k) {
        preview->nodes[k] = song.nodes[k];
    }
    for (int slot = 0; slot < kChordSlots; ++slot) {
        preview->SetSlotDegree(slot, 1);
    }
    for (int v = 0; v < kVoiceCount; ++v) {
        preview->melodies[v].SetVelocity(song.melodies[v].Velocity());
    }
    return preview;
}

double StepMs(int tempo) {
    return 60000.0 / std::max(tempo, 1) / 4.0;
}

// The first measure of a voice as notes that last to the voice's next onset,
// the last one to the end of the measure, as the MIDI writer plays them.
void AddMeasure(std::vector<LiveEvent>& events, const Song& song, int voice, uint8_t channel,
                int tempo) {
    const double stepMs = StepMs(tempo);
    const uint8_t velocity = song.melodies[voice].Velocity() & 0x7F;
    int sounding = -1;
    for (int s = 0; s < kStepsPerMeasure; ++s) {
        if (static_cast<int8_t>(song.rhythms[voice].Mark(s)) <= 0) {
            continue;
        }
        const int at = static_cast<int>(s * stepMs);
        if (sounding >= 0) {
            events.push_back({at, LiveEvent::Kind::NoteOff, channel, uint8_t(sounding), 0});
        }
        const uint8_t pitch = song.melodies[voice].Pitch(s) & 0x7F;
        events.push_back({at, LiveEvent::Kind::NoteOn, channel, pitch, velocity});
        sounding = pitch;
    }
    if (sounding >= 0) {
        events.push_back({static_cast<int>(kStepsPerMeasure * stepMs), LiveEvent::Kind::NoteOff,
                          channel, uint8_t(sounding), 0});
    }
}

void SortByTime(std::vector<LiveEvent>& events) {
    std::stable_sort(events.begin(), events.end(),
                     [](const LiveEvent& a, const LiveEvent& b) { return a.ms < b.ms; });
}

}  // namespace

std::vector<LiveEvent> AuditionEvents(uint8_t pitch, uint8_t program, uint8_t velocity, int ms) {
    return {
        {0, LiveEvent::Kind::Program, kAuditionChannel, uint8_t(program & 0x7F), 0},
        {0, LiveEvent::Kind::NoteOn, kAuditionChannel, uint8_t(pitch & 0x7F),
         uint8_t(velocity & 0x7F)},
        {ms, LiveEvent::Kind::NoteOff, kAuditionChannel, uint8_t(pitch & 0x7F), 0},
    };
}

std::vector<LiveEvent> AccompanimentPreview(const Song& song, const PatternLibrary& library,
                                            int pattern, uint8_t accProgram, uint8_t bassProgram,
                                            int tempo) {
    if (pattern < 0 || pattern >= static_cast<int>(library.acc.size())) {
        return {};
    }
    const std::unique_ptr<Song> preview = PreviewSong(song);
    RenderSong(*preview, library, RenderChoice{false, pattern, -1});
    std::vector<LiveEvent> events;
    events.push_back(
        {0, LiveEvent::Kind::Program, kPreviewBassChannel, uint8_t(bassProgram & 0x7F), 0});
    for (int v = 1; v <= 3; ++v) {
        events.push_back({0, LiveEvent::Kind::Program, uint8_t(kPreviewAccChannel + v - 1),
                          uint8_t(accProgram & 0x7F), 0});
    }
    AddMeasure(events, *preview, 0, kPreviewBassChannel, tempo);
    for (int v = 1; v <= 3; ++v) {
        AddMeasure(events, *preview, v, uint8_t(kPreviewAccChannel + v - 1), tempo);
    }
    SortByTime(events);
    return events;
}

std::vector<LiveEvent> DrumPreview(const Song& song, const PatternLibrary& library, int pattern,
                                   uint8_t drumSetProgram, int tempo) {
    if (pattern < 0 || pattern >= static_cast<int>(library.drums.size())) {
        return {};
    }
    const std::unique_ptr<Song> preview = PreviewSong(song);
    RenderSong(*preview, library, RenderChoice{true, -1, pattern});
    std::vector<LiveEvent> events;
    events.push_back(
        {0, LiveEvent::Kind::DrumProgram, kPreviewDrumChannel, uint8_t(drumSetProgram & 0x7F), 0});
    for (int v = kFirstDrumVoice; v < kVoiceCount; ++v) {
        AddMeasure(events, *preview, v, kPreviewDrumChannel, tempo);
    }
    SortByTime(events);
    return events;
}

}  // namespace tontoko
