#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "render/AudioFile.h"
#include "render/SoundFont.h"

namespace tontoko {

namespace fluid {
class Synth;
}

struct AudioRenderResult {
    bool ok = false;
    std::string error;     // what went wrong, for a person
    double seconds = 0.0;  // length of the audio written
};

// Offline rendering of MIDI data through FluidSynth on a synthesizer of its
// own (so a playback elsewhere is not disturbed), faster than real time, with
// the player timed by the rendered samples. The synthesizer is loaded once and
// reset before every rendering. One rendering at a time; any thread.
class OfflineRenderer {
  public:
    explicit OfflineRenderer(SoundFontLookup soundFont);
    ~OfflineRenderer();
    OfflineRenderer(const OfflineRenderer&) = delete;
    OfflineRenderer& operator=(const OfflineRenderer&) = delete;

    // Loads the synthesizer on a thread of its own and returns at once; a
    // rendering waits for it. Without this call the first rendering loads.
    void StartLoading();

    // Interleaved stereo at 44.1 kHz from the start of the data to where the
    // last note has died away (capped at `maxSeconds`): the silence before the
    // first note stays, the inaudible end after the last release goes.
    bool RenderPcm(const std::vector<uint8_t>& midi, std::vector<float>& out, std::string& error,
                   double maxSeconds = 120.0);
    // Renders and writes `path` in `format`, or the format its extension names.
    AudioRenderResult RenderToFile(const std::vector<uint8_t>& midi, const std::string& path,
                                   std::optional<AudioFormat> format = std::nullopt,
                                   double maxSeconds = 120.0);

  private:
    std::string Load();  // returns the error text, empty when loaded
    std::string WaitLoaded();

    SoundFontLookup soundFont_;
    std::mutex mutex_;  // one rendering at a time
    std::mutex loadMutex_;
    std::future<std::string> loading_;
    std::optional<std::string> loadError_;
    std::unique_ptr<fluid::Synth> synth_;
};

// For the command-line composer: MIDI bytes (or a MIDI file) to WAV, FLAC or
// Ogg Vorbis chosen by the extension of `path`, through a temporary file and a
// rename. `soundFont` names the SoundFont file.
AudioRenderResult RenderMidiToAudio(const std::vector<uint8_t>& midi, const std::string& path,
                                    const std::string& soundFont, double maxSeconds = 120.0);
AudioRenderResult RenderMidiFileToAudio(const std::string& midiPath, const std::string& path,
                                        const std::string& soundFont, double maxSeconds = 120.0);
// A 16-bit stereo WAV file whatever the extension of `wavPath`.
AudioRenderResult RenderMidiToWav(const std::string& midiPath, const std::string& wavPath,
                                  const std::string& soundFont, double maxSeconds = 120.0);

// The bytes of a file; false when it cannot be read.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace tontoko
