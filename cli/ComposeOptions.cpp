#include "cli/ComposeOptions.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <map>

#include "engine/SongPart.h"
#include "sound/AudioFile.h"

namespace tontoko::cli {

namespace {

constexpr std::size_t kMaxFormLetters = kMaxParts;

// An integer from lo to hi, optionally a multiple of step.
CLI::Validator IntRange(long long lo, long long hi, int step = 1) {
    std::string range = std::to_string(lo) + ".." + std::to_string(hi);
    if (step > 1) {
        range += ", a multiple of " + std::to_string(step);
    }
    return CLI::Validator(
        [lo, hi, step, range](std::string& text) -> std::string {
            long long value = 0;
            std::size_t used = 0;
            try {
                value = std::stoll(text, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used == 0 || used != text.size() || value < lo || value > hi || value % step != 0) {
                return "value " + text + " is not in range " + range;
            }
            return {};
        },
        range);
}

CLI::Validator OneOf(std::vector<std::string> names) {
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : ", ") + name;
    }
    return CLI::Validator(
        [names, list](std::string& text) -> std::string {
            for (const std::string& name : names) {
                if (text == name) {
                    return {};
                }
            }
            return "value " + text + " is not one of " + list;
        },
        list);
}

// A file name whose extension names an audio format.
CLI::Validator AudioFileName() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (AudioFormatOf(text)) {
                return {};
            }
            return "value " + text + " does not end in .wav, .flac or .ogg";
        },
        "FILE.wav|.flac|.ogg");
}

// A song's form: 1 to kMaxFormLetters letters A..Z, either case, made upper
// case.
CLI::Validator FormLetters() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::string upper = text;
            bool letters = !text.empty() && text.size() <= kMaxFormLetters;
            for (char& c : upper) {
                if (c >= 'a' && c <= 'z') {
                    c = static_cast<char>(c - 'a' + 'A');
                }
                letters &= c >= 'A' && c <= 'Z';
            }
            if (!letters) {
                return "value " + text + " is not 1 to " + std::to_string(kMaxFormLetters) +
                       " letters A-Z, one per part (for example AABA)";
            }
            text = upper;
            return {};
        },
        "1 to 8 letters A-Z");
}

}  // namespace

