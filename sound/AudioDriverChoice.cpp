#include "sound/AudioDriverChoice.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace tontoko {

namespace {

bool UnixSocketAnswers(const std::string& path) {
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool answers =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return answers;
}

// One entry of $PULSE_SERVER: "unix:/path", "/path", "tcp:host:port", "host"...
bool ServerAnswers(const std::string& server) {
    std::string entry = server;
    // An optional "{machine-id}" prefix names the machine the entry is for.
    if (!entry.empty() && entry.front() == '{') {
        const auto close = entry.find('}');
        entry = close == std::string::npos ? std::string() : entry.substr(close + 1);
    }
    if (entry.rfind("unix:", 0) == 0) {
        return UnixSocketAnswers(entry.substr(5));
    }
    if (!entry.empty() && entry.front() == '/') {
        return UnixSocketAnswers(entry);
    }
    // A network server: only the driver itself can tell; let it try.
    return !entry.empty();
}

}  // namespace

bool PulseServerAnswers() {
    if (const char* server = std::getenv("PULSE_SERVER"); server && *server) {
        std::istringstream entries(server);
        std::string entry;
        while (entries >> entry) {
            if (ServerAnswers(entry)) {
                return true;
            }
        }
        return false;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) {
        return false;
    }
    return UnixSocketAnswers(std::string(runtime) + "/pulse/native");
}

std::vector<std::string> AudioDriverOrder(const char* forced, bool pulseAnswers) {
    if (forced && *forced) {
        return {forced};
    }
    std::vector<std::string> order;
    if (pulseAnswers) {
        order.emplace_back("pulseaudio");
    }
    order.emplace_back("alsa");
    order.emplace_back("sdl2");
    return order;
}

std::vector<std::string> AudioDriverOrder() {
    const char* forced = std::getenv("TONTOKO_AUDIO_DRIVER");
    if (forced && *forced) {
        return AudioDriverOrder(forced, false);
    }
    return AudioDriverOrder(nullptr, PulseServerAnswers());
}

}  // namespace tontoko
