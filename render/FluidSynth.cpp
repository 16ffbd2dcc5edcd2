#include "render/FluidSynth.h"

#include <fluidsynth.h>

namespace tontoko::fluid {

namespace {

void Check(int result, const std::string& what) {
    if (result != FLUID_OK) {
        throw FluidError("FluidSynth: " + what + " failed");
    }
}

}  // namespace

struct Synth::Handles {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;

    ~Handles() {
        if (synth) {
            delete_fluid_synth(synth);
        }
        if (settings) {
            delete_fluid_settings(settings);
        }
    }
};

Synth::Synth(const SynthConfig& config) : handles_(std::make_unique<Handles>()) {
    Handles& h = *handles_;
    h.settings = new_fluid_settings();
    if (!h.settings) {
        throw FluidError("FluidSynth: cannot create settings");
    }
    // Device 16 ("all devices") so that the GS reset in every file is honoured;
    // bank selection stays "gs" so channel 10 keeps its drum kits.
    Check(fluid_settings_setint(h.settings, "synth.device-id", 16), "setting synth.device-id");
    if (config.sampleTiming) {
        Check(fluid_settings_setstr(h.settings, "player.timing-source", "sample"),
              "setting player.timing-source");
    }
    if (!config.audioDriver.empty()) {
        Check(fluid_settings_setstr(h.settings, "audio.driver", config.audioDriver.c_str()),
              "choosing audio driver \"" + config.audioDriver + "\"");
    }
    if (!config.audioFile.empty()) {
        Check(fluid_settings_setstr(h.settings, "audio.file.name", config.audioFile.c_str()),
              "setting the audio file name");
    }
    h.synth = new_fluid_synth(h.settings);
    if (!h.synth) {
        throw FluidError("FluidSynth: cannot create the synthesizer");
    }
    if (fluid_synth_sfload(h.synth, config.soundFont.c_str(), 1) == FLUID_FAILED) {
        throw FluidError("Cannot load the SoundFont " + config.soundFont);
    }
}

Synth::~Synth() = default;

int Synth::ActiveVoices() const {
    return fluid_synth_get_active_voice_count(handles_->synth);
}

void Synth::AllSoundsOff() {
    fluid_synth_all_sounds_off(handles_->synth, -1);
}

double Synth::SampleRate() const {
    double rate = 44100.0;
    fluid_settings_getnum(handles_->settings, "synth.sample-rate", &rate);
    return rate;
}

void Synth::WriteFloat(int frames, float* left, float* right) {
    Check(fluid_synth_write_float(handles_->synth, frames, left, 0, 1, right, 0, 1),
          "rendering audio");
}

struct Player::Handle {
    fluid_player_t* player = nullptr;
    ~Handle() {
        if (player) {
            delete_fluid_player(player);
        }
    }
};

Player::Player(Synth& synth, const std::string& midiFile) : handle_(std::make_unique<Handle>()) {
    if (!fluid_is_midifile(midiFile.c_str())) {
        throw FluidError("Not a MIDI file: " + midiFile);
    }
    handle_->player = new_fluid_player(synth.Raw().synth);
    if (!handle_->player) {
        throw FluidError("FluidSynth: cannot create the MIDI player");
    }
    Check(fluid_player_add(handle_->player, midiFile.c_str()), "adding " + midiFile);
}

Player::~Player() {
    if (handle_->player) {
        fluid_player_stop(handle_->player);
    }
}

int Player::OnTick(void* data, int tick) {
    auto* self = static_cast<Player*>(data);
    if (self->tickCallback_) {
        self->tickCallback_(tick);
    }
    return FLUID_OK;
}

void Player::SetTickCallback(std::function<void(int)> callback) {
    tickCallback_ = std::move(callback);
    Check(fluid_player_set_tick_callback(handle_->player, &Player::OnTick, this),
          "setting the tick callback");
}

void Player::Play() {
    Check(fluid_player_play(handle_->player), "starting the playback");
}

void Player::Stop() {
    fluid_player_stop(handle_->player);
}

void Player::Rewind() {
    fluid_player_seek(handle_->player, 0);
}

bool Player::Finished() const {
    return fluid_player_get_status(handle_->player) == FLUID_PLAYER_DONE;
}

int Player::CurrentTick() const {
    return fluid_player_get_current_tick(handle_->player);
}

int Player::TotalTicks() const {
    return fluid_player_get_total_ticks(handle_->player);
}

struct AudioDriver::Handle {
    fluid_audio_driver_t* driver = nullptr;
    ~Handle() {
        if (driver) {
            delete_fluid_audio_driver(driver);
        }
    }
};

AudioDriver::AudioDriver(Synth& synth) : handle_(std::make_unique<Handle>()) {
    handle_->driver = new_fluid_audio_driver(synth.Raw().settings, synth.Raw().synth);
    if (!handle_->driver) {
        throw FluidError("No audio device could be opened");
    }
}

AudioDriver::~AudioDriver() = default;

bool IsMidiFile(const std::string& path) {
    return fluid_is_midifile(path.c_str()) != 0;
}

std::string DefaultSoundFont() {
    fluid_settings_t* settings = new_fluid_settings();
    if (!settings) {
        return {};
    }
    std::string result;
    char* value = nullptr;
    if (fluid_settings_dupstr(settings, "synth.default-soundfont", &value) == FLUID_OK && value) {
        result = value;
        fluid_free(value);
    }
    delete_fluid_settings(settings);
    return result;
}

}  // namespace tontoko::fluid
