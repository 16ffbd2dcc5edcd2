#pragma once

#include <cstdint>
#include <functional>

namespace tontoko {

class Messages;
class FileDialogs;
class DocumentOpener;
class MidiPlayer;

// The platform services the main window uses. A null member (or an empty clock)
// means the real implementation; tests put recording fakes here.
struct Platform {
    Messages* messages = nullptr;
    FileDialogs* fileDialogs = nullptr;
    DocumentOpener* opener = nullptr;
    MidiPlayer* player = nullptr;
    std::function<uint32_t()> clock;  // seconds, seeds the random source
};

}  // namespace tontoko
