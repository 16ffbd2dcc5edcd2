#include "chain/Join.h"

#include <limits>
#include <optional>
#include <string_view>

#include "files/AtomicFile.h"
#include "files/RegularFile.h"

namespace tontoko {

namespace {

// The end-of-track event without its delta time.
constexpr std::size_t kEndEventSize = 3;
// No song of the layout is larger: the track length field holds 32 bits.
constexpr std::size_t kLargestSong = std::size_t{std::numeric_limits<uint32_t>::max()} + 22;

std::optional<std::vector<uint8_t>> ReadSong(const std::string& path) {
    std::optional<std::string> text = ReadRegularFile(path, kLargestSong);
    if (!text) {
        return std::nullopt;
    }
    return std::vector<uint8_t>(text->begin(), text->end());
}

}  // namespace

bool IsJoinableSong(const std::vector<uint8_t>& bytes) {
    return IsSongLayout(bytes);
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

JoinStatus JoinCheckedSongs(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second,
                            std::vector<uint8_t>& joined) {
    if (!IsSongLayout(first)) {
        return JoinStatus::FirstInvalid;
    }
    if (!IsSongLayout(second)) {
        return JoinStatus::SecondInvalid;
    }
    const uint64_t joinedTrack = uint64_t(first.size()) - kEndEventSize + second.size() -
                                 kJoinSecondOffset - kTrackDataOffset;
    if (joinedTrack > std::numeric_limits<uint32_t>::max()) {
        return JoinStatus::WriteFailed;
    }
    std::vector<uint8_t> result = JoinSongs(first, second);
    // What is written must itself be a song that can be played and joined again.
    if (!IsSongLayout(result)) {
        return JoinStatus::WriteFailed;
    }
    joined = std::move(result);
    return JoinStatus::Done;
}

JoinStatus JoinFiles(const std::string& first, const std::string& second,
                     const std::string& result) {
    const std::optional<std::vector<uint8_t>> a = ReadSong(first);
    if (!a) {
        return JoinStatus::FirstUnreadable;
    }
    if (!IsSongLayout(*a)) {
        return JoinStatus::FirstInvalid;
    }
    const std::optional<std::vector<uint8_t>> b = ReadSong(second);
    if (!b) {
        return JoinStatus::SecondUnreadable;
    }
    std::vector<uint8_t> joined;
    const JoinStatus status = JoinCheckedSongs(*a, *b, joined);
    if (status != JoinStatus::Done) {
        return status;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(joined.data()), joined.size());
    return WriteFileAtomically(result, bytes) ? JoinStatus::Done : JoinStatus::WriteFailed;
}

}  // namespace tontoko
