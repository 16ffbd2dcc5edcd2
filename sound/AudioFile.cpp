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

AudioFileResult WriteAudioFile(const std::string& path, AudioFormat format,
                               const std::vector<float>& interleaved, int rate) {
    AudioFileResult result;
    if (std::filesystem::path(path).filename().empty()) {
        result.error = "Not a file name: " + path;
        return result;
    }
    std::string temp;
    const int fd = CreateTemporary(path, temp);
    if (fd < 0) {
        result.error = "Cannot write the audio file " + path + SystemError(errno);
        return result;
    }
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SndFormat(format);
    SNDFILE* file = sf_open_fd(fd, SFM_WRITE, &info, SF_FALSE);
    bool ok = file != nullptr;
    std::string detail;
    int error = 0;
    if (file) {
        sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
        const auto frames = static_cast<sf_count_t>(interleaved.size() / 2);
        // In pieces, so that a full disk is noticed where it happens.
        constexpr sf_count_t kPiece = 16384;
        for (sf_count_t done = 0; ok && done < frames;) {
            const sf_count_t count = std::min(kPiece, frames - done);
            errno = 0;
            if (sf_writef_float(file, interleaved.data() + done * 2, count) != count) {
                error = errno;
                detail = sf_strerror(file);
                ok = false;
            }
            done += count;
        }
        errno = 0;
        if (sf_close(file) != 0 && ok) {
            error = errno;
            ok = false;
        }
    } else {
        detail = sf_strerror(nullptr);
    }
    if (ok) {
        errno = 0;
        ok = ::fchmod(fd, NewFileMode()) == 0 && ::fsync(fd) == 0;
        error = ok ? 0 : errno;
    }
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        result.error = "Cannot write the audio file " + path + SystemError(error);
        if (!detail.empty() && error == 0) {
            result.error += ": " + detail;
        }
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace tontoko
