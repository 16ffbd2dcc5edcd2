#include "cli/SongForm.h"

#include <algorithm>

#include "document/SongDocument.h"

namespace tontoko::cli {

namespace {

// Chords, then the melody, on the part shown.
bool GeneratePart(SongDocument& document, std::ostream& err) {
    const ProgressionResult progression = document.GenerateChords();
    if (!progression.generated) {
        for (const std::string& warning : progression.warnings) {
            err << "tontoko-compose: " << warning << '\n';
        }
        return false;
    }
    document.GenerateMelody();
    return true;
}

}  // namespace

bool GenerateSong(SongDocument& document, const std::string& form, std::ostream& err) {
    if (form.empty()) {
        return GeneratePart(document, err);
    }
    const int parts = static_cast<int>(form.size());
    for (int p = 0; p < parts; ++p) {
        const int first = static_cast<int>(form.find(form[static_cast<std::size_t>(p)]));
        // Part p laid out as a copy: of the part before it for a new letter,
        // of the letter's first part for a repeated one.
        SongState state = document.Snapshot();
        state.partCount = static_cast<uint8_t>(std::max(int(state.partCount), p + 1));
        if (p > 0) {
            state.parts[p] = state.parts[first == p ? p - 1 : first];
        }
        document.Restore(state);
        if (first == p) {
            document.SetPosition(p);
            if (!GeneratePart(document, err)) {
                return false;
            }
        }
    }
    // Parts a longer song of the run left behind go.
    SongState state = document.Snapshot();
    state.partCount = static_cast<uint8_t>(parts);
    document.Restore(state);
    document.SetPosition(0);
    return true;
}

}  // namespace tontoko::cli
