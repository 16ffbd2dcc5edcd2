#include "chain/Join.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string_view>

#include "render/AtomicFile.h"

namespace tontoko {

namespace {

// "MThd", length 6, format 0, one track, 96 ticks per quarter note, "MTrk".
constexpr std::array<uint8_t, 18> kSongStart = {0x4D, 0x54, 0x68, 0x64, 0x00, 0x00,
                                                0x00, 0x06, 0x00, 0x00, 0x00, 0x01,
                                                0x00, 0x60, 0x4D, 0x54, 0x72, 0x6B};
constexpr std::array<uint8_t, 4> kSongEnd = {0x00, 0xFF, 0x2F, 0x00};
constexpr uint8_t kFirstProgramChange = 0xC0;
// The end-of-track event without its delta time.
constexpr std::size_t kEndEventSize = 3;

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

bool IsJoinableSong(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < kJoinMinimumSize) {
        return false;
    }
    return std::equal(kSongStart.begin(), kSongStart.end(), bytes.begin()) &&
           bytes[kJoinSecondOffset] == kFirstProgramChange &&
           std::equal(kSongEnd.begin(), kSongEnd.end(), bytes.end() - kSongEnd.size());
}

std::vector<uint8_t> JoinSongs(const std::vector<uint8_t>& first,
                               const std::vector<uint8_t>& second) {
    std::vector<uint8_t> out;
    out.reserve(first.size() - kEndEventSize + second.size() - kJoinSecondOffset);
    // The first song keeps the delta time before its end of track; the second
    // song's program changes follow it at that moment.
    out.insert(out.end(), first.begin(), first.end() - kEndEventSize);
    out.insert(out.end(), second.begin() + kJoinSecondOffset, second.end());
    const uint32_t length = static_cast<uint32_t>(out.size() - kTrackDataOffset);
    for (int i = 0; i < 4; ++i) {
        out[kTrackLengthOffset + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
    }
    return out;
}

JoinStatus JoinFiles(const std::string& first, const std::string& second,
                     const std::string& result) {
    const std::optional<std::vector<uint8_t>> a = ReadWholeFile(first);
    if (!a) {
        return JoinStatus::FirstUnreadable;
    }
    if (!IsJoinableSong(*a)) {
        return JoinStatus::FirstInvalid;
    }
    const std::optional<std::vector<uint8_t>> b = ReadWholeFile(second);
    if (!b) {
        return JoinStatus::SecondUnreadable;
    }
    if (!IsJoinableSong(*b)) {
        return JoinStatus::SecondInvalid;
    }
    // The track length field holds 32 bits.
    const uint64_t joinedTrack =
        uint64_t(a->size()) - kEndEventSize + b->size() - kJoinSecondOffset - kTrackDataOffset;
    if (joinedTrack > std::numeric_limits<uint32_t>::max()) {
        return JoinStatus::WriteFailed;
    }
    const std::vector<uint8_t> joined = JoinSongs(*a, *b);
    const std::string_view bytes(reinterpret_cast<const char*>(joined.data()), joined.size());
    return WriteFileAtomically(result, bytes) ? JoinStatus::Done : JoinStatus::WriteFailed;
}

}  // namespace tontoko
