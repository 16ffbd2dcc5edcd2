#include "cli/Composer.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "cli/JoinedWarning.h"
#include "cli/OutputFiles.h"
#include "cli/PlayLastSong.h"
#include "cli/SongForm.h"
#include "cli/SongPrinter.h"
#include "document/SongDocument.h"
#include "files/StagedFile.h"
#include "render/JoinedSongContents.h"
#include "render/PatternLibrary.h"
#include "render/SongFileReader.h"
#include "render/SoundSettings.h"
#include "sound/OfflineSynth.h"
#include "sound/SoundFont.h"

namespace tontoko::cli {

namespace {

FadeMode FadeOf(const std::string& fade) {
    if (fade == "in")
        return FadeMode::FadeIn;
    if (fade == "out")
        return FadeMode::FadeOut;
    return FadeMode::Normal;
}

void SetVolume(SongDocument& document, VolumeGroup group, const std::optional<int>& volume) {
    if (volume) {
        document.SetVolume(group, *volume);
    }
}

// Synthesizes the song into the staged file of an audio output.
bool ExportAudio(OfflineSynth& synth, const std::vector<uint8_t>& midi, OutputFiles& outputs,
                 int index, const std::string& name, AudioFormat format, std::ostream& printout,
                 std::ostream& err) {
    const std::optional<std::string> staged = outputs.StagingPath(index, err);
    if (!staged) {
        return false;
    }
    ExportResult audio = synth.ExportToFile(midi, *staged, format);
    if (!audio.ok) {
        // The synthesizer names the file it wrote, which is the temporary.
        for (std::size_t at; (at = audio.error.find(*staged)) != std::string::npos;) {
            audio.error.replace(at, staged->size(), name);
        }
        err << "tontoko-compose: " << audio.error << '\n';
        return false;
    }
    printout << "audio " << name << " (" << audio.seconds << " s)\n";
    return true;
}

// Plays the last song: from its file when it is one, else from a scratch copy.
int Play(const std::string& output, const std::vector<uint8_t>& midi, std::ostream& err) {
    std::error_code ec;
    if (output != "-" && std::filesystem::is_regular_file(output, ec)) {
        return PlayLastSong(output, err);
    }
    StagedFile scratch;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec || !scratch.Create((folder / "tontoko-play.mid").string()) ||
        !scratch.Write(std::string_view(reinterpret_cast<const char*>(midi.data()), midi.size())) ||
        !scratch.Close()) {
        err << "tontoko-compose: --play: cannot write a copy of the song to play\n";
        return 1;
    }
    return PlayLastSong(scratch.TempPath(), err);  // the copy goes with `scratch`
}

bool CheckPosition(int value, std::size_t size, const char* option, const char* file,
                   std::ostream& err) {
    if (value >= 1 && static_cast<std::size_t>(value) <= size) {
        return true;
    }
    err << "tontoko-compose: " << option << ": value " << value << " is not in range 1.." << size
        << " (the patterns in " << file << ")\n";
    return false;
}

// Why a file cannot be opened, for the composer's messages.
std::string SongFileProblemText(const SongFileReading& reading) {
    switch (reading.problem) {
        case SongFileProblem::NotMidi:
            return "not a Standard MIDI File";
        case SongFileProblem::OtherLayout:
            return "not a song saved by tontoko (" + reading.detail + ")";
        case SongFileProblem::Truncated:
            return "the file is cut short (" + reading.detail + ")";
        case SongFileProblem::Joined:
            return std::to_string(reading.joinedCount) +
                   " songs joined one after another; at most " + std::to_string(kMaxParts) +
                   " songs open as one song";
        case SongFileProblem::TooLarge:
            return "larger than 1 MB (" + reading.detail + ")";
        case SongFileProblem::NotRegular:
            return "not a file but " + reading.detail;
        case SongFileProblem::Unreadable:
        case SongFileProblem::None:
            break;
    }
    return reading.detail;
}

// Reads the saved song at `path` into the document: songs the chain dialog
// joined become its parts. Returns how many songs the file joins (1 for a
// song of its own), or 0, with the reason on `err`, when it is not a song
// that can be opened.
std::size_t OpenSong(SongDocument& document, const std::string& path, std::ostream& err) {
    const SongFileContents current = document.Reading();
    const SongFileReading reading = ReadSongFileAt(path, document.Patterns(), current);
    std::optional<JoinedSong> joined;
    if (reading.problem == SongFileProblem::Joined &&
        reading.joinedSongs.size() == reading.joinedCount) {
        joined = JoinedSongContents(reading.joinedSongs, current);
        if (joined->tooLong) {
            err << "tontoko-compose: cannot open " << path << ": " << reading.joinedCount
                << " songs joined one after another, " << joined->measures
                << " measures together; at most " << kMaxParts * kMeasures
                << " measures open as one song\n";
            return 0;
        }
        WarnJoined(err, path, reading.joinedCount, *joined, document.Patterns());
    } else if (!reading.Ok()) {
        err << "tontoko-compose: cannot open " << path << ": " << SongFileProblemText(reading)
            << '\n';
        return 0;
    }
    const SongFileContents& contents = joined ? joined->contents : reading.contents;
    if (!contents.accPatternFound || (contents.drumsOn && !contents.drumPatternFound)) {
        err << "tontoko-compose: " << path
            << ": its patterns are not in the pattern files; the first patterns are used\n";
    }
    document.Open(contents);
    return joined ? reading.joinedCount : 1;
}

// The audio files, the outputs put in place, the printout and the playback
// that end every run.
int Finish(const ComposeOptions& o, std::optional<OfflineSynth>& synth,
           const std::vector<uint8_t>& bytes, OutputFiles& outputs, int wavOutput, int audioOutput,
           std::ostringstream& printout, std::ostream& out, std::ostream& err) {
    if (wavOutput >= 0 &&
        !ExportAudio(*synth, bytes, outputs, wavOutput, o.wav, AudioFormat::Wav, printout, err)) {
        return 1;
    }
    if (audioOutput >= 0 && !ExportAudio(*synth, bytes, outputs, audioOutput, o.audio,
                                         *AudioFormatOf(o.audio), printout, err)) {
        return 1;
    }
    if (!outputs.Commit(err)) {
        return 1;
    }
    // The printout is given once everything is in place, on standard error
    // when the song itself goes to standard output.
    (outputs.UsesStdout() ? err : out) << printout.str() << std::flush;
    const int songs = o.open.empty() ? o.count : 1;
    const std::string last = o.writeMidi ? OutputPath(o.output, songs - 1, songs) : std::string();
    return o.play ? Play(last, bytes, err) : 0;
}

}  // namespace

