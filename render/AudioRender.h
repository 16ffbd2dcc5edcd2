#pragma once

#include <string>

namespace tontoko {

struct AudioRenderResult {
    bool ok = false;
    std::string error;     // what went wrong, for a person
    double seconds = 0.0;  // length of the audio written
};

// Renders a MIDI file to a 16-bit stereo WAV file through FluidSynth, faster
// than real time, ending when the last note has died away (capped at
// `maxSeconds`).
AudioRenderResult RenderMidiToWav(const std::string& midiPath, const std::string& wavPath,
                                  const std::string& soundFont, double maxSeconds = 120.0);

}  // namespace tontoko
