#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/TimeGrid.h"

namespace tontoko {

// The registered one-measure rhythms: at most ten patterns of sixteen step
// characters, '1' where a note starts and '0' where none does, kept one per
// line (CR LF) in a small text file.
class RhythmStore {
  public:
    static constexpr int kCapacity = 10;
    static constexpr std::size_t kPatternLength = kStepsPerMeasure;
    static constexpr const char* kFileName = "RwRhythm.dat";

    // A pattern of exactly sixteen '0'/'1' characters with at least one note.
    static bool IsPattern(std::string_view text);

    // Replaces the entries with the patterns of `path`. Lines that are not a
    // pattern are skipped, and reading stops at ten entries. A missing or
    // unreadable file, or one that is not a regular file, gives an empty list.
    void Load(const std::string& path);
    // The same from the file's contents.
    void LoadText(std::string_view text);
    // Writes every entry through a temporary file renamed over `path`, so a
    // failed write leaves the previous file as it was. False on failure.
    bool Save(const std::string& path) const;

    int Count() const { return static_cast<int>(entries_.size()); }
    bool Full() const { return Count() >= kCapacity; }
    const std::string& Entry(int index) const { return entries_.at(index); }
    // How many entries equal `pattern`.
    int CountEqual(std::string_view pattern) const;

    // Appends a pattern; false (nothing stored) when full or not a pattern.
    bool Add(std::string_view pattern);
    // Removes one entry; later entries move up.
    void Remove(int index);

  private:
    std::vector<std::string> entries_;
};

}  // namespace tontoko
