#include "render/JoinedSongContents.h"

#include <functional>
#include <optional>

#include "engine/SongPart.h"
#include "engine/TimeGrid.h"

namespace tontoko {

namespace {

int KeyIndex(const SongFileContents& song) {
    const int tonic = ((song.transposition % 12) + 12) % 12;
    return 12 * ModeIndex(song.mode) + tonic;
}

// A setting's value in one song; none where the song does not show it.
using ValueOf = std::function<std::optional<int>(const SongFileContents&)>;

// Compares the songs' values with the one taken: the first song's, or for a
// setting the first song does not show, the first that shows it.
void Compare(std::span<const SongFileContents> songs, JoinedSetting setting, const ValueOf& value,
             std::vector<JoinedDifference>& differences) {
    std::optional<int> taken;
    JoinedDifference difference{setting, 0, {}};
    for (size_t k = 0; k < songs.size(); ++k) {
        const std::optional<int> v = value(songs[k]);
        if (!v) {
            continue;
        }
        if (!taken) {
            taken = v;
        } else if (*v != *taken) {
            difference.others.push_back({static_cast<int>(k) + 1, *v});
        }
    }
    if (!difference.others.empty()) {
        difference.taken = *taken;
        differences.push_back(std::move(difference));
    }
}

std::vector<JoinedDifference> Differences(std::span<const SongFileContents> songs) {
    std::vector<JoinedDifference> list;
    Compare(
        songs, JoinedSetting::Key,
        [](const SongFileContents& s) {
            return s.chordsFound ? std::optional<int>(KeyIndex(s)) : std::nullopt;
        },
        list);
    Compare(
        songs, JoinedSetting::MelodyProgram,
        [](const SongFileContents& s) { return std::optional<int>(s.melodyProgram & 0x7F); }, list);
    Compare(
        songs, JoinedSetting::AccProgram,
        [](const SongFileContents& s) { return std::optional<int>(s.accProgram & 0x7F); }, list);
    Compare(
        songs, JoinedSetting::BassProgram,
        [](const SongFileContents& s) { return std::optional<int>(s.bassProgram & 0x7F); }, list);
    Compare(
        songs, JoinedSetting::DrumSet,
        [](const SongFileContents& s) { return std::optional<int>(s.drumSet); }, list);
    Compare(
        songs, JoinedSetting::AccPattern,
        [](const SongFileContents& s) {
            return std::optional<int>(s.accPatternFound ? s.accPattern : -1);
        },
        list);
    Compare(
        songs, JoinedSetting::DrumsOn,
        [](const SongFileContents& s) { return std::optional<int>(s.drumsOn ? 1 : 0); }, list);
    Compare(
        songs, JoinedSetting::DrumPattern,
        [](const SongFileContents& s) {
            return s.drumsOn ? std::optional<int>(s.drumPatternFound ? s.drumPattern : -1)
                             : std::nullopt;
        },
        list);
    Compare(
        songs, JoinedSetting::Fade,
        [](const SongFileContents& s) { return std::optional<int>(static_cast<int>(s.fade)); },
        list);
    Compare(
        songs, JoinedSetting::Interval,
        [](const SongFileContents& s) { return std::optional<int>(s.interval); }, list);
    const JoinedSetting velocities[kVolumeGroups] = {
        JoinedSetting::MelodyVelocity, JoinedSetting::AccVelocity, JoinedSetting::BassVelocity,
        JoinedSetting::DrumVelocity};
    for (size_t g = 0; g < kVolumeGroups; ++g) {
        Compare(
            songs, velocities[g],
            [g](const SongFileContents& s) -> std::optional<int> {
                if (s.velocities[g]) {
                    return *s.velocities[g];
                }
                return std::nullopt;
            },
            list);
    }
    return list;
}

}  // namespace

JoinedSong JoinedSongContents(std::span<const SongFileContents> songs,
                              const SongFileContents& current) {
    JoinedSong joined;
    size_t parts = 0;
    for (const SongFileContents& song : songs) {
        parts += song.parts.size();
    }
    joined.measures = static_cast<int>(parts) * kMeasures;
    if (songs.empty() || parts > static_cast<size_t>(kMaxParts)) {
        joined.tooLong = !songs.empty();
        return joined;
    }

    joined.contents = songs.front();
    joined.contents.parts.clear();
    for (const SongFileContents& song : songs) {
        joined.firstParts.push_back(static_cast<int>(joined.contents.parts.size()));
        joined.contents.parts.insert(joined.contents.parts.end(), song.parts.begin(),
                                     song.parts.end());
    }
    for (size_t p = 0; p < joined.contents.parts.size(); ++p) {
        joined.contents.parts[p].fixed =
            p < current.parts.size() ? current.parts[p].fixed : SongPart{}.fixed;
    }
    // A volume group the first song does not show plays as the first song
    // that shows it.
    for (size_t g = 0; g < kVolumeGroups; ++g) {
        for (const SongFileContents& song : songs) {
            if (!joined.contents.velocities[g] && song.velocities[g]) {
                joined.contents.velocities[g] = song.velocities[g];
            }
        }
    }
    joined.differences = Differences(songs);
    return joined;
}

}  // namespace tontoko
