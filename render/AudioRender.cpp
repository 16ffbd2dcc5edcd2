#include "render/AudioRender.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "render/AtomicFile.h"
#include "render/FluidSynth.h"

namespace tontoko {

namespace {

constexpr int kBlockFrames = 512;

int16_t ToPcm(float sample) {
    const float scaled = std::round(sample * 32767.0f);
    return static_cast<int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

void PutLe(std::vector<char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// 16-bit stereo PCM in a RIFF/WAVE file, written beside the target and renamed
// over it, so a failed write leaves an existing file alone.
bool WriteWav(const std::string& path, const std::vector<int16_t>& pcm, int rate) {
    const auto dataBytes = static_cast<uint32_t>(pcm.size() * sizeof(int16_t));
    std::vector<char> header;
    header.insert(header.end(), {'R', 'I', 'F', 'F'});
    PutLe(header, 36 + dataBytes, 4);
    header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(header, 16, 4);
    PutLe(header, 1, 2);  // PCM
    PutLe(header, 2, 2);  // channels
    PutLe(header, static_cast<uint32_t>(rate), 4);
    PutLe(header, static_cast<uint32_t>(rate) * 4, 4);  // bytes per second
    PutLe(header, 4, 2);                                // bytes per frame
    PutLe(header, 16, 2);                               // bits per sample
    header.insert(header.end(), {'d', 'a', 't', 'a'});
    PutLe(header, dataBytes, 4);

    std::string bytes(header.begin(), header.end());
    bytes.reserve(header.size() + pcm.size() * 2);
    for (int16_t sample : pcm) {  // little-endian on disk whatever the machine
        bytes.push_back(static_cast<char>(sample & 0xFF));
        bytes.push_back(static_cast<char>((sample >> 8) & 0xFF));
    }
    return WriteFileAtomically(path, bytes);
}

}  // namespace

AudioRenderResult RenderMidiToWav(const std::string& midiPath, const std::string& wavPath,
                                  const std::string& soundFont, double maxSeconds) {
    AudioRenderResult result;
    std::vector<int16_t> pcm;  // interleaved left, right
    int rate = 44100;
    try {
        fluid::SynthConfig config;
        config.soundFont = soundFont;
        config.sampleTiming = true;  // the player follows the rendered samples, not the clock
        fluid::Synth synth(config);
        fluid::Player player(synth, midiPath);
        player.Play();
        rate = static_cast<int>(synth.SampleRate());

        const auto maxFrames = static_cast<long long>(std::max(0.0, maxSeconds) * rate);
        std::vector<float> left(kBlockFrames), right(kBlockFrames);
        long long frames = 0;
        long long musicEnd = -1;  // frame where the last tick was passed
        // Stop once the last tick has passed and every voice has died away;
        // FluidSynth's own end comes two seconds of silence later, and a note
        // without its note-off would keep it playing for ever, hence the cap.
        while (frames < maxFrames) {
            const int count =
                static_cast<int>(std::min<long long>(kBlockFrames, maxFrames - frames));
            synth.WriteFloat(count, left.data(), right.data());
            for (int i = 0; i < count; ++i) {
                pcm.push_back(ToPcm(left[i]));
                pcm.push_back(ToPcm(right[i]));
            }
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
        // The last voices spend a few hundred milliseconds within one 16-bit
        // step of silence (-90 dB) before FluidSynth lets them go; that
        // inaudible end after the music is dropped.
        if (musicEnd >= 0) {
            const auto floor = static_cast<std::size_t>(musicEnd) * 2;
            std::size_t end = pcm.size();
            while (end > floor && std::abs(pcm[end - 1]) <= 1 && std::abs(pcm[end - 2]) <= 1) {
                end -= 2;
            }
            pcm.resize(end);
        }
    } catch (const fluid::FluidError& error) {
        result.error = error.what();
        return result;
    }
    if (!WriteWav(wavPath, pcm, rate)) {
        result.error = "Cannot write the audio file " + wavPath;
        return result;
    }
    result.seconds = static_cast<double>(pcm.size() / 2) / rate;
    result.ok = true;
    return result;
}

}  // namespace tontoko
