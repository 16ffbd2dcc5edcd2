#include "render/SongLayout.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tontoko {

namespace {

constexpr std::array<uint8_t, 18> kHeader = {0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00,
                                             0x00, 0x00, 0x01, 0x00, 0x60, 0x4D, 0x54, 0x72, 0x6B};
constexpr std::size_t kMagicSize = 4;  // "MThd"
// Delta 0 and the set-tempo meta event without its three value bytes.
constexpr std::array<uint8_t, 4> kTempoStart = {0x00, 0xFF, 0x51, 0x03};
constexpr std::array<uint8_t, 13> kGsReset = {0x00, 0xF0, 0x0A, 0x41, 0x10, 0x42, 0x12,
                                              0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
constexpr std::array<uint8_t, 4> kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};
constexpr std::array<uint8_t, 1> kDeltaZero = {0x00};
constexpr std::array<uint8_t, 8> kDrumBankSelect = {0x00, 0xB9, 0x00, 0x00, 0x00, 0xB9, 0x20, 0x01};
constexpr std::array<uint8_t, 2> kDrumProgram = {0x00, 0xC9};
constexpr int kMaxDeltaBytes = 4;

// How one expected piece compares with the bytes: there, different, or cut
// off by the end of the bytes (what is there matches so far).
enum class Piece { Ok, Mismatch, End };

class Walker {
  public:
    Walker(std::span<const uint8_t> bytes, bool withNotes, SongLayoutScan& scan)
        : bytes_(bytes), withNotes_(withNotes), scan_(scan) {}

    void Run() {
        if (bytes_.empty()) {
            return Fail(LayoutFault::NotMidi, "the file is empty");
        }
        const std::size_t magic = std::min(kMagicSize, bytes_.size());
        if (!std::equal(kHeader.begin(), kHeader.begin() + magic, bytes_.begin())) {
            return Fail(LayoutFault::NotMidi, "does not begin with MThd");
        }
        const std::size_t head = std::min(kHeader.size(), bytes_.size());
        if (!std::equal(kHeader.begin() + magic, kHeader.begin() + head, bytes_.begin() + magic)) {
            return Fail(LayoutFault::OtherLayout,
                        "not the header of one format-0 track at 96 ticks per quarter note");
        }
        if (bytes_.size() < kTrackDataOffset) {
            return Fail(LayoutFault::Truncated, "the file ends inside its header");
        }
        const uint32_t length = (uint32_t(bytes_[18]) << 24) | (uint32_t(bytes_[19]) << 16) |
                                (uint32_t(bytes_[20]) << 8) | uint32_t(bytes_[21]);
        declaredEnd_ = uint64_t(length) + kTrackDataOffset;
        pos_ = kTrackDataOffset;
        Piece piece = Expect(kTempoStart);
        if (piece == Piece::Ok) {
            piece = Skip(3);
        }
        if (piece != Piece::Ok) {
            return Fail(piece, "no tempo event");
        }
        if ((piece = Expect(kGsReset)) != Piece::Ok) {
            return Fail(piece, "no GS reset");
        }
        // Delta 0 at 42, the first program change at 43.
        if ((piece = Expect(kDeltaZero)) != Piece::Ok) {
            return Fail(piece, "no program change at offset 43");
        }
        if (!ProgramBlock()) {
            return;
        }
        for (;;) {
            const std::size_t deltaAt = pos_;
            uint32_t delta = 0;
            if ((piece = Delta(delta)) != Piece::Ok) {
                return Fail(piece, "bad delta time");
            }
            if (pos_ >= bytes_.size()) {
                return Fail(Piece::End, "delta time without an event");
            }
            tick_ += delta;
            const uint8_t status = bytes_[pos_];
            if ((status & 0xF0) == 0x90) {
                if (pos_ + 3 > bytes_.size()) {
                    const bool dataSoFar = std::all_of(bytes_.begin() + pos_ + 1, bytes_.end(),
                                                       [](uint8_t b) { return b < 0x80; });
                    return Fail(dataSoFar ? Piece::End : Piece::Mismatch, "bad note event");
                }
                if ((bytes_[pos_ + 1] & 0x80) || (bytes_[pos_ + 2] & 0x80)) {
                    return Fail(Piece::Mismatch, "bad note event");
                }
                Note(status & 0x0F, bytes_[pos_ + 1], bytes_[pos_ + 2]);
                pos_ += 3;
            } else if (status == 0xC0) {
                // The next joined song starts once the previous one has ended.
                if (delta != 0 || pos_ != deltaAt + 1) {
                    return Fail(Piece::Mismatch, "program changes after a pause");
                }
                if (sounding_ != 0) {
                    return Fail(Piece::Mismatch, "a song ends with notes still sounding");
                }
                if (!ProgramBlock()) {
                    return;
                }
            } else if (status == 0xFF) {
                pos_ = deltaAt;
                if ((piece = Expect(kEndOfTrack)) != Piece::Ok) {
                    return Fail(piece, "a meta event other than the end of track (delta 0)");
                }
                if (pos_ != bytes_.size()) {
                    return Fail(Piece::Mismatch, "bytes after the end of track");
                }
                if (sounding_ != 0) {
                    return Fail(Piece::Mismatch, "notes still sounding at the end of track");
                }
                if (declaredEnd_ != bytes_.size()) {
                    pos_ = kTrackLengthOffset;
                    return Fail(Piece::Mismatch, "the track length does not match the file size");
                }
                return;
            } else {
                return Fail(Piece::Mismatch, "an event that is not a note-on");
            }
        }
    }

