#include "files/Encoding.h"

#include <errno.h>
#include <iconv.h>

#include <string>
#include <vector>

namespace tontoko {
namespace {

// Byte length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead <= 0xEF ? 3 : 1;
    }
    if (lead >= 0xC2) {
        return 2;
    }
    return 1;
}

// Converts `input` from one encoding to another. A sequence iconv cannot convert
// is skipped (one byte for CP932 input, one character for UTF-8 input) and
// `replacement` is written in its place.
std::string Convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement, bool inputIsUtf8) {
    std::string result;
    if (input.empty()) {
        return result;
    }
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return result;
    }
    std::vector<char> buffer(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = buffer.data();
        size_t outLeft = buffer.size();
        size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        result.append(buffer.data(), buffer.size() - outLeft);
        if (rc != static_cast<size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (a sequence cut off at the end): replace and move on.
        result.append(replacement);
        size_t skip = 1;
        if (inputIsUtf8) {
            // The lead byte and the continuation bytes that belong to it.
            const size_t length = Utf8SequenceLength(static_cast<unsigned char>(*in));
            while (skip < length && skip < inLeft &&
                   (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) {
                ++skip;
            }
        }
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Flush any shift state (none for these encodings, but harmless).
    char* out = buffer.data();
    size_t outLeft = buffer.size();
    iconv(cd, nullptr, nullptr, &out, &outLeft);
    result.append(buffer.data(), buffer.size() - outLeft);
    iconv_close(cd);
    return result;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
    return Convert("UTF-8", "CP932", bytes, "\xEF\xBF\xBD", false);
}

std::string Utf8ToCp932(std::string_view text) {
    return Convert("CP932", "UTF-8", text, "?", true);
}

}  // namespace tontoko
