#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tontoko {

enum class AudioFormat { Wav, Flac, Ogg };

// The format a file name asks for by its extension (".wav", ".flac", ".ogg",
// in any case); nothing for any other name.
std::optional<AudioFormat> AudioFormatOf(const std::string& path);

struct AudioFileResult {
    bool ok = false;
    std::string error;  // for a person, naming the file
};

// Writes interleaved stereo samples (-1..1) at `rate` as 16-bit WAV, FLAC or
// Ogg Vorbis through libsndfile, into a fresh temporary file in the target's
// folder that is renamed over `path` only when everything was written: a
// failure (an unwritable folder, a full disk) leaves an existing file of that
// name as it was and no temporary file behind.
AudioFileResult WriteAudioFile(const std::string& path, AudioFormat format,
                               const std::vector<float>& interleaved, int rate);

}  // namespace tontoko
