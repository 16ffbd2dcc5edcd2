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
    EXPECT_TRUE(document.Engine().IsFixed(1, FixedKind::Melody));
    document.SetFixRhythm(2, false);
    EXPECT_FALSE(document.Engine().IsFixed(1, FixedKind::Rhythm));
    EXPECT_FALSE(document.Engine().IsFixed(1, FixedKind::Melody));
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

namespace tontoko {
namespace {

TEST(SongDocumentParts, AddingCopiesThePartShownAfterItAndRemovingClosesTheGap) {
    SongDocument document(11);
    Loaded(document);
    document.SetMelodyStyle(MelodyStyle::MoreEighths);
    document.GenerateMelody();
    document.SetFixRhythm(2, true);
    const SongPart first = document.Current().parts[0];

    ASSERT_TRUE(document.AddPart());
    EXPECT_EQ(document.Position(), 1);
    EXPECT_EQ(document.SongMeasure(1), 5);
    EXPECT_EQ(document.Current().parts[1], first);
    document.GenerateChords();
    document.GenerateMelody();
    const SongPart second = document.Current().parts[1];
    EXPECT_NE(second, first);
    EXPECT_EQ(document.Current().parts[0], first);  // generation kept to the part shown

    // A copy of the first part goes between the two.
    document.SetPosition(0);
    ASSERT_TRUE(document.AddPart());
    EXPECT_EQ(document.Current().partCount, 3);
    EXPECT_EQ(document.Current().parts[2], second);
    // The engine holds the part shown: a transposition moves every part.
    document.SetKeyFeel(KeyFeel::Own);
    document.Transpose(2);
    for (int p = 0; p < 3; ++p) {
        for (int s = 0; s < kSongSteps; ++s) {
            const uint8_t was = (p == 2 ? second : first).pitches[s];
            EXPECT_EQ(document.Current().parts[p].pitches[s], was ? was + 2 : 0) << p << " " << s;
        }
    }
    document.Transpose(0);

    ASSERT_TRUE(document.DeletePart());  // the copy shown, part 2
    EXPECT_EQ(document.Current().partCount, 2);
    EXPECT_EQ(document.Position(), 1);
    EXPECT_EQ(document.Current().parts[1], second);
    EXPECT_EQ(document.Current().parts[2], SongPart{});
    ASSERT_TRUE(document.DeletePart());  // the last: the one before is shown
    EXPECT_EQ(document.Position(), 0);
    EXPECT_FALSE(document.DeletePart());
    EXPECT_EQ(document.Current().parts[0], first);

    for (int i = 1; i < kMaxParts; ++i) {
        EXPECT_TRUE(document.AddPart());
    }
    EXPECT_FALSE(document.AddPart());
    EXPECT_EQ(document.Current().partCount, kMaxParts);
    EXPECT_EQ(document.Position(), kMaxParts - 1);
}

}  // namespace
}  // namespace tontoko
