#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/MessageCaptions.h"
#include "engine/SChord.h"
#include "engine/TimeGrid.h"

namespace tontoko {

class Random;

enum class Preset { Major, Minor };
// Who decides the first chord of a progression.
enum class FirstChord { One, Random, Self };

// The 7 x 7 transition table between degrees, with one equal-probability flag
// per row.
class SChordGenerate {
  public:
    using Row = std::array<int, 7>;

    void SetRow(int row, const Row& values) { percent_.at(row) = values; }
    void SetPercent(int row, int column, int value) { percent_.at(row).at(column) = value; }
    int Percent(int row, int column) const { return percent_.at(row).at(column); }
    const Row& RowValues(int row) const { return percent_.at(row); }
    void SetEqual(int row, bool equal) { equal_.at(row) = equal; }
    bool IsEqual(int row) const { return equal_.at(row); }

    // Replaces all 49 values; the equal flags stay.
    void LoadPreset(Preset preset);
    static const std::array<Row, 7>& PresetTable(Preset preset);

    // Draws the chord that follows `current`. `nodes` are the seven chord nodes in
    // degree order.
    const SChord& NextChord(const SChord& current, const std::array<SChord, 7>& nodes,
                            Random& random) const;

    // One warning text per row whose sum is not 100, in row order; empty when
    // the table is valid. The caption of each is WarningCaption().
    std::vector<std::string> ValidateTable() const;
    static const char* WarningCaption() { return captions::kWarning; }

  private:
    std::array<Row, 7> percent_{};
    std::array<bool, 7> equal_{};
};

// Full-width Roman numerals "Ⅰ".."Ⅶ" for degree 1..7.
const std::string& DegreeLabel(int degree);

}  // namespace tontoko
