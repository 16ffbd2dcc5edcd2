#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sound/AudioFile.h"
#include "sound/SoundFont.h"

namespace tontoko {

namespace fluid {
class Synth;
}

struct ExportResult {
    bool ok = false;
    std::string error;     // what went wrong, for a person
    double seconds = 0.0;  // length of the audio written
};

// Offline synthesis of MIDI data through FluidSynth on a synthesizer of its
// own (so a playback elsewhere is not disturbed), faster than real time, with
// the player timed by the synthesized samples. The synthesizer is loaded once and
// reset before every export. One at a time; any thread.
class OfflineSynth {
  public:
    explicit OfflineSynth(SoundFontLookup soundFont);
    ~OfflineSynth();
    OfflineSynth(const OfflineSynth&) = delete;
    OfflineSynth& operator=(const OfflineSynth&) = delete;

    // Loads the synthesizer on a thread of its own and returns at once; a
    // synthesis waits for it. Without this call the first one loads.
    void StartLoading();

    // Interleaved stereo at 44.1 kHz from the start of the data to where the
    // last note has died away (capped at `maxSeconds`): the silence before the
    // first note stays, the inaudible end after the last release goes.
    bool SynthesizePcm(const std::vector<uint8_t>& midi, std::vector<float>& out,
                       std::string& error, double maxSeconds = 120.0);
    // Synthesizes and writes `path` in `format`, or the format its extension
    // names: the file is encoded on a thread of the export's own while the
    // next samples are synthesized, and is the one WriteAudioFile would write
    // from SynthesizePcm's samples.
    ExportResult ExportToFile(const std::vector<uint8_t>& midi, const std::string& path,
                              std::optional<AudioFormat> format = std::nullopt,
                              double maxSeconds = 120.0);

  private:
    // Frames of interleaved stereo as they are known to stay; false stops.
    using Take = std::function<bool(const float* interleaved, std::size_t frames)>;
    enum class Synthesis { Done, Failed, Stopped };
    // SynthesizePcm's samples handed to `take`, with `mutex_` held.
    Synthesis Synthesize(const std::vector<uint8_t>& midi, const Take& take, std::string& error,
                         double maxSeconds);
    std::string Load();  // returns the error text, empty when loaded
    std::string WaitLoaded();

    SoundFontLookup soundFont_;
    std::mutex mutex_;  // one synthesis at a time
    std::mutex loadMutex_;
    std::future<std::string> loading_;
    std::optional<std::string> loadError_;
    std::unique_ptr<fluid::Synth> synth_;
};

// For the command-line composer: MIDI bytes (or a MIDI file) to WAV, FLAC or
// Ogg Vorbis chosen by the extension of `path`, through a temporary file and a
// rename. `soundFont` names the SoundFont file.
ExportResult ExportMidiToAudio(const std::vector<uint8_t>& midi, const std::string& path,
                               const std::string& soundFont, double maxSeconds = 120.0);
ExportResult ExportMidiFileToAudio(const std::string& midiPath, const std::string& path,
                                   const std::string& soundFont, double maxSeconds = 120.0);
// A 16-bit stereo WAV file whatever the extension of `wavPath`.
ExportResult ExportMidiToWav(const std::string& midiPath, const std::string& wavPath,
                             const std::string& soundFont, double maxSeconds = 120.0);

// The bytes of a file; false when it cannot be read.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace tontoko
