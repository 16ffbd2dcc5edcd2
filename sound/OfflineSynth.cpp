#include "sound/OfflineSynth.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "sound/FluidSynth.h"

namespace tontoko {

namespace {

constexpr int kBlockFrames = 512;
// Within one step of a 16-bit sample: silence to the ear and to the file.
constexpr float kSilence = 1.5f / 32767.0f;

}  // namespace

OfflineSynth::OfflineSynth(SoundFontLookup soundFont) : soundFont_(std::move(soundFont)) {}

OfflineSynth::~OfflineSynth() {
    if (loading_.valid()) {
        loading_.wait();
    }
}

std::string OfflineSynth::Load() {
    if (!soundFont_.path) {
        return soundFont_.error;
    }
    try {
        fluid::SynthConfig config;
        config.soundFont = *soundFont_.path;
        config.sampleTiming = true;  // the player follows the synthesized samples, not the clock
        config.dynamicSampleLoading = true;
        synth_ = std::make_unique<fluid::Synth>(config);
    } catch (const fluid::FluidError& error) {
        return error.what();
    }
    return {};
}

void OfflineSynth::StartLoading() {
    std::lock_guard<std::mutex> lock(loadMutex_);
    if (loading_.valid() || loadError_) {
        return;
    }
    loading_ = std::async(std::launch::async, [this] { return Load(); });
}

std::string OfflineSynth::WaitLoaded() {
    std::lock_guard<std::mutex> lock(loadMutex_);
    if (!loadError_) {
        loadError_ = loading_.valid() ? loading_.get() : Load();
    }
    return *loadError_;
}

bool OfflineSynth::SynthesizePcm(const std::vector<uint8_t>& midi, std::vector<float>& out,
                                 std::string& error, double maxSeconds) {
    std::lock_guard<std::mutex> lock(mutex_);
    out.clear();
    if (std::string failed = WaitLoaded(); !failed.empty()) {
        error = failed;
        return false;
    }
    fluid::Synth& synth = *synth_;
    try {
        // Nothing left of an earlier synthesis (a cut note, the reverb's
        // tail): the reset takes effect in the blocks synthesized after it, which
        // are dropped until they are silent.
        synth.SystemReset();
        std::vector<float> drop(2 * 64);
        for (int i = 0; i < 4 * fluid::kSampleRate / 64; ++i) {
            synth.WriteFloat(64, drop.data(), drop.data() + 1, 2);
            const float peak = *std::max_element(drop.begin(), drop.end(), [](float a, float b) {
                return std::fabs(a) < std::fabs(b);
            });
            if (i >= 2 && synth.ActiveVoices() == 0 && std::fabs(peak) < 1e-6f) {
                break;
            }
        }
        fluid::Player player(synth, midi);
        player.Play();
        const double rate = synth.SampleRate();
        const auto maxFrames = static_cast<long long>(std::max(0.0, maxSeconds) * rate);
        std::vector<float> block(2 * kBlockFrames);
        long long frames = 0;
        long long musicEnd = -1;  // frame where the last tick was passed
        // Stop once the last tick has passed and every voice has died away;
        // FluidSynth's own end comes two seconds of silence later, and a note
        // without its note-off would keep it playing for ever, hence the cap.
        while (frames < maxFrames) {
            const int count =
                static_cast<int>(std::min<long long>(kBlockFrames, maxFrames - frames));
            synth.WriteFloat(count, block.data(), block.data() + 1, 2);
            out.insert(out.end(), block.begin(), block.begin() + 2 * count);
            frames += count;
            if (player.Finished()) {
                break;
            }
            if (player.CurrentTick() >= player.TotalTicks()) {
                if (musicEnd < 0) {
                    musicEnd = frames;
                }
                if (synth.ActiveVoices() == 0) {
                    break;
                }
            }
        }
        player.Stop();
        // The last voices spend a few hundred milliseconds within one 16-bit
        // step of silence before FluidSynth lets them go; that inaudible end
        // after the music is dropped.
        if (musicEnd >= 0) {
            const auto floor = static_cast<std::size_t>(musicEnd) * 2;
            std::size_t end = out.size();
            while (end > floor && std::fabs(out[end - 1]) <= kSilence &&
                   std::fabs(out[end - 2]) <= kSilence) {
                end -= 2;
            }
            out.resize(end);
        }
    } catch (const fluid::FluidError& failure) {
        out.clear();
        error = failure.what();
        return false;
    }
    return true;
}

ExportResult OfflineSynth::ExportToFile(const std::vector<uint8_t>& midi, const std::string& path,
                                        std::optional<AudioFormat> format, double maxSeconds) {
    ExportResult result;
    if (!format) {
        format = AudioFormatOf(path);
    }
    if (!format) {
        result.error = "Not a WAV, FLAC or Ogg file name: " + path;
        return result;
    }
    std::vector<float> pcm;
    if (!SynthesizePcm(midi, pcm, result.error, maxSeconds)) {
        return result;
    }
    const AudioFileResult written = WriteAudioFile(path, *format, pcm, fluid::kSampleRate);
    if (!written.ok) {
        result.error = written.error;
        return result;
    }
    result.seconds = static_cast<double>(pcm.size() / 2) / fluid::kSampleRate;
    result.ok = true;
    return result;
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

namespace {

ExportResult ExportFile(const std::string& midiPath, const std::string& path,
                        const std::string& soundFont, std::optional<AudioFormat> format,
                        double maxSeconds) {
    std::vector<uint8_t> midi;
    if (!ReadFileBytes(midiPath, midi)) {
        ExportResult result;
        result.error = "Cannot read the MIDI file " + midiPath;
        return result;
    }
    OfflineSynth synth(SoundFontLookup{soundFont, {}});
    ExportResult result = synth.ExportToFile(midi, path, format, maxSeconds);
    if (!result.ok && result.error == "Not MIDI data") {
        result.error = "Not a MIDI file: " + midiPath;
    }
    return result;
}

}  // namespace

ExportResult ExportMidiToAudio(const std::vector<uint8_t>& midi, const std::string& path,
                               const std::string& soundFont, double maxSeconds) {
    OfflineSynth synth(SoundFontLookup{soundFont, {}});
    return synth.ExportToFile(midi, path, std::nullopt, maxSeconds);
}

ExportResult ExportMidiFileToAudio(const std::string& midiPath, const std::string& path,
                                   const std::string& soundFont, double maxSeconds) {
    return ExportFile(midiPath, path, soundFont, std::nullopt, maxSeconds);
}

ExportResult ExportMidiToWav(const std::string& midiPath, const std::string& wavPath,
                             const std::string& soundFont, double maxSeconds) {
    return ExportFile(midiPath, wavPath, soundFont, AudioFormat::Wav, maxSeconds);
}

}  // namespace tontoko
