// The ticks a playback goes through agree with the file the document writes:
// the lead-in ends where the first part's notes begin, each part starts at its
// first note, and the song ends at the file's last event.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "document/SongDocument.h"
#include "render/PlayRange.h"
#include "render/SongLayout.h"

namespace tontoko {
namespace {

TEST(PlayRange, MatchesTheWrittenSongForEveryLengthIntervalAndPart) {
    SongDocument document(7);
    document.LoadPatterns(std::filesystem::path(TONTOKO_SOURCE_DIR) / "data");
    document.GenerateMelody();
    for (int parts : {1, 3, 8}) {
        for (int interval : {0, 2, 4}) {
            SongState state = document.Snapshot();
            state.partCount = uint8_t(parts);
            std::fill(state.parts.begin() + 1, state.parts.end(), state.parts[0]);
            state.interval = uint8_t(interval);
            document.Restore(state);
            const SongLayoutScan scan = ScanSongLayout(document.Write(), true);
            ASSERT_EQ(scan.problem, "");
            ASSERT_FALSE(scan.notes.empty());
            // The file ends with the song: its last note-offs.
            const uint32_t last = scan.notes.back().tick;
            for (int part = 0; part < parts; ++part) {
                const PlayRange range = SongPlayRange(interval, parts, part);
                EXPECT_EQ(range.leadInEnd, interval * 96);
                EXPECT_EQ(range.end, int(last)) << parts << " parts, interval " << interval;
                // The bass starts every part on its first tick.
                const bool starts =
                    std::any_of(scan.notes.begin(), scan.notes.end(), [&](const LayoutNote& note) {
                        return note.tick == uint32_t(range.start) && note.velocity > 0;
                    });
                EXPECT_TRUE(starts) << "part " << part << " at " << range.start;
                EXPECT_EQ(range.start, range.leadInEnd + part * 1536);
            }
        }
    }
}

TEST(PlayRange, APartOutsideTheSongIsTheNearestPart) {
    EXPECT_EQ(SongPlayRange(1, 2, 5), SongPlayRange(1, 2, 1));
    EXPECT_EQ(SongPlayRange(1, 2, -1), SongPlayRange(1, 2, 0));
    EXPECT_EQ(SongPlayRange(0, 1, 0), (PlayRange{0, 0, 1536}));
}

}  // namespace
}  // namespace tontoko
