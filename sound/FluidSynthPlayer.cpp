#include "sound/FluidSynthPlayer.h"

#include <QMetaObject>
#include <QObject>
#include <QTimer>

#include "sound/SoundService.h"

namespace tontoko {

namespace {

SoundServiceOptions ServiceOptions(FluidSynthPlayer::Options options) {
    SoundServiceOptions service;
    if (!options.audioDriver.empty()) {
        service.drivers = {options.audioDriver};
    }
    service.audioFile = std::move(options.audioFile);
    service.soundFontCandidates = std::move(options.soundFontCandidates);
    return service;
}

}  // namespace

FluidSynthPlayer::FluidSynthPlayer() : FluidSynthPlayer(Options{}) {}

FluidSynthPlayer::FluidSynthPlayer(Options options)
    : FluidSynthPlayer(std::make_shared<SoundService>(ServiceOptions(std::move(options)))) {}

FluidSynthPlayer::FluidSynthPlayer(std::shared_ptr<SoundService> service)
    : service_(std::move(service)),
      notifier_(std::make_unique<QObject>()),
      watchdog_(std::make_unique<QTimer>()) {
    watchdog_->setInterval(250);
    QObject::connect(watchdog_.get(), &QTimer::timeout, notifier_.get(), [this] {
        if (!playing_) {
            watchdog_->stop();
        } else if (service_->SongFinished()) {
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

void FluidSynthPlayer::SetLoop(bool on) {
    service_->SetSongLoop(on);
}

void FluidSynthPlayer::Preload() {
    service_->StartLoading();
}

void FluidSynthPlayer::WaitForService() {
    const SoundStatus& status = service_->WaitLoaded();
    switch (status.failure) {
        case SoundFailure::None:
            return;
        case SoundFailure::NoSoundFont:
            throw PlayerError(status.detail, PlayerFailure::NoSoundFont);
        case SoundFailure::NoDevice:
            throw PlayerError(status.detail, PlayerFailure::NoDevice);
    }
}

bool FluidSynthPlayer::Sound(const std::vector<LiveEvent>& events, bool waitForLoad) {
    if (waitForLoad) {
        WaitForService();
    }
    return service_->Sound(events);
}

void FluidSynthPlayer::Open() {
    Close();
    WaitForService();
    try {
        service_->LoadSong(fileName_, [this](int tick, bool ended) {
            if (!playing_) {
                return;
            }
            tick_ = tick;
            // The end is the last tick of the file plus the release of its
            // last notes; FluidSynth's own DONE comes two seconds after that.
            if (ended) {
                PostNotify();
            }
        });
    } catch (const std::exception& error) {
        throw PlayerError("Cannot open \"" + fileName_ + "\": " + error.what());
    }
    open_ = true;
}

void FluidSynthPlayer::Play() {
    if (!open_) {
        throw PlayerError("The player is not open.");
    }
    tick_ = 0;
    playing_ = true;
    try {
        service_->PlaySong(range_);
    } catch (const std::exception& error) {
        playing_ = false;
        throw PlayerError(error.what());
    }
    watchdog_->start();
}

void FluidSynthPlayer::Stop() {
    if (open_) {
        service_->StopSong();
    }
    PostNotify();
}

void FluidSynthPlayer::Close() {
    if (open_) {
        service_->UnloadSong();
        open_ = false;
    }
    PostNotify();
}

void FluidSynthPlayer::PostNotify() {
    if (!playing_.exchange(false)) {
        return;
    }
    // May run on the audio thread under its lock: only post.
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
