#pragma once

#include <ostream>
#include <string>

namespace tontoko::cli {

// Plays a MIDI file through the audio device and waits for its end. Ctrl+C
// (SIGINT), SIGTERM or SIGHUP stop the playback cleanly instead of ending the
// process at once. Returns the exit status: 0 played to the end, 130 stopped,
// 1 the device or the SoundFont could not be used (said on `err`).
int PlayLastSong(const std::string& midiPath, std::ostream& err);

}  // namespace tontoko::cli
