#include "render/FluidSynthPlayer.h"

#include <QMetaObject>
#include <QObject>
#include <QTimer>

#include "render/FluidSynth.h"
#include "render/SoundFont.h"

namespace tontoko {

FluidSynthPlayer::FluidSynthPlayer() : FluidSynthPlayer(Options{}) {}

FluidSynthPlayer::FluidSynthPlayer(Options options)
    : options_(std::move(options)),
      notifier_(std::make_unique<QObject>()),
      watchdog_(std::make_unique<QTimer>()) {
    watchdog_->setInterval(250);
    QObject::connect(watchdog_.get(), &QTimer::timeout, notifier_.get(), [this] {
        if (!playing_) {
            watchdog_->stop();
        } else if (player_ && player_->Finished()) {
            PostNotify();
        }
    });
}

FluidSynthPlayer::~FluidSynthPlayer() {
    playing_ = false;  // nobody is left to hear about it
    Close();
}

void FluidSynthPlayer::SetFileName(const std::string& fileName) {
    fileName_ = fileName;
}

void FluidSynthPlayer::SetNotify(std::function<void()> onNotify) {
    onNotify_ = std::move(onNotify);
}

int FluidSynthPlayer::CurrentTick() const {
    return playing_ ? tick_.load() : -1;
}

void FluidSynthPlayer::EnsureSynth() {
    if (synth_) {
        return;
    }
    const std::optional<std::string> font = FirstExistingFile(
        options_.soundFontCandidates ? *options_.soundFontCandidates : SoundFontCandidates());
    if (!font) {
        throw PlayerError(
            "音源（SoundFont）が見つからないため、演奏できません。\n"
            "No SoundFont found: install the package fluid-soundfont-gm or set "
            "TONTOKO_SOUNDFONT to a General MIDI SoundFont (.sf2).");
    }
    fluid::SynthConfig config;
    config.soundFont = *font;
    config.audioDriver = options_.audioDriver;
    config.audioFile = options_.audioFile;
    try {
        synth_ = std::make_unique<fluid::Synth>(config);
    } catch (const fluid::FluidError& error) {
        throw PlayerError(error.what());
    }
}

void FluidSynthPlayer::Open() {
    Close();
    EnsureSynth();
    try {
        player_ = std::make_unique<fluid::Player>(*synth_, fileName_);
        player_->SetTickCallback([this](int tick) { OnTick(tick); });
    } catch (const fluid::FluidError& error) {
        player_.reset();
        throw PlayerError("Cannot open \"" + fileName_ + "\": " + error.what());
    }
    // The driver comes last: from here on the audio thread runs.
    try {
        driver_ = std::make_unique<fluid::AudioDriver>(*synth_);
    } catch (const fluid::FluidError&) {
        player_.reset();
        const std::string driver =
            options_.audioDriver.empty() ? std::string("the default") : options_.audioDriver;
        throw PlayerError(
            "音を出す装置が使えないため、演奏できません。\n"
            "No audio device: FluidSynth could not open " +
            driver + " audio driver, so the song cannot be played.");
    }
}

void FluidSynthPlayer::Play() {
    if (!driver_ || !player_) {
        throw PlayerError("The player is not open.");
    }
    Silence();
    player_->Rewind();
    tick_ = 0;
    playing_ = true;
    try {
        player_->Play();
    } catch (const fluid::FluidError& error) {
        playing_ = false;
        throw PlayerError(error.what());
    }
    watchdog_->start();
}

void FluidSynthPlayer::Stop() {
    if (player_) {
        player_->Stop();
    }
    Silence();
    PostNotify();
}

void FluidSynthPlayer::Close() {
    driver_.reset();  // stops the audio thread before anything it uses goes
    if (player_) {
        player_->Stop();
        player_.reset();
    }
    Silence();
    PostNotify();
}

void FluidSynthPlayer::Silence() {
    // Voices left from a cut playback would otherwise sound again at the next one.
    if (synth_) {
        synth_->AllSoundsOff();
    }
}

void FluidSynthPlayer::OnTick(int tick) {
    if (!playing_) {
        return;
    }
    tick_ = tick;
    // The end is the last tick of the file plus the release of its last notes;
    // FluidSynth's own DONE comes two seconds after that. The file is loaded by
    // the time this runs, so an empty one ends at once.
    if (tick >= player_->TotalTicks() && synth_->ActiveVoices() == 0) {
        PostNotify();
    }
}

void FluidSynthPlayer::PostNotify() {
    if (!playing_.exchange(false)) {
        return;
    }
    // May run on the audio thread with the synthesizer locked: only post.
    QMetaObject::invokeMethod(
        notifier_.get(),
        [this] {
            if (onNotify_) {
                onNotify_();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace tontoko
