#pragma once

#include <sys/types.h>

#include <cstddef>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "files/StagedFile.h"

namespace tontoko::cli {

// Every file one run of the composer writes (the songs, the WAV file, any
// further output), handled together so that a run either puts all of them in
// place or replaces none:
// 1. Add each output, then Check them all before any work: a folder (or a
//    link to one) in an output's place, a missing or unwritable folder, or two
//    outputs naming the same file (also through links) stop the run.
// 2. Put each output's bytes, or let another writer fill StagingPath(i). A
//    regular file is staged as a temporary beside it; standard output ("-")
//    and an existing device or FIFO are kept for a direct write.
// 3. Commit: one flush of the staged files to the disk, then every rename (no
//    cleanup signal in between), one flush of each folder, then the direct
//    writes. Until then, nothing existing has changed; staged temporaries
//    are registered with the TempRegistry and removed on failure or signal.
class OutputFiles {
  public:
    enum class Kind { Stdout, Special, Regular };

    OutputFiles() = default;
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // `option` names the output in messages ("-o", "--wav"); `name` "-" is
    // standard output. Returns the output's index.
    int Add(std::string option, std::string name);

    // Returns 0 when every output can be written, 2 when two outputs are the
    // same file, 1 for any other problem; each problem is written to `err`.
    // Opens the existing devices and FIFOs for writing (a FIFO waits for its
    // reader here).
    int Check(std::ostream& err);

    bool UsesStdout() const;

    // The contents of output `index`.
    bool Put(int index, std::string_view bytes, std::ostream& err);
    // A file holding what was Put for output `index`, for a writer that reads
    // it (the audio export reads the song from a file).
    std::optional<std::string> ContentPath(int index, std::ostream& err);
    // An empty file for another writer to fill with output `index`'s contents,
    // in place of Put.
    std::optional<std::string> StagingPath(int index, std::ostream& err);

    // Puts every output in place. False, with a message, when something
    // could not be written.
    bool Commit(std::ostream& err);

  private:
    struct Output {
        std::string option;
        std::string name;
        Kind kind = Kind::Regular;
        std::string target;    // Regular: the file renamed onto (links followed)
        std::string identity;  // equal for two names of the same file
        int fd = -1;           // Special: open for writing; Stdout: 1
        StagedFile staged;     // Regular: beside the target; else a scratch copy
        std::string bytes;     // Special and Stdout: what Put gave
        bool filled = false;
    };

    bool Classify(Output& output, std::ostream& err);
    const std::string* CanonicalFolder(const std::string& folder, std::error_code& ec);
    bool Report(const Output& output, int error, std::ostream& err) const;
    bool SyncStaged(std::ostream& err);
    bool WriteDirect(Output& output, std::ostream& err);
    std::optional<std::string> ScratchFile(Output& output, std::ostream& err);

    std::vector<Output> outputs_;
    std::map<std::string, std::string> canonicalFolders_;  // folder, its canonical name
};

}  // namespace tontoko::cli
