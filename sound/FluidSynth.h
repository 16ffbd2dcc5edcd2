#pragma once

// Small owning wrappers around the FluidSynth objects the sound service and
// the offline synthesizer use. The FluidSynth header itself stays inside
// FluidSynth.cpp; everything here is plain C++.
//
// Thread rules, from FluidSynth's documentation:
// - every setting is made before the synthesizer is created;
// - the synthesizer's own calls (notes, programs, synthesis) are thread-safe;
// - a MIDI player is created and deleted only while nothing runs the
//   synthesizer (the sound service holds its synthesis lock for that).

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tontoko::fluid {

// A FluidSynth call that failed, with a text for a person.
class FluidError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kSampleRate = 44100;

struct SynthConfig {
    std::string soundFont;
    // Player timing from the synthesized samples instead of the system clock, for
    // synthesis faster than real time.
    bool sampleTiming = true;
    // Samples are read when a program first needs them: a quick load for the
    // offline synthesizer, which loads them on its own thread anyway.
    bool dynamicSampleLoading = false;
};

// Settings, synthesizer (answering as GS device 16) and its loaded SoundFont.
class Synth {
  public:
    explicit Synth(const SynthConfig& config);  // throws FluidError
    ~Synth();
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;

    int ActiveVoices() const;
    void AllSoundsOff(int channel = -1);
    void AllNotesOff(int channel);
    // Everything back to its power-on state: voices, channels, effects.
    void SystemReset();
    double SampleRate() const;

    void NoteOn(int channel, int key, int velocity);
    void NoteOff(int channel, int key);
    // A drum channel takes its programs from the drum kits.
    void ProgramChange(int channel, int program, bool drums = false);
    int ChannelProgram(int channel) const;

    // Synthesizes the next `frames` frames, effects mixed in (offline use, and the
    // audio outputs' callbacks). `step` is the distance between two
    // samples of one side, 2 for interleaved stereo.
    void WriteFloat(int frames, float* left, float* right, int step = 1);  // throws FluidError

    struct Handles;
    Handles& Raw() { return *handles_; }

  private:
    std::unique_ptr<Handles> handles_;
};

// A MIDI file player on a synthesizer. Create and delete it only while nothing
// runs the synthesizer.
class Player {
  public:
    Player(Synth& synth, const std::string& midiFile);            // throws FluidError
    Player(Synth& synth, const std::vector<uint8_t>& midiBytes);  // throws FluidError
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Called on the audio thread whenever the playback position moves.
    // Set before Play.
    void SetTickCallback(std::function<void(int tick)> callback);
    void Play();  // throws FluidError
    // Moves the playback to `tick`, at the player's next call while it plays
    // (also from the tick callback), else at its start. Events other than
    // notes up to there are sent. False when refused (a seek is pending, or
    // the tick lies outside the file).
    bool Seek(int tick);
    void Stop();
    bool Finished() const;  // FluidSynth's own DONE status
    int CurrentTick() const;
    int TotalTicks() const;  // 0 until the file has been loaded by the first block

  private:
    explicit Player(Synth& synth);
    static int OnTick(void* data, int tick);
    struct Handle;
    std::unique_ptr<Handle> handle_;
    std::function<void(int)> tickCallback_;
};

// An audio device of FluidSynth (by driver name: "pulseaudio", "alsa", ...)
// that pulls its audio from `fill` on its own thread, so that the caller
// decides when the synthesizer runs. It does not need the synthesizer's
// settings. Drivers without such a callback
// ("file", "sdl2") are opened by the sound service itself.
class CallbackDriver {
  public:
    using Fill = std::function<void(int frames, float* left, float* right)>;
    // throws FluidError
    CallbackDriver(const std::string& driverName, int periodSize, Fill fill);
    ~CallbackDriver();
    CallbackDriver(const CallbackDriver&) = delete;
    CallbackDriver& operator=(const CallbackDriver&) = delete;

  private:
    static int OnAudio(void* data, int len, int nfx, float* fx[], int nout, float* out[]);
    struct Handle;
    std::unique_ptr<Handle> handle_;
    Fill fill_;
};

// Whether FluidSynth recognises the file as a Standard MIDI File / SoundFont.
bool IsMidiFile(const std::string& path);
bool IsSoundFontFile(const std::string& path);
// FluidSynth's own default SoundFont path (may name a file that does not exist).
std::string DefaultSoundFont();
// FluidSynth's error messages go here instead of standard error; returns and
// clears what was collected since the last call, one message a line.
std::string TakeFluidErrors();

}  // namespace tontoko::fluid
