#pragma once

// Small owning wrappers around the FluidSynth objects the media player and the
// offline renderer use. The FluidSynth header itself stays inside
// FluidSynth.cpp; everything here is plain C++.

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace tontoko::fluid {

// A FluidSynth call that failed, with a text for a person.
class FluidError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct SynthConfig {
    std::string soundFont;
    // Player timing from the rendered samples instead of the system clock, for
    // rendering faster than real time.
    bool sampleTiming = false;
    std::string audioDriver;  // empty: FluidSynth's default
    std::string audioFile;    // output of the "file" driver
};

// Settings, synthesizer (answering as GS device 16) and its loaded SoundFont.
class Synth {
  public:
    explicit Synth(const SynthConfig& config);  // throws FluidError
    ~Synth();
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;

    int ActiveVoices() const;
    void AllSoundsOff();
    double SampleRate() const;
    // Renders the next `frames` frames (offline use, without an audio driver).
    void WriteFloat(int frames, float* left, float* right);  // throws FluidError

    struct Handles;
    Handles& Raw() { return *handles_; }

  private:
    std::unique_ptr<Handles> handles_;
};

// A MIDI file player on a synthesizer. Create it before the audio driver and
// destroy it after.
class Player {
  public:
    Player(Synth& synth, const std::string& midiFile);  // throws FluidError
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Called on the audio thread, with the synthesizer locked, whenever the
    // playback position moves. Set before Play.
    void SetTickCallback(std::function<void(int tick)> callback);
    void Play();  // throws FluidError
    void Stop();
    void Rewind();          // back to the first tick, for the next Play
    bool Finished() const;  // FluidSynth's own DONE status
    int CurrentTick() const;
    int TotalTicks() const;  // 0 until the file has been loaded by the first block

  private:
    static int OnTick(void* data, int tick);
    struct Handle;
    std::unique_ptr<Handle> handle_;
    std::function<void(int)> tickCallback_;
};

// Real-time output through an audio driver; starts pulling audio at once.
class AudioDriver {
  public:
    explicit AudioDriver(Synth& synth);  // throws FluidError
    ~AudioDriver();
    AudioDriver(const AudioDriver&) = delete;
    AudioDriver& operator=(const AudioDriver&) = delete;

  private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// Whether FluidSynth recognises the file as a Standard MIDI File.
bool IsMidiFile(const std::string& path);
// FluidSynth's own default SoundFont path (may name a file that does not exist).
std::string DefaultSoundFont();

}  // namespace tontoko::fluid
