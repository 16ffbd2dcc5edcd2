// The song document: its snapshot is a small value that Restore sets back
// directly, and its operations change what their user actions change.
#include <gtest/gtest.h>

#include <filesystem>

#include "document/SongDocument.h"

namespace tontoko {
namespace {

const std::filesystem::path kData = std::filesystem::path(TONTOKO_SOURCE_DIR) / "data";

SongDocument& Loaded(SongDocument& document) {
    document.LoadPatterns(kData);
    return document;
}

TEST(SongDocument, TheSnapshotIsAPlainValueOfAtMostFourKilobytes) {
    static_assert(std::is_trivially_copyable_v<SongState>);
    EXPECT_LE(sizeof(SongState), 4096u);
}

TEST(SongDocument, RestoreSetsTheStateDirectlyWithoutPresetsOrShifts) {
    SongDocument document(7);
    Loaded(document);
    document.SetMelodyStyle(MelodyStyle::MoreEighths);
    document.GenerateChords();
    document.GenerateMelody();
    document.SetPercent(0, 3, 55);  // a row the preset would undo
    document.SetKeyFeel(KeyFeel::Own);
    document.Transpose(-1);
    document.Transpose(-2);
    const SongState edited = document.Snapshot();
    const std::vector<uint8_t> bytes = document.Write();

    document.SetKeyFeel(KeyFeel::Dark);  // loads the minor preset
    document.Transpose(-1);
    document.SetVolume(VolumeGroup::Melody, 35);
    document.ClearAll();
    ASSERT_NE(document.Snapshot(), edited);

    document.Restore(edited);
    EXPECT_EQ(document.Snapshot(), edited);
    EXPECT_EQ(document.Engine().chordGenerate.Percent(0, 3), 55) << "no preset was loaded";
    EXPECT_EQ(document.Engine().dur.KeyName(), "変ロ長調");
    EXPECT_EQ(document.Engine().dur.Tonic(), 10);
    // The notes are where they were, not shifted once more.
    for (int s = 0; s < kSongSteps; ++s) {
        EXPECT_EQ(document.Engine().MelodyPitches().Pitch(s), edited.parts[0].pitches[s]) << s;
    }
    // The same song, written again, apart from what the writer carried over:
    // the second write of it is the same as the second write before.
    document.Write();
    const std::vector<uint8_t> again = document.Write();
    document.Restore(edited);
    EXPECT_EQ(document.Write(), again);
    EXPECT_EQ(bytes.size(), again.size());
}

TEST(SongDocument, TheRandomSourceIsNotPartOfTheState) {
    SongDocument document(11);
    Loaded(document);
    const SongState start = document.Snapshot();
    document.GenerateMelody();
    const SongState first = document.Snapshot();
    document.Restore(start);
    document.GenerateMelody();
    EXPECT_NE(document.Snapshot(), first) << "generating again after a restore makes a new song";
}

TEST(SongDocument, AMelodyIsFixedOnlyWithinAFixedRhythm) {
    SongDocument document(3);
    document.SetFixMelody(2, true);
    EXPECT_FALSE(document.Current().parts[0].fixed[1][1]);
    document.SetFixRhythm(2, true);
    document.SetFixMelody(2, true);
    EXPECT_TRUE(document.Engine().IsFixed(1, 1));
    document.SetFixRhythm(2, false);
    EXPECT_FALSE(document.Engine().IsFixed(1, 0));
    EXPECT_FALSE(document.Engine().IsFixed(1, 1));
    // Out of range changes nothing.
    const SongState before = document.Snapshot();
    document.SetFixRhythm(0, true);
    document.SetFixRhythm(5, true);
    document.SetChord(8, 2);
    document.SetChord(0, 9);
    document.SetOnsetMark(64, 1);
    EXPECT_EQ(document.Snapshot(), before);
}

TEST(SongDocument, TheTempoRadiosSetTheTempoAndTheOwnRadioKeepsIt) {
    SongDocument document(1);
    document.SetTempoChoice(TempoChoice::Fast);
    EXPECT_EQ(document.Current().tempo, 180);
    document.SetTempoChoice(TempoChoice::Own);
    EXPECT_EQ(document.Current().tempo, 180);
    document.SetTempo(95);
    document.SetTempoChoice(TempoChoice::Slow);
    EXPECT_EQ(document.Current().tempo, 60);
    document.SetFirstChord(FirstChord::Self);
    document.SetFirstChordIndex(5);
    document.SetFirstChord(FirstChord::Random);
    EXPECT_EQ(document.Current().firstChordIndex, 5);
    document.SetFirstChord(FirstChord::One);
    EXPECT_EQ(document.Current().firstChordIndex, 0);
}

TEST(SongDocument, AVolumeSetsTheVoicesOfItsGroupAndShowsItsValue) {
    SongDocument document(1);
    EXPECT_EQ(document.Current().volumes[size_t(VolumeGroup::Melody)], 120);
    EXPECT_EQ(document.Current().velocities[kMelodyVoice], 110) << "as at start-up";
    document.SetVolume(VolumeGroup::Accompaniment, 45);
    for (int v = 0; v < kVoiceCount; ++v) {
        EXPECT_EQ(document.Current().velocities[v], v >= 1 && v <= 3 ? 45 : 110) << v;
    }
    document.SetVolume(VolumeGroup::Drums, 0);
    EXPECT_EQ(document.Current().velocities[kVoiceCount - 1], 0);
}

}  // namespace
}  // namespace tontoko
