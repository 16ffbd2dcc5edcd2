#include "app/JoinedSongMessage.h"

#include <QStringList>

#include "app/MainTexts.h"
#include "engine/SDur.h"
#include "render/PatternLibrary.h"
#include "render/SoundSettings.h"

namespace tontoko {

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString NameOf(JoinedSetting setting) {
    switch (setting) {
        case JoinedSetting::Key:
            return Q(texts::kJoinedKey);
        case JoinedSetting::MelodyProgram:
            return Q(texts::kStepProgramMelody);
        case JoinedSetting::AccProgram:
            return Q(texts::kStepProgramAcc);
        case JoinedSetting::BassProgram:
            return Q(texts::kStepProgramBase);
        case JoinedSetting::DrumSet:
            return Q(texts::kStepDrumSet);
        case JoinedSetting::AccPattern:
            return Q(texts::kAccPattern);
        case JoinedSetting::DrumsOn:
            return Q(texts::kJoinedDrumsOn);
        case JoinedSetting::DrumPattern:
            return Q(texts::kDrumPattern);
        case JoinedSetting::Fade:
            return Q(texts::kJoinedFade);
        case JoinedSetting::Interval:
            return Q(texts::kInterval);
        case JoinedSetting::MelodyVelocity:
            return Q(texts::kStepVolumeMelody);
        case JoinedSetting::AccVelocity:
            return Q(texts::kStepVolumeAcc);
        case JoinedSetting::BassVelocity:
            return Q(texts::kStepVolumeBase);
        case JoinedSetting::DrumVelocity:
            break;
    }
    return Q(texts::kStepVolumeDrum);
}

template <typename List>
QString PatternName(const List& list, int position) {
    if (position < 0 || position >= int(list.size())) {
        return Q(texts::kJoinedNoPattern);
    }
    return QString::fromStdString(list[size_t(position)].name);
}

// A value as the control that sets it shows it.
QString ValueText(JoinedSetting setting, int value, const PatternLibrary& patterns) {
    switch (setting) {
        case JoinedSetting::Key:
            return QString::fromStdString(SDur::Names().at(size_t(value)));
        case JoinedSetting::MelodyProgram:
        case JoinedSetting::AccProgram:
        case JoinedSetting::BassProgram:
            return QString::fromStdString(InstrumentNames().at(size_t(value)));
        case JoinedSetting::DrumSet:
            return Q(DrumSets().at(size_t(value)).name);
        case JoinedSetting::AccPattern:
            return PatternName(patterns.acc, value);
        case JoinedSetting::DrumPattern:
            return PatternName(patterns.drums, value);
        case JoinedSetting::DrumsOn:
            return Q(value ? texts::kJoinedOn : texts::kJoinedOff);
        case JoinedSetting::Fade:
            return Q(value == int(FadeMode::FadeIn)    ? texts::kFadeIn
                     : value == int(FadeMode::FadeOut) ? texts::kFadeOut
                                                       : texts::kNormal);
        case JoinedSetting::Interval:
            return Q(texts::kJoinedBeats).arg(value);
        case JoinedSetting::MelodyVelocity:
        case JoinedSetting::AccVelocity:
        case JoinedSetting::BassVelocity:
        case JoinedSetting::DrumVelocity:
            break;
    }
    return QString::number(value);
}

}  // namespace

QString JoinedDifferencesText(const std::vector<JoinedDifference>& differences,
                              const PatternLibrary& patterns) {
    QStringList lines;
    for (const JoinedDifference& difference : differences) {
        QStringList others;
        for (const JoinedDifference::Other& other : difference.others) {
            others << Q(texts::kJoinedOther)
                          .arg(other.song)
                          .arg(ValueText(difference.setting, other.value, patterns));
        }
        lines << Q(texts::kJoinedLine)
                     .arg(NameOf(difference.setting),
                          ValueText(difference.setting, difference.taken, patterns),
                          others.join(Q(texts::kJoinedSeparator)));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace tontoko