int Compose(const ComposeOptions& o, std::ostream& out, std::ostream& err) {
    std::filesystem::path dataDir(o.dataDir);
    if (o.dataDir.empty()) {
        std::error_code ec;
        dataDir = std::filesystem::current_path(ec);
        if (ec) {
            err << "tontoko-compose: the working directory cannot be read (" << ec.message()
                << "); it may have been removed. Start in an existing folder, or give the "
                   "folder of the pattern files with --data\n";
            return 1;
        }
    }
    // The start-up song, seeded as start-up seeds it, and its pattern files.
    const uint32_t seed = o.seed ? *o.seed : static_cast<uint32_t>(std::time(nullptr));
    SongDocument document(seed);
    const PatternLoadResult loaded = document.LoadPatterns(dataDir);
    const PatternLibrary& library = document.Patterns();
    if (!loaded.drumFileOpened || !loaded.accFileOpened) {
        const char* missing = !loaded.drumFileOpened ? kDrumPatternFile : kAccPatternFile;
        err << "tontoko-compose: cannot open " << (dataDir / missing).string()
            << " (pattern files are read from --data, or the working directory)\n";
        return 1;
    }
    if (!CheckPosition(o.accPattern, library.acc.size(), "--acc-pattern", kAccPatternFile, err) ||
        (o.drums && !CheckPosition(o.drumPattern, library.drums.size(), "--drum-pattern",
                                   kDrumPatternFile, err))) {
        return 2;
    }

    // Every output of the run, checked before any work and put in place
    // together at the end. A further output (another audio file) is added
    // here the same way and takes part in the same checks.
    OutputFiles outputs;
    const int songs = o.open.empty() ? o.count : 1;
    for (int i = 0; o.writeMidi && i < songs; ++i) {
        outputs.Add("-o", OutputPath(o.output, i, songs));
    }
    const int wavOutput = o.wav.empty() ? -1 : outputs.Add("--wav", o.wav);
    const int audioOutput = o.audio.empty() ? -1 : outputs.Add("--audio", o.audio);
    if (const int status = outputs.Check(err)) {
        return status;
    }
    // A SoundFont asked for but missing is named, never replaced by another.
    std::optional<OfflineSynth> synth;
    if (wavOutput >= 0 || audioOutput >= 0 || o.play) {
        const SoundFontLookup soundFont = LookUpSoundFont();
        if (!soundFont.path) {
            err << "tontoko-compose: " << soundFont.error << '\n';
            return 1;
        }
        if (wavOutput >= 0 || audioOutput >= 0) {
            synth.emplace(soundFont);
            synth->StartLoading();  // while the songs are composed
        }
    }

    std::ostringstream printout;
    std::vector<uint8_t> bytes;
    if (!o.open.empty()) {
        // A saved song instead of a composed one: it is written again as it
        // was read.
        const std::size_t joined = OpenSong(document, o.open, err);
        if (joined == 0) {
            return 1;
        }
        bytes = document.Write();
        const std::string_view midi(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (o.writeMidi && !outputs.Put(0, midi, err)) {
            return 1;
        }
        printout << "opened " << o.open;
        if (joined > 1) {
            printout << " (" << joined << " joined songs)";
        }
        printout << ", tempo " << int(document.Current().tempo) << '\n';
        PrintSong(printout, document,
                  !o.writeMidi      ? o.open
                  : o.output == "-" ? "(standard output)"
                                    : o.output);
        return Finish(o, synth, bytes, outputs, wavOutput, audioOutput, printout, out, err);
    }

    // The settings, made as the window's controls make them.
    if (o.minor) {
        document.SetMode(Mode::Minor);
    }
    // The shifts add up: one move from 0 is the same as the arrows step by step.
    document.Transpose(o.key);
    if (o.style == StyleChoice::Quarter) {
        document.SetMelodyStyle(MelodyStyle::MoreQuarters);
    } else if (o.style == StyleChoice::Eighth) {
        document.SetMelodyStyle(MelodyStyle::MoreEighths);
    }
    document.SetTempo(o.tempo);
    document.SetInterval(o.interval);
    document.SetProgram(Instrument::Melody, o.melodyProgram - 1);
    document.SetProgram(Instrument::Accompaniment, o.accProgram - 1);
    document.SetProgram(Instrument::Bass, o.bassProgram - 1);
    document.SetDrumSet(o.drumSet - 1);
    document.SetFade(FadeOf(o.fade));
    document.SetDrumsOn(o.drums);
    document.SetAccPattern(o.accPattern - 1);
    if (o.drums) {
        document.SetDrumPattern(o.drumPattern - 1);
    }
    if (o.firstChord == FirstChordChoice::Random) {
        document.SetFirstChord(FirstChord::Random);
    } else if (o.firstDegree == 1) {
        document.SetFirstChord(FirstChord::One);
    } else {
        document.SetFirstChord(FirstChord::Self);
        document.SetFirstChordIndex(o.firstDegree - 1);
    }
    document.SetFinish(o.finish);
    document.SetMotif(o.motif);
    SetVolume(document, VolumeGroup::Melody, o.melodyVolume);
    SetVolume(document, VolumeGroup::Accompaniment, o.accVolume);
    SetVolume(document, VolumeGroup::Bass, o.bassVolume);
    SetVolume(document, VolumeGroup::Drums, o.drumVolume);

    printout << "seed " << seed << ", tempo " << o.tempo << '\n';
    for (int i = 0; i < o.count; ++i) {
        if (!GenerateSong(document, o.form, err)) {
            return 1;
        }
        if (o.randomSounds) {
            document.RandomSounds();
        }
        bytes = document.Write();
        const std::string_view midi(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (!outputs.Put(i, midi, err)) {
            return 1;
        }
        const std::string title = OutputPath(o.output, i, o.count);
        PrintSong(printout, document, title == "-" ? "(standard output)" : title);
    }

    return Finish(o, synth, bytes, outputs, wavOutput, audioOutput, printout, out, err);
}

}  // namespace tontoko::cli
