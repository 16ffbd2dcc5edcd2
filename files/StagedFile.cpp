#include "files/StagedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "files/TempRegistry.h"

namespace tontoko {

namespace {

constexpr int kNameAttempts = 100;

// Six letters or digits, different on every call (within and across
// processes), for the temporary's name.
std::string UniqueSuffix() {
    static std::atomic<uint64_t> counter{0};
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    // The process id is read each time: a forked child must not share names.
    uint64_t x = (static_cast<uint64_t>(::getpid()) << 32) ^ static_cast<uint64_t>(now.tv_nsec) ^
                 (static_cast<uint64_t>(now.tv_sec) << 20) ^
                 (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    // splitmix64 finaliser
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(6, 'X');
    for (char& c : suffix) {
        c = kLetters[x % 62];
        x /= 62;
    }
    return suffix;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? std::string(".") : folder;
}

namespace {
// Opens `path` read-only with `flags`, runs `flush` on it and closes it,
// keeping the errno of a failed flush.
bool FlushOpened(const std::string& path, int flags, int (*flush)(int)) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0) {
        return false;
    }
    const bool ok = flush(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}
}  // namespace

bool SyncFolder(const std::string& folder) {
    return FlushOpened(folder, O_DIRECTORY, ::fsync);
}

bool SyncFileByName(const std::string& path) {
    return FlushOpened(path, 0, ::fsync);
}

bool SyncFileSystemOf(const std::string& folder) {
    return FlushOpened(folder, O_DIRECTORY, ::syncfs);
}

StagedFile::~StagedFile() {
    Discard();
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_)),
      temp_(std::exchange(other.temp_, {})),
      fd_(std::exchange(other.fd_, -1)),
      handle_(std::exchange(other.handle_, -1)),
      error_(other.error_) {}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept {
    if (this != &other) {
        Discard();
        target_ = std::move(other.target_);
        temp_ = std::exchange(other.temp_, {});
        fd_ = std::exchange(other.fd_, -1);
        handle_ = std::exchange(other.handle_, -1);
        error_ = other.error_;
    }
    return *this;
}

bool StagedFile::Create(const std::string& target) {
    Discard();
    error_ = 0;
    target_ = target;
    const std::filesystem::path path(target);
    if (path.filename().empty()) {
        error_ = EISDIR;
        return false;
    }
    // Built by appending: GCC 12 warns falsely (-Wrestrict) about the same name
    // built with operator+ at -O2.
    std::string stem = FolderOf(target);
    stem += "/.";
    stem += path.filename().string();
    stem += '.';
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = stem;
        name += UniqueSuffix();
        // No signal between creating the file and registering it.
        TempRegistry::Hold hold;
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            error_ = errno;
            return false;
        }
        fd_ = fd;
        temp_ = std::move(name);
        handle_ = TempRegistry::Register(temp_);
        return true;
    }
    error_ = EEXIST;
    return false;
}

bool StagedFile::Fail() {
    if (error_ == 0) {
        error_ = errno;
    }
    Discard();
    return false;
}

bool StagedFile::Write(std::string_view bytes) {
    if (fd_ < 0) {
        error_ = error_ ? error_ : EBADF;
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail();
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool StagedFile::Sync() {
    if (fd_ < 0) {
        error_ = error_ ? error_ : EBADF;
        return false;
    }
    return ::fsync(fd_) == 0 || Fail();
}

bool StagedFile::Close() {
    if (fd_ < 0) {
        return Pending();
    }
    const int fd = std::exchange(fd_, -1);
    // A failed close may mean lost data (NFS, a full disk): the file is not used.
    return ::close(fd) == 0 || Fail();
}

bool StagedFile::Commit() {
    if (!Close()) {
        return false;
    }
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
        return Fail();
    }
    temp_.clear();
    TempRegistry::Unregister(std::exchange(handle_, -1));
    return true;
}

void StagedFile::Discard() {
    if (fd_ >= 0) {
        ::close(std::exchange(fd_, -1));
    }
    if (!temp_.empty()) {
        const int saved = errno;
        ::unlink(temp_.c_str());
        errno = saved;
        temp_.clear();
    }
    TempRegistry::Unregister(std::exchange(handle_, -1));
}

}  // namespace tontoko
