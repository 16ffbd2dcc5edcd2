#include "sound/SoundService.h"

#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include "sound/AudioDriverChoice.h"
#include "sound/AudioOutput.h"
#include "sound/FluidSynth.h"
#include "sound/OfflineSynth.h"
#include "sound/SoundFont.h"

namespace tontoko {

SoundService::SoundService(SoundServiceOptions options) : options_(std::move(options)) {
    if (options_.drivers.empty()) {
        options_.drivers = AudioDriverOrder();
    }
    if (options_.audioFile.empty()) {
        if (const char* file = std::getenv("TONTOKO_AUDIO_FILE"); file && *file) {
            options_.audioFile = file;
        }
    }
}

SoundService::~SoundService() {
    if (loader_.joinable()) {
        loader_.join();
    }
    output_.reset();  // no synthesis from here on
    player_.reset();
    synth_.reset();
}

void SoundService::StartLoading() {
    std::lock_guard<std::mutex> lock(loadMutex_);
    if (loadStarted_) {
        return;
    }
    loadStarted_ = true;
    loader_ = std::thread([this] { Load(); });
}

const SoundStatus& SoundService::WaitLoaded() {
    StartLoading();
    std::unique_lock<std::mutex> lock(loadMutex_);
    loadedChanged_.wait(lock, [this] { return Loaded(); });
    return status_;
}

void SoundService::Load() {
    SoundStatus status;
    const SoundFontLookup font = options_.soundFontCandidates
                                     ? LookUpSoundFont(*options_.soundFontCandidates, {})
                                     : LookUpSoundFont();
    std::unique_ptr<fluid::Synth> synth;
    if (!font.path) {
        status.failure = SoundFailure::NoSoundFont;
        status.detail = font.error;
    } else {
        try {
            fluid::SynthConfig config;
            config.soundFont = *font.path;
            synth = std::make_unique<fluid::Synth>(config);
        } catch (const fluid::FluidError& error) {
            status.failure = SoundFailure::NoSoundFont;
            status.detail = error.what();
        }
    }
    std::unique_ptr<AudioOutput> output;
    if (synth) {
        synth_ = std::move(synth);  // before the output: it pulls audio at once
        AudioOutputConfig config;
        config.file = options_.audioFile;
        std::string tried;
        for (const std::string& driver : options_.drivers) {
            try {
                output = OpenAudioOutput(driver, config,
                                         [this](int frames, float* left, float* right, int step) {
                                             Synthesize(frames, left, right, step);
                                         });
                status.driver = driver;
                break;
            } catch (const std::exception& error) {
                tried += (tried.empty() ? "" : "\n") + driver + ": " + error.what();
            }
        }
        if (!output) {
            status.failure = SoundFailure::NoDevice;
            status.detail = "No audio device could be opened.\n" + tried;
        }
    }
    std::lock_guard<std::mutex> lock(loadMutex_);
    output_ = std::move(output);
    status_ = std::move(status);
    loaded_.store(true, std::memory_order_release);
    loadedChanged_.notify_all();
}

void SoundService::Synthesize(int frames, float* left, float* right, int step) {
    std::lock_guard<std::mutex> lock(synthMutex_);
    const long long start = synthesizedFrames_.load();
    SendLive(start + frames);
    try {
        synth_->WriteFloat(frames, left, right, step);
    } catch (const fluid::FluidError&) {
        for (int i = 0; i < frames; ++i) {
            left[i * step] = right[i * step] = 0.0f;
        }
    }
    synthesizedFrames_.store(start + frames);
    if (observer_) {
        observer_(frames, left, right, step);
    }
}

void SoundService::SendLive(long long blockEnd) {
    std::vector<LiveEvent> due;
    bool silence = false;
    {
        std::lock_guard<std::mutex> lock(liveMutex_);
        silence = silenceLive_;
        silenceLive_ = false;
        std::size_t kept = 0;
        for (Pending& p : pending_) {
            if (p.frame < blockEnd) {
                due.push_back(p.event);
            } else {
                pending_[kept++] = p;
            }
        }
        pending_.resize(kept);
    }
    if (silence) {
        for (int channel = kFirstLiveChannel; channel <= kLastLiveChannel; ++channel) {
            synth_->AllSoundsOff(channel);
        }
    }
    for (const LiveEvent& event : due) {
        Apply(event);
    }
}

void SoundService::Apply(const LiveEvent& event) {
    switch (event.kind) {
        case LiveEvent::Kind::Program:
            synth_->ProgramChange(event.channel, event.data1, false);
            break;
        case LiveEvent::Kind::DrumProgram:
            synth_->ProgramChange(event.channel, event.data1, true);
            break;
        case LiveEvent::Kind::NoteOn:
            synth_->NoteOn(event.channel, event.data1, event.data2);
            break;
        case LiveEvent::Kind::NoteOff:
            synth_->NoteOff(event.channel, event.data1);
            break;
    }
}

bool SoundService::Sound(const std::vector<LiveEvent>& events) {
    if (!Loaded() || !status_.Ok() || songPlaying_) {
        return false;
    }
    std::lock_guard<std::mutex> lock(liveMutex_);
    pending_.clear();
    silenceLive_ = true;
    // Queued from the next block on, as the audio thread reaches them.
    const long long base = synthesizedFrames_.load();
    for (const LiveEvent& event : events) {
        const long long offset = static_cast<long long>(event.ms) * fluid::kSampleRate / 1000;
        pending_.push_back({base + offset, event});
    }
    return true;
}

void SoundService::LoadSong(const std::string& path, TickCallback onTick) {
    if (!WaitLoaded().Ok()) {
        throw std::runtime_error(status_.detail);
    }
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes)) {
        throw std::runtime_error("the file cannot be read");
    }
    std::lock_guard<std::mutex> lock(synthMutex_);
    songPlaying_ = false;
    player_.reset();
    onTick_ = std::move(onTick);
    try {
        player_ = std::make_unique<fluid::Player>(*synth_, bytes);
        player_->SetTickCallback([this](int tick) {
            // On the audio thread, under the synthesis lock.
            if (const int target = follower_.OnTick(tick); target >= 0) {
                player_->Seek(target);
            }
            if (onTick_) {
                const bool ended = tick >= player_->TotalTicks() && synth_->ActiveVoices() == 0;
                onTick_(tick, ended);
            }
        });
    } catch (const fluid::FluidError& error) {
        player_.reset();
        throw std::runtime_error(error.what());
    }
}

