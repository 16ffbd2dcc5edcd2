#include "editing/RhythmStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "render/AtomicFile.h"

namespace tontoko {

namespace {}  // namespace

bool RhythmStore::IsPattern(std::string_view text) {
    return text.size() == kPatternLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return c == '0' || c == '1'; }) &&
           text.find('1') != std::string_view::npos;
}

void RhythmStore::Load(const std::string& path) {
    entries_.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return;
    }
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (Count() < kCapacity && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (IsPattern(line)) {
            entries_.push_back(line);
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
