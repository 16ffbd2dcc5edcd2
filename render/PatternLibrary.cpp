#include "render/PatternLibrary.h"

#include <climits>
#include <optional>
#include <string_view>

#include "engine/TimeGrid.h"
#include "files/Encoding.h"
#include "files/RegularFile.h"

namespace tontoko {
namespace {

constexpr size_t kMaxLineChars = 253;
constexpr size_t kStepChars = kSongSteps;
constexpr int kAccParts = 4;
constexpr int kDrumParts = 5;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Splits a file's text into lines of at most 253 characters without their
// line end (CR LF or LF). A longer line is cut there and its rest is the next
// line. Lines are views into the text: nothing is copied.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}

    // The next line, or nothing at the end of the text.
    std::optional<std::string_view> Next() {
        if (pos_ >= text_.size()) {
            return std::nullopt;
        }
        const size_t start = pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                return Take(start, pos_, 1);
            }
            if (c == '\r' && At(pos_ + 1) == '\n') {
                return Take(start, pos_, 2);
            }
            if (pos_ + 1 - start == kMaxLineChars) {
                // A line end right after the limit still belongs to this line.
                const size_t end = pos_ + 1;
                if (At(end) == '\n') {
                    return Take(start, end, 1);
                }
                if (At(end) == '\r' && At(end + 1) == '\n') {
                    return Take(start, end, 2);
                }
                return Take(start, end, 0);
            }
            ++pos_;
        }
        return text_.substr(start);
    }

  private:
    int At(size_t i) const { return i < text_.size() ? text_[i] : -1; }
    std::string_view Take(size_t start, size_t end, size_t lineEnd) {
        pos_ = end + lineEnd;
        return text_.substr(start, end - start);
    }

    std::string_view text_;
    size_t pos_ = 0;
};

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

// One block as read: the name and its part lines. Only as many part lines as
// a pattern can use are kept; a block with more (a count of 2147483647 over
// millions of lines, say) is read to its end, kept to that size, and rejected.
struct Block {
    std::string_view name;
    std::vector<std::string_view> parts;
    size_t partLines = 0;
    bool complete = true;  // false when the text ended inside the block
};

// Returns nothing at the end line ("0", or no count at all) or at the end of
// the text.
std::optional<Block> ReadBlock(LineReader& lines, size_t partsKept) {
    const auto countLine = lines.Next();
    if (!countLine) {
        return std::nullopt;
    }
    const long count = ParseLeadingInt(*countLine);
    if (count == 0) {
        return std::nullopt;
    }
    Block block;
    for (long i = 0; i < count; ++i) {
        const auto line = lines.Next();
        if (!line) {
            block.complete = false;
            break;
        }
        if (i == 0) {
            block.name = *line;
        } else if (++block.partLines <= partsKept) {
            block.parts.push_back(*line);
        }
    }
    // A negative count reads nothing; the block is then malformed.
    if (count < 0) {
        block.complete = false;
    }
    return block;
}

}  // namespace

// Every block needs exactly four part lines; others are skipped whole so the
// patterns after them keep their own parts. At most ten patterns are kept.
std::vector<AccPattern> ReadAccPatterns(std::string_view text) {
    std::vector<AccPattern> patterns;
    LineReader lines(text);
    while (patterns.size() < static_cast<size_t>(PatternLibrary::kMaxPatterns)) {
        const auto block = ReadBlock(lines, kAccParts);
        if (!block) {
            break;
        }
        if (!block->complete || block->partLines != size_t{kAccParts}) {
            continue;
        }
        AccPattern pattern;
        pattern.name = std::string(block->name);
        for (int j = 0; j < kAccParts; ++j) {
            pattern.parts[j] = StepToken(block->parts[j]);
        }
        patterns.push_back(std::move(pattern));
    }
    return patterns;
}

// Part lines hold a drum note (its low 8 bits are used) and a step token.
std::vector<DrumPattern> ReadDrumPatterns(std::string_view text) {
    std::vector<DrumPattern> patterns;
    LineReader lines(text);
    while (patterns.size() < static_cast<size_t>(PatternLibrary::kMaxPatterns)) {
        const auto block = ReadBlock(lines, kDrumParts);
        if (!block) {
            break;
        }
        if (!block->complete || block->partLines != size_t{kDrumParts}) {
            continue;
        }
        DrumPattern pattern;
        pattern.name = std::string(block->name);
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

    // Only regular files are read: a FIFO or a device in a pattern file's
    // place, or a file of hundreds of megabytes, is reported like a missing file.
    if (const auto drumFile = ReadRegularFile(dir / kDrumPatternFile, kMaxTextFileBytes)) {
        result.drumFileOpened = true;
        library.drums = ReadDrumPatterns(*drumFile);
        for (auto& pattern : library.drums) {
            pattern.name = Cp932ToUtf8(pattern.name);
        }
    }

    if (const auto accFile = ReadRegularFile(dir / kAccPatternFile, kMaxTextFileBytes)) {
        result.accFileOpened = true;
        library.acc = ReadAccPatterns(*accFile);
        for (auto& pattern : library.acc) {
            pattern.name = Cp932ToUtf8(pattern.name);
        }
    }
    return result;
}

}  // namespace tontoko