  private:
    void Fail(LayoutFault fault, const char* what) {
        scan_.fault = fault;
        scan_.problem = what;
    }

    // A piece that did not match is another layout; bytes that end early are
    // a truncated file when the header promised more of them.
    void Fail(Piece piece, const char* what) {
        if (piece == Piece::End && declaredEnd_ > bytes_.size()) {
            scan_.fault = LayoutFault::Truncated;
            scan_.problem = "the file ends after " + std::to_string(bytes_.size()) + " of " +
                            std::to_string(declaredEnd_) + " bytes (" + what + ")";
            return;
        }
        scan_.fault = LayoutFault::OtherLayout;
        scan_.problem = std::string(what) + " at offset " + std::to_string(pos_);
    }

    template <std::size_t N>
    Piece Expect(const std::array<uint8_t, N>& expected) {
        const std::size_t available = std::min(N, bytes_.size() - pos_);
        if (!std::equal(expected.begin(), expected.begin() + available, bytes_.begin() + pos_)) {
            return Piece::Mismatch;
        }
        if (available < N) {
            return Piece::End;
        }
        pos_ += N;
        return Piece::Ok;
    }

    Piece Skip(std::size_t n) {
        if (pos_ + n > bytes_.size()) {
            return Piece::End;
        }
        pos_ += n;
        return Piece::Ok;
    }

    Piece DataByte() {
        if (pos_ >= bytes_.size()) {
            return Piece::End;
        }
        if (bytes_[pos_] & 0x80) {
            return Piece::Mismatch;
        }
        ++pos_;
        return Piece::Ok;
    }

    // C0 b 00 C1 a 00 C2 a 00 C3 a 00 C4 m 00 B9 00 00 00 B9 20 01 00 C9 d,
    // starting at the status byte of the first program change.
    bool ProgramBlock() {
        scan_.songOffsets.push_back(pos_);
        scan_.songFirstNotes.push_back(scan_.notes.size());
        Piece piece = Piece::Ok;
        for (uint8_t channel = 0; channel < 5 && piece == Piece::Ok; ++channel) {
            if (channel > 0) {
                piece = Expect(kDeltaZero);
            }
            if (piece == Piece::Ok) {
                piece = Expect(std::array<uint8_t, 1>{static_cast<uint8_t>(0xC0 | channel)});
            }
            if (piece == Piece::Ok) {
                piece = DataByte();
            }
        }
        if (piece != Piece::Ok) {
            Fail(piece, "bad program changes");
            return false;
        }
        if ((piece = Expect(kDrumBankSelect)) != Piece::Ok) {
            Fail(piece, "no drum bank select");
            return false;
        }
        piece = Expect(kDrumProgram);
        if (piece == Piece::Ok) {
            piece = DataByte();
        }
        if (piece != Piece::Ok) {
            Fail(piece, "no drum-set program");
            return false;
        }
        return true;
    }

    Piece Delta(uint32_t& value) {
        value = 0;
        for (int i = 0; i < kMaxDeltaBytes; ++i) {
            if (pos_ >= bytes_.size()) {
                return Piece::End;
            }
            const uint8_t b = bytes_[pos_++];
            value = (value << 7) | (b & 0x7F);
            if (!(b & 0x80)) {
                return Piece::Ok;
            }
        }
        --pos_;
        return Piece::Mismatch;
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
        if (withNotes_) {
            const uint64_t tick = std::min<uint64_t>(tick_, std::numeric_limits<uint32_t>::max());
            scan_.notes.push_back(
                {static_cast<uint32_t>(tick), static_cast<uint8_t>(channel), key, velocity});
        }
    }

    std::span<const uint8_t> bytes_;
    bool withNotes_;
    SongLayoutScan& scan_;
    std::size_t pos_ = 0;
    uint64_t declaredEnd_ = 0;
    uint64_t tick_ = 0;
    std::vector<uint32_t> counts_ = std::vector<uint32_t>(16 * 128, 0);
    uint64_t sounding_ = 0;
};

}  // namespace

SongLayoutScan ScanSongLayout(std::span<const uint8_t> bytes, bool withNotes) {
    SongLayoutScan scan;
    if (withNotes) {
        // Every note event takes at least four bytes of the track.
        scan.notes.reserve(bytes.size() / 4);
    }
    Walker(bytes, withNotes, scan).Run();
    return scan;
}

std::string SongLayoutProblem(std::span<const uint8_t> bytes) {
    return ScanSongLayout(bytes, false).problem;
}

}  // namespace tontoko
