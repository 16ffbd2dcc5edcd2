#include "sound/FluidSynth.h"

#include <fluidsynth.h>

#include <mutex>

namespace tontoko::fluid {

namespace {

void Check(int result, const std::string& what) {
    if (result != FLUID_OK) {
        throw FluidError("FluidSynth: " + what + " failed");
    }
}

// FluidSynth's messages: errors are kept for the next failure report; the
// rest (which driver it uses, debugging) is not shown.
std::mutex logMutex;
std::string collectedErrors;

void OnLog(int level, const char* message, void*) {
    if (level != FLUID_PANIC && level != FLUID_ERR) {
        return;
    }
    std::lock_guard<std::mutex> lock(logMutex);
    if (collectedErrors.size() < 4096) {
        collectedErrors += message ? message : "";
        collectedErrors += '\n';
    }
}

void InstallLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
            fluid_set_log_function(level, &OnLog, nullptr);
        }
    });
}

}  // namespace

std::string TakeFluidErrors() {
    std::lock_guard<std::mutex> lock(logMutex);
    std::string errors;
    errors.swap(collectedErrors);
    while (!errors.empty() && errors.back() == '\n') {
        errors.pop_back();
    }
    return errors;
}

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
    InstallLog();
    Handles& h = *handles_;
    h.settings = new_fluid_settings();
    if (!h.settings) {
        throw FluidError("FluidSynth: cannot create settings");
    }
    // Device 16 ("all devices") so that the GS reset in every file is honoured;
    // bank selection stays "gs" so channel 10 keeps its drum kits.
    Check(fluid_settings_setint(h.settings, "synth.device-id", 16), "setting synth.device-id");
    Check(fluid_settings_setnum(h.settings, "synth.sample-rate", kSampleRate),
          "setting synth.sample-rate");
    Check(fluid_settings_setstr(h.settings, "player.timing-source",
                                config.sampleTiming ? "sample" : "system"),
          "setting player.timing-source");
    Check(fluid_settings_setint(h.settings, "synth.dynamic-sample-loading",
                                config.dynamicSampleLoading ? 1 : 0),
          "setting synth.dynamic-sample-loading");
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

void Synth::AllSoundsOff(int channel) {
    fluid_synth_all_sounds_off(handles_->synth, channel);
}

void Synth::AllNotesOff(int channel) {
    fluid_synth_all_notes_off(handles_->synth, channel);
}

void Synth::SystemReset() {
    fluid_synth_system_reset(handles_->synth);
}

double Synth::SampleRate() const {
    double rate = kSampleRate;
    fluid_settings_getnum(handles_->settings, "synth.sample-rate", &rate);
    return rate;
}

void Synth::NoteOn(int channel, int key, int velocity) {
    fluid_synth_noteon(handles_->synth, channel, key, velocity);
}

void Synth::NoteOff(int channel, int key) {
    fluid_synth_noteoff(handles_->synth, channel, key);
}

void Synth::ProgramChange(int channel, int program, bool drums) {
    fluid_synth_set_channel_type(handles_->synth, channel,
                                 drums ? CHANNEL_TYPE_DRUM : CHANNEL_TYPE_MELODIC);
    if (drums) {
        fluid_synth_bank_select(handles_->synth, channel, 128);
    } else {
        fluid_synth_bank_select(handles_->synth, channel, 0);
    }
    fluid_synth_program_change(handles_->synth, channel, program);
}

int Synth::ChannelProgram(int channel) const {
    int soundFont = 0, bank = 0, program = -1;
    if (fluid_synth_get_program(handles_->synth, channel, &soundFont, &bank, &program) !=
        FLUID_OK) {
        return -1;
    }
    return program;
}

void Synth::WriteFloat(int frames, float* left, float* right, int step) {
    Check(fluid_synth_write_float(handles_->synth, frames, left, 0, step, right, 0, step),
          "synthesizing audio");
}

struct Player::Handle {
    fluid_player_t* player = nullptr;
    ~Handle() {
        if (player) {
            delete_fluid_player(player);
        }
    }
};

Player::Player(Synth& synth) : handle_(std::make_unique<Handle>()) {
    handle_->player = new_fluid_player(synth.Raw().synth);
    if (!handle_->player) {
        throw FluidError("FluidSynth: cannot create the MIDI player");
    }
}

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

Player::Player(Synth& synth, const std::vector<uint8_t>& midiBytes) : Player(synth) {
    if (midiBytes.size() < 14 || midiBytes[0] != 'M' || midiBytes[1] != 'T' ||
        midiBytes[2] != 'h' || midiBytes[3] != 'd') {
        throw FluidError("Not MIDI data");
    }
    Check(fluid_player_add_mem(handle_->player, midiBytes.data(), midiBytes.size()),
          "adding the MIDI data");
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

bool Player::Seek(int tick) {
    return fluid_player_seek(handle_->player, tick) == FLUID_OK;
}

void Player::Stop() {
    fluid_player_stop(handle_->player);
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

struct CallbackDriver::Handle {
    fluid_settings_t* settings = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    ~Handle() {
        if (driver) {
            delete_fluid_audio_driver(driver);
        }
        if (settings) {
            delete_fluid_settings(settings);
        }
    }
};

CallbackDriver::CallbackDriver(const std::string& driverName, int periodSize, Fill fill)
    : handle_(std::make_unique<Handle>()), fill_(std::move(fill)) {
    InstallLog();
    // Settings of the driver's own, so that the synthesizer's are never
    // changed after it was created.
    fluid_settings_t* settings = handle_->settings = new_fluid_settings();
    if (!settings) {
        throw FluidError("FluidSynth: cannot create settings");
    }
    if (fluid_settings_setstr(settings, "audio.driver", driverName.c_str()) != FLUID_OK) {
        throw FluidError("FluidSynth has no audio driver \"" + driverName + "\"");
    }
    Check(fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate),
          "setting synth.sample-rate");
    Check(fluid_settings_setint(settings, "audio.period-size", periodSize),
          "setting audio.period-size");
    TakeFluidErrors();
    handle_->driver = new_fluid_audio_driver2(settings, &CallbackDriver::OnAudio, this);
    if (!handle_->driver) {
        std::string detail = TakeFluidErrors();
        throw FluidError("FluidSynth could not open the " + driverName + " audio driver" +
                         (detail.empty() ? std::string() : ": " + detail));
    }
}

CallbackDriver::~CallbackDriver() = default;

int CallbackDriver::OnAudio(void* data, int len, int, float*[], int nout, float* out[]) {
    auto* self = static_cast<CallbackDriver*>(data);
    if (nout < 2 || !out[0] || !out[1]) {
        return FLUID_FAILED;
    }
    self->fill_(len, out[0], out[1]);
    return FLUID_OK;
}

bool IsMidiFile(const std::string& path) {
    InstallLog();
    return fluid_is_midifile(path.c_str()) != 0;
}

bool IsSoundFontFile(const std::string& path) {
    InstallLog();
    return fluid_is_soundfont(path.c_str()) != 0;
}

std::string DefaultSoundFont() {
    InstallLog();
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
