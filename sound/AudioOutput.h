#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tontoko {

// Where the sound service's audio goes in real time. The output calls
// `fill` from a thread of its own for every block it needs (left and right
// samples `step` apart) until it is destroyed.
class AudioOutput {
  public:
    using Fill = std::function<void(int frames, float* left, float* right, int step)>;
    virtual ~AudioOutput() = default;
    const std::string& Name() const { return name_; }

  protected:
    explicit AudioOutput(std::string name) : name_(std::move(name)) {}

  private:
    std::string name_;
};

struct AudioOutputConfig {
    int periodFrames = 64;
    // "file" only: the file written in real time (.wav: 16-bit WAV, anything
    // else: raw 16-bit stereo); empty: the audio is synthesized and dropped.
    std::string file;
};

// Opens the output of a driver name: "file" and "sdl2" here, every other one
// ("pulseaudio", "alsa", "jack", ...) through FluidSynth. Throws
// std::runtime_error with the reason when the device cannot be opened.
std::unique_ptr<AudioOutput> OpenAudioOutput(const std::string& driver,
                                             const AudioOutputConfig& config,
                                             AudioOutput::Fill fill);

}  // namespace tontoko
