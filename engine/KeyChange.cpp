#include "engine/KeyChange.h"

#include <algorithm>

#include "engine/Song.h"

namespace tontoko {

namespace {

// Offsets (tone 0, tone 1, tone 2, bass) that re-voice each degree from the
// major scale onto the relative natural minor.
constexpr int kToMinor[kChordNodes][4] = {
    {-3, -4, -3, -3},  // I
    {-3, -3, -4, -3},  // II
    {-4, -3, -4, -4},  // III
    {-3, -4, -3, -3},  // IV
    {-3, -4, -3, -3},  // V
    {-4, -3, -4, -4},  // VI
    {-4, -3, -3, -4},  // VII
};

void SwitchMode(Song& song, Mode mode) {
    const int sign = mode == Mode::Minor ? 1 : -1;
    song.chordGenerate.LoadPreset(mode == Mode::Minor ? Preset::Minor : Preset::Major);
    for (int k = 0; k < kChordNodes; ++k) {
        const int* o = kToMinor[k];
        song.nodes[k].Shift(sign * o[0], sign * o[1], sign * o[2], sign * o[3]);
    }
    song.melody.ShiftScale(-3 * sign);
    song.dur.SetMode(mode);
}

}  // namespace

int Transpose(Song& song, int previousValue, int proposedValue) {
    const int v = std::clamp(proposedValue, -6, 5);
    song.dur.SetTonic(v < 0 ? v + 12 : v);
    const int d = v - previousValue;
    for (SChord& node : song.nodes) {
        node.Shift(d, d, d, d);
    }
    song.melody.ShiftScale(d);
    song.MelodyPitches().ShiftPitches(d);
    return d;
}

bool SwitchToMinor(Song& song) {
    if (song.dur.KeyMode() == Mode::Minor) {
        return false;
    }
    SwitchMode(song, Mode::Minor);
    return true;
}

bool SwitchToMajor(Song& song) {
    if (song.dur.KeyMode() == Mode::Major) {
        return false;
    }
    SwitchMode(song, Mode::Major);
    return true;
}

}  // namespace tontoko
