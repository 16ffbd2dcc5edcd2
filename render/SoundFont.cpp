#include "render/SoundFont.h"

#include <cstdlib>
#include <filesystem>

#include "render/FluidSynth.h"

namespace tontoko {

std::vector<std::string> SoundFontCandidates() {
    std::vector<std::string> candidates;
    if (const char* env = std::getenv("TONTOKO_SOUNDFONT"); env && *env) {
        candidates.emplace_back(env);
    }
    candidates.emplace_back("/usr/share/sounds/sf2/FluidR3_GM.sf2");
    candidates.emplace_back("/usr/share/sounds/sf2/TimGM6mb.sf2");
    if (std::string fallback = fluid::DefaultSoundFont(); !fallback.empty()) {
        candidates.push_back(std::move(fallback));
    }
    return candidates;
}

std::optional<std::string> FirstExistingFile(const std::vector<std::string>& candidates) {
    for (const std::string& candidate : candidates) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::optional<std::string> FindSoundFont() {
    return FirstExistingFile(SoundFontCandidates());
}

}  // namespace tontoko
