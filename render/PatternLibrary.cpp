#include "render/PatternLibrary.h"

#include <climits>
#include <fstream>
#include <optional>
#include <string_view>

#include "render/Encoding.h"

namespace tontoko {
namespace {

constexpr size_t kMaxLineChars = 253;
constexpr size_t kStepChars = 64;
constexpr int kAccParts = 4;
constexpr int kDrumParts = 5;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One line of at most 253 characters without its line end (CR LF or LF). A
// longer line is cut there and its rest is returned by the next call. Returns
// nothing at the end of the stream.
std::optional<std::string> ReadLine(std::istream& in) {
    std::string line;
    bool any = false;
    for (;;) {
        const int c = in.get();
        if (c == std::char_traits<char>::eof()) {
            break;
        }
        any = true;
        if (c == '\n') {
            break;
        }
        if (c == '\r' && in.peek() == '\n') {
            in.get();
            break;
        }
        line.push_back(static_cast<char>(c));
        if (line.size() == kMaxLineChars) {
            // A line end right after the limit still belongs to this line.
            if (in.peek() == '\n') {
                in.get();
            } else if (in.peek() == '\r') {
                in.get();
                if (in.peek() == '\n') {
                    in.get();
                } else {
                    in.unget();
                }
            }
            break;
        }
    }
    if (!any) {
        return std::nullopt;
    }
    return line;
}

// The decimal integer at the start of `text` (leading white space and a sign
// allowed, the rest ignored), saturated to the int range; 0 when there is none.
// `rest` receives the text after the number.
long ParseLeadingInt(std::string_view text, std::string_view* rest = nullptr) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t digitsStart = i;
    long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (value <= (LONG_MAX - 9) / 10) {
            value = value * 10 + (text[i] - '0');
        }
        ++i;
    }
    if (i == digitsStart) {
        if (rest) {
            *rest = text;
        }
        return 0;
    }
    if (rest) {
        *rest = text.substr(i);
    }
    if (value > INT_MAX) {
        value = INT_MAX;
    }
    return negative ? -value : value;
}

// The step token of a part line: white space skipped, then the characters up
// to the next white space, at most 64 kept, padded with '0' (no onset) to 64.
std::string StepToken(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    std::string token;
    while (i < text.size() && !IsSpace(text[i]) && token.size() < kStepChars) {
        token.push_back(text[i]);
        ++i;
    }
    token.resize(kStepChars, '0');
    return token;
}

// One block as read: the name and its part lines. Returns nothing at the end
// line ("0", or no count at all) or at the end of the stream.
struct Block {
    std::string name;
    std::vector<std::string> parts;
    bool complete = true;  // false when the stream ended inside the block
};

std::optional<Block> ReadBlock(std::istream& in) {
    const auto countLine = ReadLine(in);
    if (!countLine) {
        return std::nullopt;
    }
    const long count = ParseLeadingInt(*countLine);
    if (count == 0) {
        return std::nullopt;
    }
    Block block;
    for (long i = 0; i < count; ++i) {
        auto line = ReadLine(in);
        if (!line) {
            block.complete = false;
            break;
        }
        if (i == 0) {
            block.name = std::move(*line);
        } else {
            block.parts.push_back(std::move(*line));
        }
    }
    // A negative count reads nothing; the block is then malformed.
    if (count < 0) {
        block.complete = false;
    }
    return block;
}

// An open stream on `path`, or a closed one when it is missing, unreadable or
// a folder.
std::ifstream OpenPatternFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return {};
    }
    return std::ifstream(path, std::ios::binary);
}

}  // namespace

// Every block needs exactly four part lines; others are skipped whole so the
// patterns after them keep their own parts. At most ten patterns are kept.
std::vector<AccPattern> ReadAccPatterns(std::istream& in) {
    std::vector<AccPattern> patterns;
    while (patterns.size() < static_cast<size_t>(PatternLibrary::kMaxPatterns)) {
        auto block = ReadBlock(in);
        if (!block) {
            break;
        }
        if (!block->complete || block->parts.size() != kAccParts) {
            continue;
        }
        AccPattern pattern;
        pattern.name = std::move(block->name);
        for (int j = 0; j < kAccParts; ++j) {
            pattern.parts[j] = StepToken(block->parts[j]);
        }
        patterns.push_back(std::move(pattern));
    }
    return patterns;
}

// Part lines hold a drum note (its low 8 bits are used) and a step token.
std::vector<DrumPattern> ReadDrumPatterns(std::istream& in) {
    std::vector<DrumPattern> patterns;
    while (patterns.size() < static_cast<size_t>(PatternLibrary::kMaxPatterns)) {
        auto block = ReadBlock(in);
        if (!block) {
            break;
        }
        if (!block->complete || block->parts.size() != kDrumParts) {
            continue;
        }
        DrumPattern pattern;
        pattern.name = std::move(block->name);
        for (int j = 0; j < kDrumParts; ++j) {
            std::string_view rest;
            const long note = ParseLeadingInt(block->parts[j], &rest);
            pattern.notes[j] = static_cast<uint8_t>(static_cast<unsigned long>(note) & 0xFFu);
            pattern.parts[j] = StepToken(rest);
        }
        patterns.push_back(std::move(pattern));
    }
    return patterns;
}

PatternLoadResult LoadPatterns(PatternLibrary& library, const std::filesystem::path& dir) {
    PatternLoadResult result;
    library.drums.clear();
    library.acc.clear();

    std::ifstream drumFile = OpenPatternFile(dir / kDrumPatternFile);
    if (drumFile.is_open()) {
        result.drumFileOpened = true;
        library.drums = ReadDrumPatterns(drumFile);
        for (auto& pattern : library.drums) {
            pattern.name = Cp932ToUtf8(pattern.name);
        }
    }

    std::ifstream accFile = OpenPatternFile(dir / kAccPatternFile);
    if (accFile.is_open()) {
        result.accFileOpened = true;
        library.acc = ReadAccPatterns(accFile);
        for (auto& pattern : library.acc) {
            pattern.name = Cp932ToUtf8(pattern.name);
        }
    }
    return result;
}

}  // namespace tontoko