void SoundService::PlaySong(const PlayRange& range) {
    std::lock_guard<std::mutex> lock(synthMutex_);
    if (!player_) {
        throw std::runtime_error("no song is loaded");
    }
    {
        // A preview still sounding makes way for the song.
        std::lock_guard<std::mutex> live(liveMutex_);
        pending_.clear();
        silenceLive_ = true;
    }
    // Voices left from a cut playback would otherwise sound again.
    synth_->AllSoundsOff();
    if (const int first = follower_.Begin(range); first >= 0) {
        player_->Seek(first);
    }
    try {
        player_->Play();
    } catch (const fluid::FluidError& error) {
        throw std::runtime_error(error.what());
    }
    songPlaying_ = true;
}

void SoundService::StopSong() {
    std::lock_guard<std::mutex> lock(synthMutex_);
    songPlaying_ = false;
    if (player_) {
        player_->Stop();
    }
    if (synth_) {
        // Voices and the reverb's tail: silence at once.
        synth_->SystemReset();
    }
}

void SoundService::UnloadSong() {
    std::lock_guard<std::mutex> lock(synthMutex_);
    songPlaying_ = false;
    if (player_) {
        player_->Stop();
        player_.reset();
        synth_->AllSoundsOff();
    }
    onTick_ = nullptr;
}

bool SoundService::SongLoaded() const {
    std::lock_guard<std::mutex> lock(synthMutex_);
    return player_ != nullptr;
}

bool SoundService::SongFinished() const {
    std::lock_guard<std::mutex> lock(synthMutex_);
    return player_ && player_->Finished();
}

void SoundService::SetBlockObserver(BlockObserver observer) {
    std::lock_guard<std::mutex> lock(synthMutex_);
    observer_ = std::move(observer);
}

int SoundService::ChannelProgram(int channel) {
    if (!Loaded() || !synth_) {
        return -1;
    }
    return synth_->ChannelProgram(channel);
}

int SoundService::ActiveVoices() {
    if (!Loaded() || !synth_) {
        return 0;
    }
    return synth_->ActiveVoices();
}

SongPlayResult PlayMidiFileAndWait(const std::string& path, const std::atomic<bool>* stop,
                                   SoundServiceOptions options) {
    SongPlayResult result;
    SoundService service(std::move(options));
    const SoundStatus& status = service.WaitLoaded();
    if (!status.Ok()) {
        result.error = status.detail;
        return result;
    }
    std::atomic<bool> ended{false};
    try {
        service.LoadSong(path, [&ended](int, bool end) {
            if (end) {
                ended = true;
            }
        });
        service.PlaySong();
    } catch (const std::exception& error) {
        result.error = "Cannot play " + path + ": " + error.what();
        return result;
    }
    while (!ended && !service.SongFinished()) {
        if (stop && stop->load()) {
            result.stopped = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    service.UnloadSong();
    result.ok = true;
    return result;
}

}  // namespace tontoko
