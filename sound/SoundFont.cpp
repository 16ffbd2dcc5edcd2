#include "sound/SoundFont.h"

#include <cstdlib>
#include <filesystem>

#include "sound/FluidSynth.h"

namespace tontoko {

namespace {

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::string RequiredSoundFont() {
    const char* env = std::getenv("TONTOKO_SOUNDFONT");
    return env ? std::string(env) : std::string();
}

}  // namespace

std::vector<std::string> SoundFontCandidates() {
    std::vector<std::string> candidates;
    if (std::string env = RequiredSoundFont(); !env.empty()) {
        candidates.push_back(std::move(env));
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
        if (IsRegularFile(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

SoundFontLookup LookUpSoundFont(const std::vector<std::string>& candidates,
                                const std::string& required) {
    SoundFontLookup lookup;
    if (!required.empty()) {
        if (!IsRegularFile(required)) {
            lookup.error = "The SoundFont set in TONTOKO_SOUNDFONT does not exist: " + required;
        } else if (!fluid::IsSoundFontFile(required)) {
            lookup.error = "The file set in TONTOKO_SOUNDFONT is not a SoundFont: " + required;
        } else {
            lookup.path = required;
        }
        return lookup;
    }
    for (const std::string& candidate : candidates) {
        if (IsRegularFile(candidate) && fluid::IsSoundFontFile(candidate)) {
            lookup.path = candidate;
            return lookup;
        }
    }
    lookup.error =
        "No SoundFont found: install the package fluid-soundfont-gm or set "
        "TONTOKO_SOUNDFONT to a General MIDI SoundFont (.sf2).";
    return lookup;
}

SoundFontLookup LookUpSoundFont() {
    return LookUpSoundFont(SoundFontCandidates(), RequiredSoundFont());
}

std::optional<std::string> FindSoundFont() {
    return LookUpSoundFont().path;
}

}  // namespace tontoko
