#include "cli/JoinedWarning.h"

#include "engine/SDur.h"
#include "render/PatternLibrary.h"
#include "render/SoundSettings.h"

namespace tontoko::cli {

namespace {

const char* NameOf(JoinedSetting setting) {
    switch (setting) {
        case JoinedSetting::Key:
            return "key";
        case JoinedSetting::MelodyProgram:
            return "melody program";
        case JoinedSetting::AccProgram:
            return "accompaniment program";
        case JoinedSetting::BassProgram:
            return "bass program";
        case JoinedSetting::DrumSet:
            return "drum set";
        case JoinedSetting::AccPattern:
            return "accompaniment pattern";
        case JoinedSetting::DrumsOn:
            return "drum part";
        case JoinedSetting::DrumPattern:
            return "drum pattern";
        case JoinedSetting::Fade:
            return "fade";
        case JoinedSetting::Interval:
            return "interval";
        case JoinedSetting::MelodyVelocity:
            return "melody velocity";
        case JoinedSetting::AccVelocity:
            return "accompaniment velocity";
        case JoinedSetting::BassVelocity:
            return "bass velocity";
        case JoinedSetting::DrumVelocity:
            break;
    }
    return "drum velocity";
}

template <typename List>
std::string PatternText(const List& list, int position) {
    if (position < 0 || position >= static_cast<int>(list.size())) {
        return "not in the pattern files";
    }
    return std::to_string(position + 1) + " " + list[static_cast<std::size_t>(position)].name;
}

// A value as the composer's options give it (positions counted from 1).
std::string ValueText(JoinedSetting setting, int value, const PatternLibrary& patterns) {
    switch (setting) {
        case JoinedSetting::Key:
            return SDur::Names().at(static_cast<std::size_t>(value));
        case JoinedSetting::MelodyProgram:
        case JoinedSetting::AccProgram:
        case JoinedSetting::BassProgram:
            return std::to_string(value + 1);
        case JoinedSetting::DrumSet:
            return DrumSets().at(static_cast<std::size_t>(value)).name;
        case JoinedSetting::AccPattern:
            return PatternText(patterns.acc, value);
        case JoinedSetting::DrumPattern:
            return PatternText(patterns.drums, value);
        case JoinedSetting::DrumsOn:
            return value ? "on" : "off";
        case JoinedSetting::Fade:
            return value == static_cast<int>(FadeMode::FadeIn)    ? "in"
                   : value == static_cast<int>(FadeMode::FadeOut) ? "out"
                                                                  : "normal";
        case JoinedSetting::Interval:
            return std::to_string(value) + (value == 1 ? " beat" : " beats");
        case JoinedSetting::MelodyVelocity:
        case JoinedSetting::AccVelocity:
        case JoinedSetting::BassVelocity:
        case JoinedSetting::DrumVelocity:
            break;
    }
    return std::to_string(value);
}

}  // namespace

void WarnJoined(std::ostream& err, const std::string& path, std::size_t songs,
                const JoinedSong& joined, const PatternLibrary& patterns) {
    if (joined.differences.empty()) {
        return;
    }
    err << "tontoko-compose: warning: " << path << ": " << songs
        << " joined songs opened as one song of " << joined.measures
        << " measures; they differ, and the first song's settings are taken:\n";
    for (const JoinedDifference& difference : joined.differences) {
        err << "  " << NameOf(difference.setting) << ": "
            << ValueText(difference.setting, difference.taken, patterns) << " (";
        for (std::size_t i = 0; i < difference.others.size(); ++i) {
            const JoinedDifference::Other& other = difference.others[i];
            err << (i ? ", " : "") << "song " << other.song << ": "
                << ValueText(difference.setting, other.value, patterns);
        }
        err << ")\n";
    }
}

}  // namespace tontoko::cli
