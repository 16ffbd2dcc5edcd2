#pragma once

#include <ostream>
#include <string>

namespace tontoko {
class SongDocument;
}

namespace tontoko::cli {

// Generates the song's chords and melody as the window's two generate
// buttons do, part by part in the form's order: a new letter is a part made
// as "4小節ふやす" makes one (a copy of the part before it) and generated
// afresh, a repeated letter repeats that part exactly. An empty form is one
// part, generated in place. The part shown is the first afterwards. False,
// with the generator's warnings on `err`, when no progression can be made.
bool GenerateSong(SongDocument& document, const std::string& form, std::ostream& err);

}  // namespace tontoko::cli
