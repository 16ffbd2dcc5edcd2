#include "sound/AudioFile.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace tontoko {

namespace {

int SndFormat(AudioFormat format) {
    switch (format) {
        case AudioFormat::Flac:
            return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        case AudioFormat::Ogg:
            return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
        case AudioFormat::Wav:
        default:
            return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    }
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A temporary name beside the target; the descriptor is open for writing.
int CreateTemporary(const std::string& target, std::string& temp) {
    const std::filesystem::path path(target);
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    temp = folder.string();
    temp += "/.";
    temp += path.filename().string();
    temp += ".XXXXXX";
    return ::mkstemp(temp.data());
}

std::string SystemError(int error) {
    return error != 0 ? std::string(": ") + std::strerror(error) : std::string();
}

}  // namespace

std::optional<AudioFormat> AudioFormatOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".wav") {
        return AudioFormat::Wav;
    }
    if (extension == ".flac") {
        return AudioFormat::Flac;
    }
    if (extension == ".ogg") {
        return AudioFormat::Ogg;
    }
    return std::nullopt;
}

AudioFileWriter::AudioFileWriter(std::string path, AudioFormat format, int rate)
    : path_(std::move(path)) {
    if (std::filesystem::path(path_).filename().empty()) {
        failure_ = "Not a file name: " + path_;
        return;
    }
    fd_ = CreateTemporary(path_, temp_);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    created_ = true;
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SndFormat(format);
    file_ = sf_open_fd(fd_, SFM_WRITE, &info, SF_FALSE);
    if (!file_) {
        detail_ = sf_strerror(nullptr);
        return;
    }
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    ok_ = true;
}

AudioFileWriter::~AudioFileWriter() {
    Discard();
}

void AudioFileWriter::Discard() {
    Close();
    if (created_ && !committed_) {
        ::unlink(temp_.c_str());
        created_ = false;
    }
}

void AudioFileWriter::Fail(int error, std::string detail) {
    if (ok_) {
        ok_ = false;
        error_ = error;
        detail_ = std::move(detail);
    }
}

void AudioFileWriter::Close() {
    if (file_) {
        errno = 0;
        if (sf_close(file_) != 0) {
            Fail(errno, {});
        }
        file_ = nullptr;
    }
    if (fd_ >= 0) {
        if (ok_) {
            errno = 0;
            if (::fchmod(fd_, NewFileMode()) != 0 || ::fsync(fd_) != 0) {
                Fail(errno, {});
            }
        }
        if (::close(fd_) != 0) {
            Fail(errno, {});
        }
        fd_ = -1;
    }
}

bool AudioFileWriter::Write(const float* interleaved, std::size_t frames) {
    // In pieces, so that a full disk is noticed where it happens.
    for (std::size_t done = 0; ok_ && done < frames;) {
        const auto count = static_cast<sf_count_t>(std::min(kPieceFrames, frames - done));
        errno = 0;
        if (sf_writef_float(file_, interleaved + done * 2, count) != count) {
            Fail(errno, sf_strerror(file_));
        }
        done += static_cast<std::size_t>(count);
    }
    return ok_;
}

AudioFileResult AudioFileWriter::Commit() {
    AudioFileResult result;
    if (!failure_.empty()) {
        result.error = failure_;
        return result;
    }
    Close();
    if (ok_ && std::rename(temp_.c_str(), path_.c_str()) != 0) {
        Fail(errno, {});
    }
    if (ok_) {
        committed_ = true;
        result.ok = true;
        return result;
    }
    Discard();
    result.error = "Cannot write the audio file " + path_ + SystemError(error_);
    if (!detail_.empty() && error_ == 0) {
        result.error += ": " + detail_;
    }
    return result;
}

AudioFileResult WriteAudioFile(const std::string& path, AudioFormat format,
                               const std::vector<float>& interleaved, int rate) {
    AudioFileWriter writer(path, format, rate);
    writer.Write(interleaved.data(), interleaved.size() / 2);
    return writer.Commit();
}

}  // namespace tontoko
