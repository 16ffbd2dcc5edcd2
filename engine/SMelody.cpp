#include "engine/SMelody.h"

namespace tontoko {

const std::array<std::string, 12>& SMelody::Names() {
    static const std::array<std::string, 12> names{"ド",  "ド#", "レ", "ﾚ#", "ミ", "ﾌｧ",
                                                   "ﾌｧ#", "ソ",  "ｿ#", "ラ", "ﾗ#", "シ"};
    return names;
}

void SMelody::ShiftScale(int d) {
    for (uint8_t& note : scale_) {
        note = uint8_t(note + d);
    }
}

const std::string& SMelody::NameOf(uint8_t v) const {
    static const std::string empty;
    return v == 0 ? empty : Names()[v % 12];
}

bool SMelody::InKey(uint8_t n, Mode mode) const {
    const int k = mode == Mode::Minor ? 3 : 0;
    for (uint8_t note : scale_) {
        if (n % 12 == (note + k) % 12) {
            return true;
        }
    }
    return false;
}

uint8_t SMelody::Snap(uint8_t n, int direction, Mode mode) const {
    if (InKey(n, mode)) {
        return n;
    }
    return direction == 1 ? uint8_t(n - 1) : uint8_t(n + 1);
}

std::string DisplayName(const SMelody& melody, int pitch, int transposition) {
    return melody.NameOf(uint8_t(pitch - transposition));
}

std::string OctaveText(int pitch, int transposition) {
    return std::to_string((pitch - transposition) / 12 - 6);
}

}  // namespace tontoko
