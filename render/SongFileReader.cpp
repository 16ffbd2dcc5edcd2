#include "render/SongFileReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <system_error>

#include "files/RegularFile.h"
#include "render/ApplySongContents.h"
#include "render/PatternLibrary.h"
#include "render/SStandardMidi.h"
#include "render/SongFilePatterns.h"
#include "render/SongLayout.h"

namespace tontoko {

namespace {

// Offsets of the values a song's block of program changes holds, from its
// first status byte C0.
constexpr size_t kBassProgram = 1;
constexpr size_t kAccPrograms[] = {4, 7, 10};
constexpr size_t kMelodyProgram = 13;
constexpr size_t kDrumSetProgram = 24;
constexpr size_t kTempoOffset = 26;  // the three bytes of the tempo event
constexpr std::array<uint8_t, 4> kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

using Bytes = std::vector<uint8_t>;

SongFileReading Problem(SongFileProblem problem, std::string detail) {
    SongFileReading reading;
    reading.problem = problem;
    reading.detail = std::move(detail);
    return reading;
}

SongFileProblem ProblemOf(LayoutFault fault) {
    switch (fault) {
        case LayoutFault::NotMidi:
            return SongFileProblem::NotMidi;
        case LayoutFault::Truncated:
            return SongFileProblem::Truncated;
        default:
            return SongFileProblem::OtherLayout;
    }
}

// The current value when its low 7 bits are the file's, else the file's.
uint8_t Keep(uint8_t current, uint8_t written) {
    return (current & 0x7F) == written ? current : written;
}

std::optional<int> TempoOf(uint32_t microseconds, int current) {
    if (current >= 0 && current <= 255 &&
        TempoMicroseconds(static_cast<uint8_t>(current)) == microseconds) {
        return current;
    }
    for (int tempo = 0; tempo <= 255; ++tempo) {
        if (TempoMicroseconds(static_cast<uint8_t>(tempo)) == microseconds) {
            return tempo;
        }
    }
    return std::nullopt;
}

std::optional<int> DrumSetOf(uint8_t program, int current) {
    const auto& sets = DrumSets();
    if (current >= 0 && static_cast<size_t>(current) < sets.size() &&
        sets[static_cast<size_t>(current)].program == program) {
        return current;
    }
    for (size_t i = 0; i < sets.size(); ++i) {
        if (sets[i].program == program) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

// The drum channels the writer has: each voice's own until the drum part was
// first on, channel 10 afterwards.
bool ChannelsOfTheWriter(const std::array<uint8_t, kVoiceCount - kFirstDrumVoice>& channels) {
    bool own = true;
    bool drum = true;
    for (size_t j = 0; j < channels.size(); ++j) {
        own &= channels[j] == kFirstDrumVoice + j;
        drum &= channels[j] == kDrumChannel;
    }
    return own || drum;
}

// The melody of each part: marks and pitches of the onsets, nothing elsewhere.
void ReadMelody(const FileVoices& voices, const SongFileContents& current,
                SongFileContents& contents) {
    const std::vector<FileOnset>& onsets = voices.onsets[kMelodyVoice];
    std::vector<int> onsetAt(static_cast<size_t>(voices.steps), -1);
    for (size_t i = 0; i < onsets.size(); ++i) {
        onsetAt[static_cast<size_t>(onsets[i].step)] = static_cast<int>(i);
    }
    for (int p = 0; p < voices.parts; ++p) {
        SongPart& part = contents.parts[static_cast<size_t>(p)];
        const SongPart* now = static_cast<size_t>(p) < current.parts.size()
                                  ? &current.parts[static_cast<size_t>(p)]
                                  : nullptr;
        for (int s = 0; s < kSongSteps; ++s) {
            const size_t step = static_cast<size_t>(p * kSongSteps + s);
            const uint8_t mark = now ? now->marks[static_cast<size_t>(s)] : 0;
            const bool markStarts = static_cast<int8_t>(mark) > 0;
            const int at = onsetAt[step];
            if (at < 0) {
                part.marks[static_cast<size_t>(s)] = markStarts ? 0 : mark;
                part.pitches[static_cast<size_t>(s)] = 0;
                continue;
            }
            const FileOnset& onset = onsets[static_cast<size_t>(at)];
            part.marks[static_cast<size_t>(s)] = markStarts ? mark : 1;
            part.pitches[static_cast<size_t>(s)] = onset.noteOn ? onset.key : 0;
        }
    }
    // A rest on the very first step writes nothing; the melody's next note-off
    // then names note 0, as it would for a carried note 0.
    const SongPart* first = current.parts.empty() ? nullptr : &current.parts.front();
    const bool restNow =
        first && static_cast<int8_t>(first->marks[0]) > 0 && first->pitches[0] == 0;
    if (restNow && onsetAt[0] < 0 && voices.carried[kMelodyVoice] == 0) {
        contents.parts.front().marks[0] = first->marks[0];
        contents.carriedNotes[kMelodyVoice] = current.carriedNotes[kMelodyVoice];
    }
}

VelocityClues VelocityCluesOf(const FileVoices& voices, const DrumReading& drums) {
    VelocityClues clues;
    auto add = [&](VolumeGroup group, int voice) {
        for (const FileOnset& onset : voices.onsets[static_cast<size_t>(voice)]) {
            if (onset.noteOn) {
                clues[static_cast<size_t>(group)].push_back({onset.step, onset.velocity});
            }
        }
    };
    add(VolumeGroup::Melody, kMelodyVoice);
    add(VolumeGroup::Bass, 0);
    for (int v = 1; v <= 3; ++v) {
        add(VolumeGroup::Accompaniment, v);
    }
    clues[static_cast<size_t>(VolumeGroup::Drums)] = drums.velocities;
    return clues;
}

// One song, not joined: every value it fixes, checked by writing it again.
SongFileReading ReadOneSong(std::span<const uint8_t> bytes, std::span<const LayoutNote> notes,
                            const PatternLibrary& library, const SongFileContents& current) {
    SongFileContents contents = current;
    const uint32_t microseconds = (uint32_t(bytes[kTempoOffset]) << 16) |
                                  (uint32_t(bytes[kTempoOffset + 1]) << 8) |
                                  uint32_t(bytes[kTempoOffset + 2]);
    const std::optional<int> tempo = TempoOf(microseconds, current.tempo);
    if (!tempo) {
        return Problem(SongFileProblem::OtherLayout,
                       "a tempo of " + std::to_string(microseconds) + " microseconds per beat");
    }
    contents.tempo = *tempo;

    const std::span<const uint8_t> programs = bytes.subspan(kFirstProgramOffset);
    const uint8_t acc = programs[kAccPrograms[0]];
    if (programs[kAccPrograms[1]] != acc || programs[kAccPrograms[2]] != acc) {
        return Problem(SongFileProblem::OtherLayout, "the chord voices play different instruments");
    }
    const std::optional<int> drumSet = DrumSetOf(programs[kDrumSetProgram], current.drumSet);
    if (!drumSet) {
        return Problem(SongFileProblem::OtherLayout,
                       "drum-set program " + std::to_string(programs[kDrumSetProgram]));
    }
    contents.bassProgram = Keep(current.bassProgram, programs[kBassProgram]);
    contents.accProgram = Keep(current.accProgram, acc);
    contents.melodyProgram = Keep(current.melodyProgram, programs[kMelodyProgram]);
    contents.drumSet = *drumSet;

    FileVoices voices;
    if (std::string problem = SortFileVoices(notes, voices); !problem.empty()) {
        return Problem(SongFileProblem::OtherLayout, problem);
    }
    contents.interval = voices.interval;
    contents.parts.resize(static_cast<size_t>(voices.parts));
    for (size_t p = 0; p < contents.parts.size(); ++p) {
        contents.parts[p] = p < current.parts.size() ? current.parts[p] : SongPart{};
    }

    // Accompaniment and chords.
    const AccompanimentReading accompaniment = ReadAccompaniment(voices, library, current);
    ChordReading chords = accompaniment.chords;
    contents.accPatternFound = accompaniment.found;
    if (accompaniment.found) {
        contents.accPattern = accompaniment.pattern;
        for (size_t v = 0; v < 4; ++v) {
            for (size_t s = 0; s < static_cast<size_t>(kSongSteps); ++s) {
                if (accompaniment.held[v][s]) {
                    contents.accompanimentPitches[v][s] = *accompaniment.held[v][s];
                }
            }
        }
    } else {
        std::vector<PartDegrees> degrees;
        for (const SongPart& part : current.parts) {
            degrees.push_back(part.degrees);
        }
        for (bool jumps : {false, true}) {
            chords = ReadChords(UnknownPatternClues(voices, jumps), voices.parts,
                                current.transposition, current.mode, degrees);
            if (chords.found) {
                break;
            }
        }
    }
    contents.chordsFound = chords.found;
    if (chords.found) {
        contents.transposition = chords.transposition;
        contents.mode = chords.mode;
        for (size_t p = 0; p < contents.parts.size(); ++p) {
            contents.parts[p].degrees = chords.degrees[p];
        }
    }

    // Drums.
    const DrumReading drums = ReadDrums(voices, library, current);
    contents.drumsOn = drums.on;
    contents.drumPattern = drums.pattern;
    contents.drumPatternFound = drums.found;
    // Rendering with the drum part on puts the drum voices on channel 10
    // before writing, so the channels they had before are not revealed.
    if (!drums.on || !ChannelsOfTheWriter(current.drumChannels)) {
        std::copy(voices.finalChannels.begin() + kFirstDrumVoice, voices.finalChannels.end(),
                  contents.drumChannels.begin());
    }
    for (int v = kFirstDrumVoice; v < kVoiceCount; ++v) {
        const auto& carried = drums.carried[static_cast<size_t>(v - kFirstDrumVoice)];
        if (carried) {
            contents.carriedNotes[static_cast<size_t>(v)] =
                Keep(current.carriedNotes[static_cast<size_t>(v)], *carried);
        }
    }

    // Velocities and fade.
    const VelocityReading velocities =
        ReadVelocities(VelocityCluesOf(voices, drums), voices.steps, current);
    if (!velocities.found) {
        return Problem(SongFileProblem::OtherLayout, "velocities that no volumes and fade give");
    }
    contents.fade = velocities.fade;
    contents.velocities = velocities.velocities;

    for (int v = 0; v < kFirstDrumVoice; ++v) {
        if (const auto& carried = voices.carried[static_cast<size_t>(v)]) {
            contents.carriedNotes[static_cast<size_t>(v)] =
                Keep(current.carriedNotes[static_cast<size_t>(v)], *carried);
        }
    }
    ReadMelody(voices, current, contents);

    SongFileReading reading;
    reading.olderRests = voices.olderRests;
    // With both patterns in the library, the song is written again: what this
    // writer makes comes out byte for byte, anything else is another layout.
    if (accompaniment.found && drums.found && !voices.olderRests) {
        const Bytes again = RewriteSongFile(contents, library);
        if (!std::equal(again.begin(), again.end(), bytes.begin(), bytes.end())) {
            const auto differ =
                std::mismatch(again.begin(), again.end(), bytes.begin(), bytes.end());
            return Problem(SongFileProblem::OtherLayout,
                           "written again, the song differs from offset " +
                               std::to_string(differ.second - bytes.begin()));
        }
    }
    reading.contents = std::move(contents);
    return reading;
}

SongFileReading ReadSong(std::span<const uint8_t> bytes, const PatternLibrary& library,
                         const SongFileContents& current, bool joinedAllowed);

// Song k of a joined file as a file of its own: the first song's header,
// tempo and GS reset, the song from its program changes to its last note-off,
// and the end of track.
Bytes JoinedSong(std::span<const uint8_t> bytes, const SongLayoutScan& scan, size_t k) {
    const size_t from = scan.songOffsets[k];
    const size_t to = k + 1 < scan.songOffsets.size() ? scan.songOffsets[k + 1] - 1
                                                      : bytes.size() - kEndOfTrack.size();
    // Sized once and copied into place.
    Bytes song(kFirstProgramOffset + (to - from) + kEndOfTrack.size());
    const auto opening = bytes.first(kFirstProgramOffset);
    const auto track = bytes.subspan(from, to - from);
    std::copy(opening.begin(), opening.end(), song.begin());
    std::copy(track.begin(), track.end(),
              song.begin() + static_cast<std::ptrdiff_t>(opening.size()));
    std::copy(kEndOfTrack.begin(), kEndOfTrack.end(),
              song.end() - static_cast<std::ptrdiff_t>(kEndOfTrack.size()));
    const uint32_t length = static_cast<uint32_t>(song.size() - kTrackDataOffset);
    for (size_t i = 0; i < 4; ++i) {
        song[kTrackLengthOffset + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
    }
    return song;
}

SongFileReading ReadJoined(std::span<const uint8_t> bytes, const SongLayoutScan& scan,
                           const PatternLibrary& library, const SongFileContents& current) {
    const size_t count = scan.songOffsets.size();
    SongFileReading joined =
        Problem(SongFileProblem::Joined, std::to_string(count) + " songs joined");
    joined.joinedCount = count;
    if (count > static_cast<size_t>(kMaxParts)) {
        return joined;
    }
    joined.joinedSongs.reserve(count);
    for (size_t k = 0; k < count; ++k) {
        SongFileReading song = ReadSong(JoinedSong(bytes, scan, k), library, current, false);
        if (!song.Ok()) {
            song.detail = "song " + std::to_string(k + 1) + " of " + std::to_string(count) + ": " +
                          song.detail;
            return song;
        }
        joined.olderRests |= song.olderRests;
        joined.joinedSongs.push_back(std::move(song.contents));
    }
    return joined;
}

SongFileReading ReadSong(std::span<const uint8_t> bytes, const PatternLibrary& library,
                         const SongFileContents& current, bool joinedAllowed) {
    const SongLayoutScan scan = ScanSongLayout(bytes, true);
    if (scan.fault != LayoutFault::None) {
        return Problem(ProblemOf(scan.fault), scan.problem);
    }
    if (scan.songOffsets.size() > 1) {
        if (!joinedAllowed) {
            return Problem(SongFileProblem::OtherLayout, "a joined song inside a joined song");
        }
        return ReadJoined(bytes, scan, library, current);
    }
    return ReadOneSong(bytes, scan.notes, library, current);
}

std::string ErrorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

}  // namespace

SongFileReading ReadSongFile(std::span<const uint8_t> bytes, const PatternLibrary& library,
                             const SongFileContents& current) {
    if (bytes.size() > kMaxSongFileBytes) {
        return Problem(SongFileProblem::TooLarge, std::to_string(bytes.size()) + " bytes");
    }
    return ReadSong(bytes, library, current, true);
}

SongFileReading ReadSongFileAt(const std::filesystem::path& path, const PatternLibrary& library,
                               const SongFileContents& current) {
    const std::optional<std::string> text = ReadRegularFile(path, kMaxSongFileBytes);
    if (text) {
        const auto* data = reinterpret_cast<const uint8_t*>(text->data());
        return ReadSongFile(std::span<const uint8_t>(data, text->size()), library, current);
    }
    // Why the file was refused.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    switch (status.type()) {
        case std::filesystem::file_type::directory:
            return Problem(SongFileProblem::NotRegular, "a folder");
        case std::filesystem::file_type::block:
        case std::filesystem::file_type::character:
            return Problem(SongFileProblem::NotRegular, "a device");
        case std::filesystem::file_type::fifo:
            return Problem(SongFileProblem::NotRegular, "a FIFO");
        case std::filesystem::file_type::socket:
            return Problem(SongFileProblem::NotRegular, "a socket");
        case std::filesystem::file_type::regular: {
            const std::uintmax_t size = std::filesystem::file_size(path, ec);
            if (!ec && size > kMaxSongFileBytes) {
                return Problem(SongFileProblem::TooLarge, std::to_string(size) + " bytes");
            }
            const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            if (fd < 0) {
                return Problem(SongFileProblem::Unreadable, ErrorText(errno));
            }
            ::close(fd);
            return Problem(SongFileProblem::Unreadable, "the file could not be read");
        }
        default:
            return Problem(SongFileProblem::Unreadable,
                           ec ? ec.message() : std::string("no such file"));
    }
}

}  // namespace tontoko
