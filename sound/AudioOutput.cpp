#include "sound/AudioOutput.h"

#include <sndfile.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "sound/AudioFile.h"
#include "sound/FluidSynth.h"

#ifdef TONTOKO_HAVE_SDL2
#include <SDL.h>
#endif

namespace tontoko {

namespace {

// FluidSynth's real devices, which call back for every block.
class FluidOutput : public AudioOutput {
  public:
    FluidOutput(const std::string& driver, const AudioOutputConfig& config, Fill fill)
        : AudioOutput(driver),
          fill_(std::move(fill)),
          driver_(driver, config.periodFrames, [this](int frames, float* left, float* right) {
              fill_(frames, left, right, 1);
          }) {}

  private:
    Fill fill_;
    fluid::CallbackDriver driver_;
};

// Real time into a file (or nowhere): a thread fills one block per period
// of the clock, as a sound card would ask for it.
class FileOutput : public AudioOutput {
  public:
    FileOutput(const AudioOutputConfig& config, Fill fill)
        : AudioOutput("file"), frames_(config.periodFrames), fill_(std::move(fill)) {
        if (!config.file.empty()) {
            SF_INFO info{};
            info.samplerate = fluid::kSampleRate;
            info.channels = 2;
            info.format = AudioFormatOf(config.file) == AudioFormat::Wav
                              ? (SF_FORMAT_WAV | SF_FORMAT_PCM_16)
                              : (SF_FORMAT_RAW | SF_FORMAT_PCM_16);
            file_ = sf_open(config.file.c_str(), SFM_WRITE, &info);
            if (!file_) {
                throw std::runtime_error("Cannot write the audio file " + config.file + ": " +
                                         sf_strerror(nullptr));
            }
        }
        thread_ = std::thread([this] { Run(); });
    }
    ~FileOutput() override {
        stop_ = true;
        thread_.join();
        if (file_) {
            sf_close(file_);
        }
    }

  private:
    void Run() {
        using Clock = std::chrono::steady_clock;
        const auto period = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(double(frames_) / fluid::kSampleRate));
        std::vector<float> block(2 * static_cast<std::size_t>(frames_));
        auto next = Clock::now();
        while (!stop_) {
            fill_(frames_, block.data(), block.data() + 1, 2);
            if (file_) {
                sf_writef_float(file_, block.data(), frames_);
            }
            next += period;
            const auto now = Clock::now();
            if (now > next + 50 * period) {
                next = now;  // fell far behind (a stalled machine): no burst to catch up
            }
            std::this_thread::sleep_until(next);
        }
    }

    int frames_;
    Fill fill_;
    SNDFILE* file_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

#ifdef TONTOKO_HAVE_SDL2
// SDL's audio device; SDL picks its own backend.
class SdlOutput : public AudioOutput {
  public:
    SdlOutput(const AudioOutputConfig& config, Fill fill)
        : AudioOutput("sdl2"), fill_(std::move(fill)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            const std::string error = SDL_GetError();
            SDL_Quit();  // frees what the failed start left; nothing else here uses SDL
            throw std::runtime_error("SDL2 has no audio: " + error);
        }
        SDL_AudioSpec want{};
        want.freq = fluid::kSampleRate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = static_cast<Uint16>(std::max(config.periodFrames, 256));
        want.callback = &SdlOutput::OnAudio;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) {
            const std::string error = SDL_GetError();
            SDL_Quit();
            throw std::runtime_error("SDL2 could not open an audio device: " + error);
        }
        SDL_PauseAudioDevice(device_, 0);
    }
    ~SdlOutput() override {
        SDL_CloseAudioDevice(device_);
        SDL_Quit();
    }

  private:
    static void OnAudio(void* data, Uint8* stream, int bytes) {
        auto* self = static_cast<SdlOutput*>(data);
        auto* samples = reinterpret_cast<float*>(stream);
        self->fill_(bytes / int(2 * sizeof(float)), samples, samples + 1, 2);
    }

    Fill fill_;
    SDL_AudioDeviceID device_ = 0;
};
#endif

}  // namespace

std::unique_ptr<AudioOutput> OpenAudioOutput(const std::string& driver,
                                             const AudioOutputConfig& config,
                                             AudioOutput::Fill fill) {
    if (driver == "file") {
        return std::make_unique<FileOutput>(config, std::move(fill));
    }
    if (driver == "sdl2") {
#ifdef TONTOKO_HAVE_SDL2
        return std::make_unique<SdlOutput>(config, std::move(fill));
#else
        throw std::runtime_error("built without SDL2");
#endif
    }
    try {
        return std::make_unique<FluidOutput>(driver, config, std::move(fill));
    } catch (const fluid::FluidError& error) {
        throw std::runtime_error(error.what());
    }
}

}  // namespace tontoko
