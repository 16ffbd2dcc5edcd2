#include "cli/SongPrinter.h"

#include <cstdint>

#include "document/SongDocument.h"
#include "engine/SChordGenerate.h"
#include "engine/SMelody.h"
#include "engine/TimeGrid.h"

namespace tontoko::cli {

namespace {

constexpr int kCellWidth = 5;
constexpr int kCellsPerMeasure = 8;

std::string Pad(const std::string& text, int width) {
    const int used = DisplayWidth(text);
    return text + std::string(used < width ? width - used : 1, ' ');
}

// Whether two parts sound the same: chords and melody.
bool SameMusic(const SongPart& a, const SongPart& b) {
    return a.degrees == b.degrees && a.marks == b.marks && a.pitches == b.pitches;
}

}  // namespace

int DisplayWidth(const std::string& text) {
    int width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        char32_t code = lead;
        std::size_t length = 1;
        if (lead >= 0xF0) {
            length = 4;
            code = lead & 0x07;
        } else if (lead >= 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xC0) {
            length = 2;
            code = lead & 0x1F;
        }
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        i += length;
        const bool halfWidthKana = code >= 0xFF61 && code <= 0xFF9F;
        width += (code >= 0x1100 && !halfWidthKana) ? 2 : 1;
    }
    return width;
}

void PrintSong(std::ostream& out, const SongDocument& document, const std::string& title) {
    const SongState& state = document.Current();
    const SMelody& names = document.Engine().melody;
    out << title << "  " << document.Engine().dur.KeyName() << '\n';
    for (int part = 0; part < state.partCount; ++part) {
        const SongPart& shown = state.parts[part];
        if (state.partCount > 1) {
            out << "  パート" << part + 1 << "（" << kMeasures * part + 1 << "〜"
                << kMeasures * (part + 1) << "小節目）";
            for (int earlier = 0; earlier < part; ++earlier) {
                if (SameMusic(state.parts[earlier], shown)) {
                    out << "　パート" << earlier + 1 << "とおなじ";
                    break;
                }
            }
            out << '\n';
        }
        for (int measure = 0; measure < kMeasures; ++measure) {
            out << "  " << kMeasures * part + measure + 1 << "小節目  和音 "
                << DegreeLabel(shown.degrees[2 * measure]) << " "
                << DegreeLabel(shown.degrees[2 * measure + 1]) << '\n';
            std::string nameRow = "    音名       ";
            std::string octaveRow = "    オクターブ ";
            for (int cell = 0; cell < kCellsPerMeasure; ++cell) {
                const int step = measure * kStepsPerMeasure + 2 * cell;
                std::string name = "-";
                std::string octave = "-";
                if (shown.marks[step] != 0) {
                    // The grids read the stored pitch as a signed byte.
                    const int pitch = static_cast<int8_t>(shown.pitches[step]);
                    name = DisplayName(names, pitch, state.transposition);
                    octave = OctaveText(pitch, state.transposition);
                }
                nameRow += Pad(name, kCellWidth);
                octaveRow += Pad(octave, kCellWidth);
            }
            out << nameRow << '\n' << octaveRow << '\n';
        }
    }
}

}  // namespace tontoko::cli