ParseOutcome ParseComposeOptions(int argc, const char* const* argv) {
    ComposeOptions o;
    CLI::App app{
        "Composes songs without the window: Standard MIDI Files, and the last song as "
        "an audio file or through the audio device",
        "tontoko-compose"};
    app.option_defaults()->always_capture_default();
    app.set_version_flag("-v,--version",
                         "tontoko-compose " TONTOKO_VERSION
                         "\nCopyright (c) 2026 The Tontoko developers\n"
                         "\nLicense MIT: <https://opensource.org/licenses/MIT>."
                         "\nThis is free software: you are free to change and redistribute it."
                         "\nThere is NO WARRANTY, to the extent permitted by law.",
                         "Print the version and the licence and exit");

    unsigned long long seed = 0;
    std::string firstChord = "I";
    std::string style = "quarter";
    int melodyVolume = 0, accVolume = 0, bassVolume = 0, drumVolume = 0;
    bool noDrums = false;

    auto* outputOption =
        app.add_option("-o,--output", o.output,
                       "the MIDI file; - writes the song to standard output (one song only), and "
                       "the printout then goes to standard error. A device or FIFO is written "
                       "into, an existing file replaced only once every output is ready");
    app.add_option("--data", o.dataDir, "folder of AccPattern.dat and DrumPattern.dat");
    app.add_option("--open", o.open,
                   "read a song saved by tontoko or tontoko-compose instead of composing one: "
                   "print it as the window shows it, and write it again (-o), export it "
                   "(--audio, --wav) or play it (--play); no composing option goes with it");
    auto* seedOption = app.add_option("--seed", seed, "seed of the random source (clock seconds)")
                           ->check(IntRange(0, 4294967295LL))
                           ->default_str("the clock");
    app.add_option("--key", o.key, "transposition, as the key control")->check(IntRange(-6, 5));
    app.add_flag("--minor", o.minor, "minor instead of major");
    app.add_option("--tempo", o.tempo, "beats per minute")->check(IntRange(40, 240, 5));
    app.add_option("--first-chord", firstChord, "first chord")
        ->check(OneOf({"I", "II", "III", "IV", "V", "VI", "VII", "random"}));
    app.add_option("--style", style, "melody style")->check(OneOf({"quarter", "eighth", "none"}));
    app.add_option("--acc-pattern", o.accPattern, "accompaniment pattern (list position)")
        ->check(IntRange(1, 10));
    app.add_option("--drum-pattern", o.drumPattern, "drum pattern (list position)")
        ->check(IntRange(1, 10));
    app.add_flag("--no-drums", noDrums, "no drum part");
    app.add_option("--melody-program", o.melodyProgram, "melody instrument")
        ->check(IntRange(1, 128));
    app.add_option("--acc-program", o.accProgram, "accompaniment instrument")
        ->check(IntRange(1, 128));
    app.add_option("--bass-program", o.bassProgram, "bass instrument")->check(IntRange(1, 128));
    app.add_option("--drum-set", o.drumSet, "drum set (list position)")->check(IntRange(1, 9));
    app.add_flag("--random-sounds", o.randomSounds, "draw the instruments and the drum set");
    auto* mv = app.add_option("--melody-volume", melodyVolume, "melody volume")
                   ->check(IntRange(0, 120, 5))
                   ->default_str("unset: velocity 110");
    auto* av = app.add_option("--acc-volume", accVolume, "accompaniment volume")
                   ->check(IntRange(0, 120, 5))
                   ->default_str("unset: velocity 110");
    auto* bv = app.add_option("--bass-volume", bassVolume, "bass volume")
                   ->check(IntRange(0, 120, 5))
                   ->default_str("unset: velocity 110");
    auto* dv = app.add_option("--drum-volume", drumVolume, "drum volume")
                   ->check(IntRange(0, 120, 5))
                   ->default_str("unset: velocity 110");
    app.add_option("--fade", o.fade, "fade")->check(OneOf({"normal", "in", "out"}));
    app.add_option("--interval", o.interval, "beats before the song")->check(IntRange(0, 4));
    app.add_option("--count", o.count, "songs in a row")->check(IntRange(1, 10000));
    app.add_option("--wav", o.wav,
                   "also export the (last) song to this WAV file (not the MIDI file's name)");
    app.add_option(
           "--audio", o.audio,
           "also export the (last) song to this audio file, in the format its extension "
           "names: .wav (16-bit), .flac or .ogg (Ogg Vorbis), 44.1 kHz stereo (not the MIDI "
           "file's name)")
        ->check(AudioFileName());
    app.add_flag("--play", o.play,
                 "play the (last) song through the audio device once every file is written, and "
                 "wait for its end; Ctrl+C stops it");
    app.add_flag("--finish", o.finish,
                 "finish each song as the window's box \"きれいに仕上げる\" does: the progression "
                 "ends on I, I, the melody keeps the chord tones on the strong beats, "
                 "moves smoothly and ends on the tonic (no further random draw; the printout shows "
                 "the finished song)");
    app.add_flag("--motif", o.motif,
                 "repeat each melody's first measure in its third, as the window's box "
                 "\"くりかえしのあるメロディ\" does: the same rhythm and the same steps along the "
                 "scale, from a note of the third measure's chord (no further random draw)");
    app.add_option("--form", o.form,
                   "compose each song as parts of four measures in this form, one letter per "
                   "part (1 to 8 letters A-Z, either case; e.g. --form AABA gives 16 measures): "
                   "a new letter is a freshly generated part (chords, then melody, as the "
                   "window's generate buttons make them, the first chord as set), a repeated "
                   "letter repeats that part exactly; --finish and --motif apply to every part. "
                   "Without it, a song is one part")
        ->type_name("LETTERS")
        ->transform(FormLetters());

    ParseOutcome outcome;
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        outcome.message = app.help();
        return outcome;
    } catch (const CLI::CallForVersion& version) {
        outcome.message = version.what();
        return outcome;
    } catch (const CLI::ParseError& error) {
        outcome.exitCode = 2;
        outcome.message = std::string("tontoko-compose: ") + error.what();
        return outcome;
    }

    if (!o.open.empty()) {
        // A song read is not composed: the options that compose one do not
        // apply to it.
        for (const char* option : {"--seed",           "--key",           "--minor",
                                   "--tempo",          "--first-chord",   "--style",
                                   "--acc-pattern",    "--drum-pattern",  "--no-drums",
                                   "--melody-program", "--acc-program",   "--bass-program",
                                   "--drum-set",       "--random-sounds", "--melody-volume",
                                   "--acc-volume",     "--bass-volume",   "--drum-volume",
                                   "--fade",           "--interval",      "--count",
                                   "--finish",         "--motif",         "--form"}) {
            if (app.count(option) > 0) {
                outcome.exitCode = 2;
                outcome.message = std::string("tontoko-compose: --open reads a saved song; ") +
                                  option + " composes one and cannot be used with it";
                return outcome;
            }
        }
        o.writeMidi = outputOption->count() > 0;
    }
    if (o.output == "-" && o.count > 1) {
        outcome.exitCode = 2;
        outcome.message =
            "tontoko-compose: -o -: standard output takes one song; give a file name for --count " +
            std::to_string(o.count);
        return outcome;
    }
    if (*seedOption) {
        o.seed = static_cast<uint32_t>(seed);
    }
    static const std::map<std::string, int> kDegrees{{"I", 1}, {"II", 2}, {"III", 3}, {"IV", 4},
                                                     {"V", 5}, {"VI", 6}, {"VII", 7}};
    if (firstChord == "random") {
        o.firstChord = FirstChordChoice::Random;
    } else {
        o.firstDegree = kDegrees.at(firstChord);
    }
    o.style = style == "eighth" ? StyleChoice::Eighth
              : style == "none" ? StyleChoice::None
                                : StyleChoice::Quarter;
    o.drums = !noDrums;
    if (*mv)
        o.melodyVolume = melodyVolume;
    if (*av)
        o.accVolume = accVolume;
    if (*bv)
        o.bassVolume = bassVolume;
    if (*dv)
        o.drumVolume = drumVolume;
    outcome.options = o;
    return outcome;
}

std::string OutputPath(const std::string& output, int index, int count) {
    if (count <= 1) {
        return output;
    }
    const std::filesystem::path path(output);
    char number[16];
    std::snprintf(number, sizeof number, "-%03d", index + 1);
    std::filesystem::path name = path.stem();
    name += number;
    name += path.extension();
    return (path.parent_path() / name).string();
}

}  // namespace tontoko::cli
