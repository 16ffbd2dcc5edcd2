#pragma once

// What every harness shares: its entry point, which is libFuzzer's when built
// for fuzzing and a named function when built into the corpus test, and the
// check that stops the run with a message when a property does not hold.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#ifdef TONTOKO_FUZZ_CORPUS_TEST
#define TONTOKO_FUZZ_ENTRY(name) int name(const uint8_t* data, size_t size)
#else
#define TONTOKO_FUZZ_ENTRY(name) \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
#endif

#define TONTOKO_FUZZ_CHECK(condition, what)                                                 \
    do {                                                                                    \
        if (!(condition)) {                                                                 \
            std::fprintf(stderr, "%s:%d: %s (%s)\n", __FILE__, __LINE__, what, #condition); \
            std::abort();                                                                   \
        }                                                                                   \
    } while (false)

namespace fuzz {

// Takes bytes off the front of the input, with zeros once it runs out.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t Word() { return static_cast<uint16_t>((Byte() << 8) | Byte()); }
    uint32_t Long() { return (uint32_t(Word()) << 16) | Word(); }
    // The next `n` bytes (fewer at the end).
    std::span<const uint8_t> Take(size_t n) {
        const size_t count = n < size_ - pos_ ? n : size_ - pos_;
        const std::span<const uint8_t> taken(data_ + pos_, count);
        pos_ += count;
        return taken;
    }
    std::span<const uint8_t> Rest() { return Take(size_ - pos_); }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// True for well-formed UTF-8 (what the window and the printout need).
inline bool IsUtf8(std::span<const uint8_t> text) {
    for (size_t i = 0; i < text.size();) {
        const uint8_t lead = text[i];
        size_t length = 1;
        uint32_t code = lead;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if ((text[i + k] & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (text[i + k] & 0x3F);
        }
        const uint32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace fuzz
