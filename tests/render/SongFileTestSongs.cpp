#include "tests/render/SongFileTestSongs.h"

#include <algorithm>
#include <string>

#include "engine/Finish.h"
#include "engine/KeyChange.h"
#include "engine/MelodyGenerator.h"
#include "engine/Song.h"
#include "render/ApplySongContents.h"
#include "render/ComposeParts.h"
#include "render/RenderSong.h"
#include "render/SStandardMidi.h"

namespace tontoko::testing {

namespace {

using Rng = std::mt19937;

int Draw(Rng& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

bool Chance(Rng& rng, int percent) {
    return Draw(rng, 0, 99) < percent;
}

SongPart PartOf(const Song& song) {
    SongPart part;
    for (int slot = 0; slot < kChordSlots; ++slot) {
        part.degrees[static_cast<size_t>(slot)] = static_cast<uint8_t>(song.SlotDegree(slot));
    }
    for (int s = 0; s < kSongSteps; ++s) {
        part.marks[static_cast<size_t>(s)] = song.MelodyRhythm().Mark(s);
        part.pitches[static_cast<size_t>(s)] = song.MelodyPitches().Pitch(s);
    }
    for (int m = 0; m < kMeasures; ++m) {
        part.fixed[static_cast<size_t>(m)] = {song.IsFixed(m, FixedKind::Rhythm),
                                              song.IsFixed(m, FixedKind::Melody)};
    }
    return part;
}

// A registered rhythm applied to one measure by hand: new marks, the pitches
// left as they were (old notes, or 0 where there was none).
void ApplyRhythm(Song& song, Rng& rng) {
    const int measure = Draw(rng, 0, kMeasures - 1);
    if (Chance(rng, 50)) {
        song.MelodyPitches().ClearMeasurePitches(measure);
    }
    for (int s = 0; s < kStepsPerMeasure; ++s) {
        const int digit = Chance(rng, 35) ? (Chance(rng, 85) ? 1 : Draw(rng, 2, 9)) : 0;
        song.MelodyRhythm().SetMark(measure * kStepsPerMeasure + s, static_cast<uint8_t>(digit));
    }
}

// A part as "コード進行生成" and "メロディ生成" make it, sometimes finished,
// sometimes with fixed measures, a rhythm applied or notes placed by hand.
SongPart NewPart(Song& song, Rng& rng) {
    song.flags = FixedFlags{};
    if (Chance(rng, 15)) {
        const int measure = Draw(rng, 0, kMeasures - 1);
        song.flags.Set(measure, FixedKind::Rhythm, true);
        song.flags.Set(measure, FixedKind::Melody, Chance(rng, 50));
    }
    const FirstChord first = static_cast<FirstChord>(Draw(rng, 0, 2));
    GenerateProgression(song, first, Draw(rng, 0, 6));
    const bool finish = Chance(rng, 20);
    if (finish) {
        FinishProgression(song);
    }
    if (Chance(rng, 20)) {
        for (int slot = 0; slot < kChordSlots; ++slot) {
            if (Chance(rng, 30)) {
                song.SetSlotDegree(slot, Draw(rng, 1, 7));
            }
        }
    }
    GenerateMelody(song);
    if (finish) {
        FinishMelody(song);
    }
    if (Chance(rng, 25)) {
        ApplyRhythm(song, rng);
    }
    if (Chance(rng, 10)) {
        const int step = Draw(rng, 0, kSongSteps - 1);
        song.MelodyRhythm().SetMark(step, 1);
        song.MelodyPitches().SetPitch(step, static_cast<uint8_t>(Draw(rng, 37, 96)));
    }
    if (Chance(rng, 5)) {
        song.MelodyRhythm().ClearMarks();
    }
    return PartOf(song);
}

void SetGroup(Song& song, VolumeGroup group, int velocity) {
    const int first[] = {kMelodyVoice, 1, 0, kFirstDrumVoice};
    const int last[] = {kMelodyVoice, 3, 0, kVoiceCount - 1};
    const size_t g = static_cast<size_t>(group);
    for (int v = first[g]; v <= last[g]; ++v) {
        song.melodies[static_cast<size_t>(v)].SetVelocity(static_cast<uint8_t>(velocity));
    }
}

bool AnyOnset(const std::string& part) {
    const auto marks = PartMarks(part);
    return std::any_of(marks.begin(), marks.end(),
                       [](uint8_t m) { return static_cast<int8_t>(m) > 0; });
}

}  // namespace

PatternLibrary TestPatterns() {
    PatternLibrary library;
    LoadPatterns(library, std::filesystem::path(TONTOKO_SOURCE_DIR) / "data");
    if (library.acc.size() < 4 || library.drums.empty()) {
        return library;
    }
    const std::string none(kSongSteps, '0');
    library.acc[3].parts[2][6] = '2';  // held, and raised an octave in every part
    library.acc[3].parts[0][12] = '3';
    // No note on the first step: the lead-in and the first steps make one
    // delta time.
    AccPattern held = library.acc[1];
    held.name = "held";
    held.parts[0] = std::string(4, '0') + held.parts[0].substr(4);
    held.parts[1] = "0000100020001000/000100020001000" + std::string(32, '0');
    held.parts[2][0] = '0';
    held.parts[3] = "0010200010002";  // short: the rest has no onsets
    library.acc.push_back(held);
    AccPattern silent;
    silent.name = "silent";
    silent.parts.fill(none);
    library.acc.push_back(silent);
    AccPattern copy = library.acc[0];
    copy.name = "copy";
    library.acc.push_back(copy);

    DrumPattern quiet;
    quiet.name = "quiet";
    quiet.notes = {36, 38, 42, 46, 49};
    quiet.parts.fill(none);
    library.drums.push_back(quiet);
    DrumPattern marks = library.drums[0];
    marks.name = "marks";
    marks.parts[1] = std::string(16, '2') + std::string(47, '0') + "9";
    marks.notes[4] = 200;  // written as its low 7 bits
    library.drums.push_back(marks);
    DrumPattern copyDrums = library.drums[1];
    copyDrums.name = "copy";
    library.drums.push_back(copyDrums);
    return library;
}

std::vector<WrittenSong> WriteTestSongs(const PatternLibrary& library, int runs, uint32_t seed) {
    Rng rng(seed);
    std::vector<WrittenSong> written;
    for (int run = 0; run < runs; ++run) {
        Song song(static_cast<uint32_t>(rng()));
        if (Chance(rng, 40)) {
            SwitchToMinor(song);
        }
        Transpose(song, 0, Draw(rng, -6, 5));
        const int style = Draw(rng, 0, 2);
        if (style > 0) {
            ApplyMelodyStyle(song,
                             style == 1 ? MelodyStyle::MoreQuarters : MelodyStyle::MoreEighths);
        }
        SStandardMidi writer;
        const int songs = Draw(rng, 1, 3);
        for (int index = 0; index < songs; ++index) {
            const int tempo = 40 + 5 * Draw(rng, 0, 40);
            const int interval = Draw(rng, 0, 4);
            RenderChoice choice;
            choice.accPattern = Draw(rng, 0, static_cast<int>(library.acc.size()) - 1);
            choice.drumsOn = Chance(rng, 75);
            choice.drumPattern = Draw(rng, 0, static_cast<int>(library.drums.size()) - 1);
            // Songs whose first note comes after the first step.
            const bool late = library.acc[static_cast<size_t>(choice.accPattern)].name == "held" &&
                              Chance(rng, 60);
            if (late) {
                choice.drumsOn = false;
            }
            SoundSettings settings;
            if (Chance(rng, 30)) {
                // The random sounds button.
                settings.melodyProgram = static_cast<uint8_t>(song.random.Below(128));
                settings.accProgram = static_cast<uint8_t>(song.random.Below(128));
                settings.bassProgram = static_cast<uint8_t>(song.random.Below(128));
                settings.drumSetProgram =
                    DrumSets()[static_cast<size_t>(song.random.Below(9))].program;
            } else if (Chance(rng, 50)) {
                settings.melodyProgram = static_cast<uint8_t>(Draw(rng, 0, 127));
                settings.accProgram = static_cast<uint8_t>(Draw(rng, 0, 127));
                settings.bassProgram = static_cast<uint8_t>(Draw(rng, 0, 127));
                settings.drumSetProgram = DrumSets()[static_cast<size_t>(Draw(rng, 0, 8))].program;
            }
            settings.fade = static_cast<FadeMode>(Draw(rng, 0, 2));
            for (int g = 0; g < kVolumeGroups; ++g) {
                if (Chance(rng, 50)) {
                    const int velocity = Chance(rng, 10) ? 0 : 5 * Draw(rng, 0, 24);
                    SetGroup(song, static_cast<VolumeGroup>(g), velocity);
                }
            }
            // 1 to 8 parts, more often short; letters may repeat a part.
            const int partCount = Chance(rng, 70)   ? 1
                                  : Chance(rng, 65) ? Draw(rng, 2, 4)
                                                    : Draw(rng, 5, 8);
            std::vector<SongPart> parts;
            for (int p = 0; p < partCount; ++p) {
                if (!parts.empty() && Chance(rng, 25)) {
                    parts.push_back(parts[static_cast<size_t>(Draw(rng, 0, p - 1))]);
                } else {
                    parts.push_back(NewPart(song, rng));
                }
            }
            if (late) {
                for (int s = 0; s < Draw(rng, 1, 8); ++s) {
                    parts.front().marks[static_cast<size_t>(s)] = 0;
                }
            }
            WrittenSong file;
            file.run = run;
            file.index = index;
            file.song = ContentsOf(song, parts, choice, settings, interval, tempo);
            writer.SetInterval(interval);
            ComposeParts(file.bytes, writer, song, parts, library, choice,
                         static_cast<uint8_t>(tempo), settings);
            written.push_back(std::move(file));
        }
    }
    return written;
}

SongFileContents Revealed(const SongFileContents& song, const PatternLibrary& library) {
    SongFileContents revealed = song;
    bool melodyNotes = false;
    for (SongPart& part : revealed.parts) {
        for (int s = 0; s < kSongSteps; ++s) {
            const bool starts = static_cast<int8_t>(part.marks[static_cast<size_t>(s)]) > 0;
            if (!starts) {
                part.pitches[static_cast<size_t>(s)] = 0;
            }
            melodyNotes |= starts && part.pitches[static_cast<size_t>(s)] != 0;
        }
    }
    bool bassNotes = false;
    bool accNotes = false;
    if (song.accPattern >= 0 && static_cast<size_t>(song.accPattern) < library.acc.size()) {
        const AccPattern& acc = library.acc[static_cast<size_t>(song.accPattern)];
        bassNotes = AnyOnset(acc.parts[0]);
        accNotes = AnyOnset(acc.parts[1]) || AnyOnset(acc.parts[2]) || AnyOnset(acc.parts[3]);
    }
    bool drumNotes = false;
    if (song.drumsOn && song.drumPattern >= 0 &&
        static_cast<size_t>(song.drumPattern) < library.drums.size()) {
        for (const std::string& part : library.drums[static_cast<size_t>(song.drumPattern)].parts) {
            drumNotes |= AnyOnset(part);
        }
    }
    const bool notes[] = {melodyNotes, accNotes, bassNotes, drumNotes};
    for (int g = 0; g < kVolumeGroups; ++g) {
        if (!notes[g]) {
            revealed.velocities[static_cast<size_t>(g)].reset();
        }
    }
    return revealed;
}

}  // namespace tontoko::testing
