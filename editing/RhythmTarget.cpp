#include "editing/RhythmTarget.h"

#include "editing/RhythmStore.h"

namespace tontoko {

void RhythmTarget::ApplyRhythm(int measure, const std::string& pattern) {
    static const QString kStar = QStringLiteral("*");
    const int length = static_cast<int>(RhythmStore::kPatternLength);
    if (static_cast<int>(pattern.size()) < length) {
        return;
    }
    const int base = length * (measure - 1);
    for (int i = 0; i < length; ++i) {
        SetMelodyMark(base + i, static_cast<uint8_t>(pattern[i] - '0'));
    }
    for (int n = 0; n < length; n += 2) {
        SetMelodyCell(measure, n / 2, MelodyMark(base + n) != 0 ? kStar : QString());
        SetOctaveCell(measure, n / 2, QString());
    }
    CheckFixRhythm(measure);
}

}  // namespace tontoko
