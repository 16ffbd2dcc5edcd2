#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct sf_private_tag;  // libsndfile's SNDFILE

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

// The same file written piece by piece, as the samples come: opened (the
// temporary file) on construction, renamed into place by Commit. Destroyed
// without a successful Commit, it leaves no file behind. WriteAudioFile is
// Write in pieces of kPieceFrames frames and Commit: writing the same
// pieces gives the same file.
class AudioFileWriter {
  public:
    static constexpr std::size_t kPieceFrames = 16384;

    AudioFileWriter(std::string path, AudioFormat format, int rate);
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // False once anything failed, from the start (no temporary file) on.
    bool Ok() const { return ok_; }
    // Appends `frames` interleaved stereo frames; false once anything failed.
    bool Write(const float* interleaved, std::size_t frames);
    // Closes the file and renames it over the target; the result of all,
    // with the error of the first failure.
    AudioFileResult Commit();

  private:
    void Fail(int error, std::string detail);
    void Close();    // the libsndfile file and the descriptor, once
    void Discard();  // closed, and the temporary file removed unless renamed

    std::string path_;
    std::string temp_;
    int fd_ = -1;
    bool created_ = false;
    bool committed_ = false;
    sf_private_tag* file_ = nullptr;
    bool ok_ = false;
    int error_ = 0;
    std::string detail_;
    std::string failure_;  // set when the file could not even be started
};

}  // namespace tontoko
