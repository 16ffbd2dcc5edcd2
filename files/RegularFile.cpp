#include "files/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <stdexcept>

namespace tontoko {

namespace {

constexpr std::size_t kMinimumChunk = 64 * 1024;

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

std::optional<std::string> ReadRegularFile(const std::filesystem::path& path,
                                           std::size_t maxBytes) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    const auto size = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
    if (size > maxBytes) {
        return std::nullopt;
    }
    // Room for one byte more than the file holds, so the end is seen without
    // growing; a file that grows while it is read grows the buffer
    // geometrically, up to one byte past the limit.
    const std::size_t cap =
        maxBytes < std::numeric_limits<std::size_t>::max() ? maxBytes + 1 : maxBytes;
    std::string bytes;
    std::size_t used = 0;
    try {
        bytes.resize(std::min(size + 1, cap));
        for (;;) {
            if (used == bytes.size()) {
                if (used >= cap) {
                    return std::nullopt;
                }
                bytes.resize(std::min(cap, std::max(used * 2, used + kMinimumChunk)));
            }
            const ssize_t n = ::read(fd.Get(), bytes.data() + used, bytes.size() - used);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return std::nullopt;
            }
            if (n == 0) {
                break;
            }
            used += static_cast<std::size_t>(n);
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;  // larger than the memory there is: unreadable
    } catch (const std::length_error&) {
        return std::nullopt;
    }
    if (used > maxBytes) {
        return std::nullopt;
    }
    bytes.resize(used);
    return bytes;
}

}  // namespace tontoko
