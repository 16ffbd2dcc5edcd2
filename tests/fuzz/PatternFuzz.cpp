// The pattern-file readers on raw bytes (any count, any line end, any byte in a
// name, invalid Shift-JIS included): at most ten patterns of each kind, every
// part 64 steps long, names decoded to well-formed UTF-8.
#include <string>
#include <string_view>

#include "FuzzEntry.h"
#include "files/Encoding.h"
#include "render/PatternLibrary.h"

namespace {

void CheckName(const std::string& raw) {
    TONTOKO_FUZZ_CHECK(raw.size() <= 253, "a name longer than a line");
    const std::string name = tontoko::Cp932ToUtf8(raw);
    TONTOKO_FUZZ_CHECK(fuzz::IsUtf8({reinterpret_cast<const uint8_t*>(name.data()), name.size()}),
                       "a decoded name is not UTF-8");
    TONTOKO_FUZZ_CHECK(raw.empty() == name.empty(), "a name appeared or vanished in decoding");
}

}  // namespace

TONTOKO_FUZZ_ENTRY(FuzzPatternFiles) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto acc = tontoko::ReadAccPatterns(text);
    TONTOKO_FUZZ_CHECK(acc.size() <= 10, "more than ten accompaniment patterns");
    for (const tontoko::AccPattern& pattern : acc) {
        CheckName(pattern.name);
        for (const std::string& part : pattern.parts) {
            TONTOKO_FUZZ_CHECK(part.size() == 64, "an accompaniment part not of 64 steps");
        }
    }
    const auto drums = tontoko::ReadDrumPatterns(text);
    TONTOKO_FUZZ_CHECK(drums.size() <= 10, "more than ten drum patterns");
    for (const tontoko::DrumPattern& pattern : drums) {
        CheckName(pattern.name);
        for (const std::string& part : pattern.parts) {
            TONTOKO_FUZZ_CHECK(part.size() == 64, "a drum part not of 64 steps");
        }
    }
    return 0;
}
