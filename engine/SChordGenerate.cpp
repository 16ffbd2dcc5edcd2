#include "engine/SChordGenerate.h"

#include <numeric>

#include "engine/Random.h"

namespace tontoko {

const std::array<SChordGenerate::Row, 7>& SChordGenerate::PresetTable(Preset preset) {
    static const std::array<Row, 7> major{{{0, 5, 5, 40, 40, 5, 5},
                                           {0, 0, 10, 0, 80, 0, 10},
                                           {0, 0, 0, 80, 0, 20, 0},
                                           {40, 10, 0, 0, 40, 0, 10},
                                           {60, 0, 20, 0, 0, 20, 0},
                                           {0, 20, 0, 60, 0, 0, 20},
                                           {80, 0, 20, 0, 0, 0, 0}}};
    static const std::array<Row, 7> minor{{{0, 30, 4, 30, 30, 3, 3},
                                           {0, 0, 20, 0, 60, 0, 20},
                                           {0, 0, 0, 80, 0, 20, 0},
                                           {30, 30, 0, 0, 30, 0, 10},
                                           {60, 0, 20, 0, 0, 20, 0},
                                           {0, 40, 0, 40, 0, 0, 20},
                                           {80, 0, 20, 0, 0, 0, 0}}};
    return preset == Preset::Major ? major : minor;
}

void SChordGenerate::LoadPreset(Preset preset) {
    percent_ = PresetTable(preset);
}

const SChord& SChordGenerate::NextChord(const SChord& current, const std::array<SChord, 7>& nodes,
                                        Random& random) const {
    const int r = current.Degree() - 1;
    const int d = random.Below(100) + 1;
    if (equal_.at(r)) {
        return *current.Successor(random.Below(current.SuccessorCount()));
    }
    int s = 0;
    for (int c = 0; c < 7; ++c) {
        if (s < d && d <= s + percent_[r][c]) {
            return nodes[c];
        }
        s += percent_[r][c];
    }
    // Unreachable for a valid row; stay on the current chord rather than fail.
    return current;
}

std::vector<std::string> SChordGenerate::ValidateTable() const {
    std::vector<std::string> warnings;
    for (int r = 0; r < 7; ++r) {
        if (std::accumulate(percent_[r].begin(), percent_[r].end(), 0) != 100) {
            warnings.push_back(DegreeLabel(r + 1) +
                               "の和音から進む，確率の合計を\n100に合わせてください．");
        }
    }
    return warnings;
}

const std::string& DegreeLabel(int degree) {
    static const std::array<std::string, 7> labels{"Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ", "Ⅴ", "Ⅵ", "Ⅶ"};
    return labels.at(degree - 1);
}

}  // namespace tontoko
