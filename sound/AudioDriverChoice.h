#pragma once

#include <string>
#include <vector>

namespace tontoko {

// Whether a PulseAudio-protocol server (PulseAudio or PipeWire) answers: the
// server named in $PULSE_SERVER, or the socket $XDG_RUNTIME_DIR/pulse/native,
// accepts a connection. Quick: one local connect, no library.
bool PulseServerAnswers();

// The audio drivers to try, in order: TONTOKO_AUDIO_DRIVER alone when it is
// set; otherwise "pulseaudio" when a server answers, then "alsa", then "sdl2".
std::vector<std::string> AudioDriverOrder();
// The same from explicit inputs (`forced` may be null or empty).
std::vector<std::string> AudioDriverOrder(const char* forced, bool pulseAnswers);

}  // namespace tontoko
