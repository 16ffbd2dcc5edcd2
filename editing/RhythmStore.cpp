#include "editing/RhythmStore.h"

#include <algorithm>
#include <optional>

#include "files/AtomicFile.h"
#include "files/RegularFile.h"

namespace tontoko {

bool RhythmStore::IsPattern(std::string_view text) {
    return text.size() == kPatternLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return c == '0' || c == '1'; }) &&
           text.find('1') != std::string_view::npos;
}

void RhythmStore::Load(const std::string& path) {
    entries_.clear();
    // A FIFO, a device or a huge file in the file's place reads as a missing file.
    if (const std::optional<std::string> text = ReadRegularFile(path, kMaxTextFileBytes)) {
        LoadText(*text);
    }
}

void RhythmStore::LoadText(std::string_view text) {
    entries_.clear();
    while (Count() < kCapacity && !text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (IsPattern(line)) {
            entries_.emplace_back(line);
        }
    }
}

bool RhythmStore::Save(const std::string& path) const {
    std::string text;
    for (const std::string& entry : entries_) {
        text += entry;
        text += "\r\n";
    }
    return WriteFileAtomically(path, text);
}

int RhythmStore::CountEqual(std::string_view pattern) const {
    return static_cast<int>(std::count(entries_.begin(), entries_.end(), pattern));
}

bool RhythmStore::Add(std::string_view pattern) {
    if (Full() || !IsPattern(pattern)) {
        return false;
    }
    entries_.emplace_back(pattern);
    return true;
}

void RhythmStore::Remove(int index) {
    if (index >= 0 && index < Count()) {
        entries_.erase(entries_.begin() + index);
    }
}

}  // namespace tontoko
