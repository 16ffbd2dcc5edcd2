#include "editing/RhythmStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace tontoko {

namespace {

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

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
    const std::filesystem::path target(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string temp = (folder / (target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, text) && ::fchmod(fd, NewFileMode()) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
    }
    return ok;
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
