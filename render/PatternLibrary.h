#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/MessageCaptions.h"

namespace tontoko {

// One accompaniment pattern: parts 1..4 (bass, then voices 1..3), 64 step
// characters each ('1' starts a note).
struct AccPattern {
    std::string name;  // UTF-8
    std::array<std::string, 4> parts;
};

// One drum pattern: five parts, each a drum note and 64 step characters.
struct DrumPattern {
    std::string name;  // UTF-8
    std::array<uint8_t, 5> notes{};
    std::array<std::string, 5> parts;
};

// The patterns read at start-up, in file order, at most ten of each kind.
struct PatternLibrary {
    static constexpr int kMaxPatterns = 10;
    std::vector<AccPattern> acc;
    std::vector<DrumPattern> drums;
};

// Which files could be opened.
struct PatternLoadResult {
    bool drumFileOpened = false;
    bool accFileOpened = false;
};

inline constexpr const char* kDrumPatternFile = "DrumPattern.dat";
inline constexpr const char* kAccPatternFile = "AccPattern.dat";
inline constexpr const char* kFileOpenErrorText = "File Open Error!";
inline constexpr const char* kFileOpenErrorCaption = captions::kMessage;

// Reads "DrumPattern.dat" then "AccPattern.dat" from `dir`. Names are decoded
// from Shift-JIS (CP932) to UTF-8. A file that cannot be opened, or that is not
// a regular file, leaves its list empty and is reported in the result.
PatternLoadResult LoadPatterns(PatternLibrary& library, const std::filesystem::path& dir);

// The readers of one file's contents (raw bytes, names still in CP932). Memory
// stays within a small multiple of the text's size, whatever its counts say.
std::vector<AccPattern> ReadAccPatterns(std::string_view text);
std::vector<DrumPattern> ReadDrumPatterns(std::string_view text);

}  // namespace tontoko
