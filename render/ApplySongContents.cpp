#include "render/ApplySongContents.h"

#include "engine/KeyChange.h"
#include "engine/Song.h"
#include "render/ComposeParts.h"
#include "render/SStandardMidi.h"

namespace tontoko {

namespace {

// The voices each volume group sets, by VolumeGroup.
struct GroupVoices {
    int first;
    int last;
};
constexpr GroupVoices kGroupVoices[kVolumeGroups] = {
    {kMelodyVoice, kMelodyVoice}, {1, 3}, {0, 0}, {kFirstDrumVoice, kVoiceCount - 1}};

int DrumSetIndex(uint8_t program) {
    const auto& sets = DrumSets();
    for (size_t i = 0; i < sets.size(); ++i) {
        if (sets[i].program == program) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

}  // namespace

int KeyPosition(const Song& song) {
    const int tonic = song.dur.Tonic();
    return tonic >= 6 ? tonic - 12 : tonic;
}

SongFileContents ContentsOf(const Song& song, std::span<const SongPart> parts,
                            const RenderChoice& choice, const SoundSettings& settings, int interval,
                            int tempo) {
    SongFileContents contents;
    contents.tempo = tempo;
    contents.transposition = KeyPosition(song);
    contents.mode = song.dur.KeyMode();
    contents.parts.assign(parts.begin(), parts.end());
    contents.accPattern = choice.accPattern;
    contents.drumsOn = choice.drumsOn;
    contents.drumPattern = choice.drumPattern;
    contents.melodyProgram = settings.melodyProgram;
    contents.accProgram = settings.accProgram;
    contents.bassProgram = settings.bassProgram;
    contents.drumSet = DrumSetIndex(settings.drumSetProgram);
    contents.fade = settings.fade;
    contents.interval = interval;
    for (int g = 0; g < kVolumeGroups; ++g) {
        contents.velocities[static_cast<size_t>(g)] =
            song.melodies[static_cast<size_t>(kGroupVoices[g].first)].Velocity();
    }
    for (int v = 0; v < kVoiceCount; ++v) {
        contents.carriedNotes[static_cast<size_t>(v)] =
            song.melodies[static_cast<size_t>(v)].LastNote();
    }
    for (int v = kFirstDrumVoice; v < kVoiceCount; ++v) {
        contents.drumChannels[static_cast<size_t>(v - kFirstDrumVoice)] =
            song.rhythms[static_cast<size_t>(v)].Channel();
    }
    for (int v = 0; v < 4; ++v) {
        for (int s = 0; s < kSongSteps; ++s) {
            contents.accompanimentPitches[static_cast<size_t>(v)][static_cast<size_t>(s)] =
                song.melodies[static_cast<size_t>(v)].Pitch(s);
        }
    }
    return contents;
}

void ApplySongContents(Song& song, const SongFileContents& contents) {
    // A mode switch loads its preset into the transition table, which a song
    // file does not hold.
    const SChordGenerate table = song.chordGenerate;
    Transpose(song, KeyPosition(song), contents.transposition);
    if (contents.mode == Mode::Minor) {
        SwitchToMinor(song);
    } else {
        SwitchToMajor(song);
    }
    song.chordGenerate = table;

    if (!contents.parts.empty()) {
        const SongPart& part = contents.parts.front();
        for (int slot = 0; slot < kChordSlots; ++slot) {
            song.SetSlotDegree(slot, part.degrees[static_cast<size_t>(slot)]);
        }
        for (int s = 0; s < kSongSteps; ++s) {
            song.MelodyRhythm().SetMark(s, part.marks[static_cast<size_t>(s)]);
            song.MelodyPitches().SetPitch(s, part.pitches[static_cast<size_t>(s)]);
        }
        for (int m = 0; m < kMeasures; ++m) {
            for (FixedKind kind : kFixedKinds) {
                song.flags.Set(m, kind, part.IsFixed(m, kind));
            }
        }
    }
    for (int g = 0; g < kVolumeGroups; ++g) {
        const auto& velocity = contents.velocities[static_cast<size_t>(g)];
        for (int v = kGroupVoices[g].first; velocity && v <= kGroupVoices[g].last; ++v) {
            song.melodies[static_cast<size_t>(v)].SetVelocity(*velocity);
        }
    }
    for (int v = 0; v < kVoiceCount; ++v) {
        song.melodies[static_cast<size_t>(v)].SetLastNote(
            contents.carriedNotes[static_cast<size_t>(v)]);
    }
    for (int v = kFirstDrumVoice; v < kVoiceCount; ++v) {
        song.rhythms[static_cast<size_t>(v)].SetChannel(
            contents.drumChannels[static_cast<size_t>(v - kFirstDrumVoice)]);
    }
    for (int v = 0; v < 4; ++v) {
        for (int s = 0; s < kSongSteps; ++s) {
            song.melodies[static_cast<size_t>(v)].SetPitch(
                s, contents.accompanimentPitches[static_cast<size_t>(v)][static_cast<size_t>(s)]);
        }
    }
}

RenderChoice RenderChoiceOf(const SongFileContents& contents) {
    return RenderChoice{contents.drumsOn, contents.accPattern, contents.drumPattern};
}

SoundSettings SoundSettingsOf(const SongFileContents& contents) {
    SoundSettings settings;
    settings.melodyProgram = contents.melodyProgram;
    settings.accProgram = contents.accProgram;
    settings.bassProgram = contents.bassProgram;
    const auto& sets = DrumSets();
    settings.drumSetProgram =
        contents.drumSet >= 0 && static_cast<size_t>(contents.drumSet) < sets.size()
            ? sets[static_cast<size_t>(contents.drumSet)].program
            : sets[0].program;
    settings.fade = contents.fade;
    return settings;
}

void ComposeSongContents(std::vector<uint8_t>& out, Song& song, SStandardMidi& writer,
                         const SongFileContents& contents, const PatternLibrary& library) {
    writer.SetInterval(contents.interval);
    ComposeParts(out, writer, song, contents.parts, library, RenderChoiceOf(contents),
                 static_cast<uint8_t>(contents.tempo), SoundSettingsOf(contents));
}

std::vector<uint8_t> RewriteSongFile(const SongFileContents& contents,
                                     const PatternLibrary& library) {
    Song song(0);
    ApplySongContents(song, contents);
    SStandardMidi writer;
    std::vector<uint8_t> bytes;
    ComposeSongContents(bytes, song, writer, contents, library);
    return bytes;
}

}  // namespace tontoko
