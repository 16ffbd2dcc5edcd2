#include "render/SongLayout.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tontoko {

namespace {

constexpr std::array<uint8_t, 18> kHeader = {0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00,
                                             0x00, 0x00, 0x01, 0x00, 0x60, 0x4D, 0x54, 0x72, 0x6B};
// Delta 0 and the set-tempo meta event without its three value bytes.
constexpr std::array<uint8_t, 4> kTempoStart = {0x00, 0xFF, 0x51, 0x03};
constexpr std::array<uint8_t, 13> kGsReset = {0x00, 0xF0, 0x0A, 0x41, 0x10, 0x42, 0x12,
                                              0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
constexpr std::array<uint8_t, 4> kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};
constexpr int kMaxDeltaBytes = 4;

class Walker {
  public:
    explicit Walker(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    std::string Check() {
        if (bytes_.size() < kHeader.size() + 4) {
            return "shorter than a header";
        }
        if (!std::equal(kHeader.begin(), kHeader.end(), bytes_.begin())) {
            return "not the header of one format-0 track at 96 ticks per quarter note";
        }
        const uint32_t length = (uint32_t(bytes_[18]) << 24) | (uint32_t(bytes_[19]) << 16) |
                                (uint32_t(bytes_[20]) << 8) | uint32_t(bytes_[21]);
        if (uint64_t(length) + kTrackDataOffset != bytes_.size()) {
            return "the track length does not match the file size";
        }
        pos_ = kTrackDataOffset;
        if (!Expect(kTempoStart) || !Skip(3)) {
            return At("no tempo event");
        }
        if (!Expect(kGsReset)) {
            return At("no GS reset");
        }
        // Delta 0 at 42, the first program change at 43.
        if (!Expect(std::array<uint8_t, 1>{0x00}) || pos_ != kFirstProgramOffset) {
            return At("no program change at offset 43");
        }
        std::string problem = ProgramBlock();
        if (!problem.empty()) {
            return problem;
        }
        for (;;) {
            const std::size_t deltaAt = pos_;
            uint32_t delta = 0;
            if (!Delta(delta)) {
                return At("bad delta time");
            }
            if (pos_ >= bytes_.size()) {
                return At("delta time without an event");
            }
            const uint8_t status = bytes_[pos_];
            if ((status & 0xF0) == 0x90) {
                if (pos_ + 3 > bytes_.size() || (bytes_[pos_ + 1] & 0x80) ||
                    (bytes_[pos_ + 2] & 0x80)) {
                    return At("bad note event");
                }
                Note(status & 0x0F, bytes_[pos_ + 1], bytes_[pos_ + 2]);
                pos_ += 3;
            } else if (status == 0xC0) {
                // The next joined song starts once the previous one has ended.
                if (delta != 0 || pos_ != deltaAt + 1) {
                    return At("program changes after a pause");
                }
                if (sounding_ != 0) {
                    return At("a song ends with notes still sounding");
                }
                problem = ProgramBlock();
                if (!problem.empty()) {
                    return problem;
                }
            } else if (status == 0xFF) {
                pos_ = deltaAt;
                if (!Expect(kEndOfTrack)) {
                    return At("a meta event other than the end of track (delta 0)");
                }
                if (pos_ != bytes_.size()) {
                    return At("bytes after the end of track");
                }
                if (sounding_ != 0) {
                    return At("notes still sounding at the end of track");
                }
                return {};
            } else {
                return At("an event that is not a note-on");
            }
        }
    }

  private:
    std::string At(const char* what) const {
        return std::string(what) + " at offset " + std::to_string(pos_);
    }

    template <std::size_t N>
    bool Expect(const std::array<uint8_t, N>& expected) {
        if (pos_ + N > bytes_.size() ||
            !std::equal(expected.begin(), expected.end(), bytes_.begin() + pos_)) {
            return false;
        }
        pos_ += N;
        return true;
    }

    bool Skip(std::size_t n) {
        if (pos_ + n > bytes_.size()) {
            return false;
        }
        pos_ += n;
        return true;
    }

    bool DataByte() {
        if (pos_ >= bytes_.size() || (bytes_[pos_] & 0x80)) {
            return false;
        }
        ++pos_;
        return true;
    }

    // C0 b 00 C1 a 00 C2 a 00 C3 a 00 C4 m 00 B9 00 00 00 B9 20 01 00 C9 d,
    // starting at the status byte of the first program change.
    std::string ProgramBlock() {
        for (uint8_t channel = 0; channel < 5; ++channel) {
            if (channel > 0 && !Expect(std::array<uint8_t, 1>{0x00})) {
                return At("bad program changes");
            }
            if (!Expect(std::array<uint8_t, 1>{static_cast<uint8_t>(0xC0 | channel)}) ||
                !DataByte()) {
                return At("bad program changes");
            }
        }
        if (!Expect(std::array<uint8_t, 8>{0x00, 0xB9, 0x00, 0x00, 0x00, 0xB9, 0x20, 0x01})) {
            return At("no drum bank select");
        }
        if (!Expect(std::array<uint8_t, 2>{0x00, 0xC9}) || !DataByte()) {
            return At("no drum-set program");
        }
        return {};
    }

    bool Delta(uint32_t& value) {
        value = 0;
        for (int i = 0; i < kMaxDeltaBytes; ++i) {
            if (pos_ >= bytes_.size()) {
                return false;
            }
            const uint8_t b = bytes_[pos_++];
            value = (value << 7) | (b & 0x7F);
            if (!(b & 0x80)) {
                return true;
            }
        }
        return false;
    }

    // A note-on with velocity 0 ends one sounding note of that key, if any: the
    // writer also ends notes of voices that have not sounded yet.
    void Note(int channel, uint8_t key, uint8_t velocity) {
        uint32_t& count = counts_[static_cast<std::size_t>(channel) * 128 + key];
        if (velocity > 0) {
            ++count;
            ++sounding_;
        } else if (count > 0) {
            --count;
            --sounding_;
        }
    }

    std::span<const uint8_t> bytes_;
    std::size_t pos_ = 0;
    std::vector<uint32_t> counts_ = std::vector<uint32_t>(16 * 128, 0);
    uint64_t sounding_ = 0;
};

}  // namespace

std::string SongLayoutProblem(std::span<const uint8_t> bytes) {
    return Walker(bytes).Check();
}

}  // namespace tontoko
