#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tontoko::cli {

enum class FirstChordChoice { Degree, Random };
enum class StyleChoice { Quarter, Eighth, None };

// Every setting of the window, as given on the command line.
struct ComposeOptions {
    std::string output = "song.mid";
    std::string dataDir;  // empty: the working directory
    std::optional<uint32_t> seed;
    int key = 0;
    bool minor = false;
    int tempo = 120;
    FirstChordChoice firstChord = FirstChordChoice::Degree;
    int firstDegree = 1;  // 1..7 when firstChord is Degree
    StyleChoice style = StyleChoice::Quarter;
    int accPattern = 1;  // 1-based
    int drumPattern = 1;
    bool drums = true;
    int melodyProgram = 1;  // 1..128, as numbered in the list
    int accProgram = 1;
    int bassProgram = 1;
    int drumSet = 1;  // 1..9
    bool randomSounds = false;
    std::optional<int> melodyVolume, accVolume, bassVolume, drumVolume;
    std::string fade = "normal";  // normal, in, out
    int interval = 0;
    int count = 1;
    std::string wav;      // empty: no WAV file
    std::string audio;    // empty: no audio file; else WAV, FLAC or Ogg by extension
    bool play = false;    // play the last song through the audio device
    bool finish = false;  // the finishing pass after each generation
    bool motif = false;   // measure 3 takes up measure 1's melody
    // The parts of each song, one letter (A..Z) each: a new letter a freshly
    // generated part, a repeated one that part again. Empty: one part.
    std::string form;
    std::string open;       // a saved song read instead of composing one
    bool writeMidi = true;  // with --open, only when -o is given
};

// The outcome of parsing: options, or an exit status with a message.
struct ParseOutcome {
    std::optional<ComposeOptions> options;
    int exitCode = 0;
    std::string message;  // for stderr (errors) or stdout (help)
};

// Parses the arguments; a bad value gives exit status 2 and a message naming the
// option and its range.
ParseOutcome ParseComposeOptions(int argc, const char* const* argv);

// The MIDI file of song `index` (0-based) of `count`: FILE itself for one song,
// else FILE's stem + "-001" ... + its extension.
std::string OutputPath(const std::string& output, int index, int count);

}  // namespace tontoko::cli
