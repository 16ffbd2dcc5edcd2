// The join of two inputs taken from one buffer (two bytes give the first
// one's size): only songs of the writer's layout are joined, the join of two
// such songs is always done, and what it makes is such a song again, with the
// size and the length field the join promises.
#include <cstdint>
#include <vector>

#include "FuzzEntry.h"
#include "chain/Join.h"
#include "render/SongLayout.h"

TONTOKO_FUZZ_ENTRY(FuzzJoin) {
    fuzz::Input input(data, size);
    const size_t firstSize = input.Word();
    const auto firstBytes = input.Take(firstSize);
    const auto secondBytes = input.Rest();
    const std::vector<uint8_t> first(firstBytes.begin(), firstBytes.end());
    const std::vector<uint8_t> second(secondBytes.begin(), secondBytes.end());

    std::vector<uint8_t> joined;
    const tontoko::JoinStatus status = tontoko::JoinCheckedSongs(first, second, joined);
    const bool firstOk = tontoko::IsSongLayout(first);
    const bool secondOk = tontoko::IsSongLayout(second);
    if (!firstOk) {
        TONTOKO_FUZZ_CHECK(status == tontoko::JoinStatus::FirstInvalid, "a bad first song joined");
        return 0;
    }
    if (!secondOk) {
        TONTOKO_FUZZ_CHECK(status == tontoko::JoinStatus::SecondInvalid,
                           "a bad second song joined");
        return 0;
    }
    TONTOKO_FUZZ_CHECK(status == tontoko::JoinStatus::Done, "two good songs did not join");
    TONTOKO_FUZZ_CHECK(tontoko::IsSongLayout(joined), "the join is not a song of the layout");
    TONTOKO_FUZZ_CHECK(joined.size() == first.size() - 3 + second.size() - 43,
                       "the join has the wrong size");
    // Joined again, as first and as second song.
    std::vector<uint8_t> again;
    TONTOKO_FUZZ_CHECK(tontoko::JoinCheckedSongs(joined, first, again) == tontoko::JoinStatus::Done,
                       "a join does not join again");
    TONTOKO_FUZZ_CHECK(
        tontoko::JoinCheckedSongs(second, joined, again) == tontoko::JoinStatus::Done,
        "a join does not join again as the second song");
    return 0;
}
