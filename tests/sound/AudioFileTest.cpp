// Audio files through libsndfile: the format by the extension, the samples
// read back as written, and a failed write (missing folder, a folder in the
// way, a full disk) that leaves the existing file and no temporary behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "sound/AudioFile.h"
#include "tests/sound/ReadAudio.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

using namespace tontoko;
using tontoko::test::ReadAudio;

namespace {

// One second of a 440 Hz tone, louder on the left.
std::vector<float> Tone(double seconds = 1.0) {
    std::vector<float> samples;
    for (int i = 0; i < int(seconds * 44100); ++i) {
        const float s = float(std::sin(2 * M_PI * 440 * i / 44100.0));
        samples.push_back(0.5f * s);
        samples.push_back(0.25f * s);
    }
    return samples;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int FilesIn(const std::filesystem::path& dir) {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) {
        ++n;
    }
    return n;
}

}  // namespace

TEST(AudioFile, FormatFollowsTheExtension) {
    EXPECT_EQ(AudioFormatOf("a/song.wav"), AudioFormat::Wav);
    EXPECT_EQ(AudioFormatOf("SONG.WAV"), AudioFormat::Wav);
    EXPECT_EQ(AudioFormatOf("song.Flac"), AudioFormat::Flac);
    EXPECT_EQ(AudioFormatOf("曲.ogg"), AudioFormat::Ogg);
    EXPECT_EQ(AudioFormatOf("song.mp3"), std::nullopt);
    EXPECT_EQ(AudioFormatOf("song"), std::nullopt);
    EXPECT_EQ(AudioFormatOf("wav"), std::nullopt);
}

TEST(AudioFile, WrittenSamplesReadBack) {
    TempDir dir;
    const std::vector<float> tone = Tone();
    for (const auto& [name, format, type] :
         {std::tuple{"t.wav", AudioFormat::Wav, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
          std::tuple{"t.flac", AudioFormat::Flac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
          std::tuple{"t.ogg", AudioFormat::Ogg, SF_FORMAT_OGG | SF_FORMAT_VORBIS}}) {
        const AudioFileResult result = WriteAudioFile(dir.File(name), format, tone, 44100);
        ASSERT_TRUE(result.ok) << name << ": " << result.error;
        const auto data = ReadAudio(dir.File(name));
        ASSERT_TRUE(data.opened) << name;
        EXPECT_EQ(data.format, type) << name;
        EXPECT_EQ(data.rate, 44100);
        EXPECT_EQ(data.channels, 2);
        EXPECT_EQ(data.Frames(), 44100) << name;
        // Left and right kept apart; 16 bits (or the codec) stay close.
        const double tolerance = format == AudioFormat::Ogg ? 0.02 : 1.0 / 32767;
        double worst = 0;
        for (std::size_t i = 0; i < std::min(tone.size(), data.samples.size()); ++i) {
            worst = std::max(worst, double(std::fabs(tone[i] - data.samples[i])));
        }
        EXPECT_LE(worst, tolerance) << name;
    }
    // Samples beyond full scale are clipped, not wrapped around.
    ASSERT_TRUE(WriteAudioFile(dir.File("loud.wav"), AudioFormat::Wav, {1.5f, -1.5f}, 44100).ok);
    const auto loud = ReadAudio(dir.File("loud.wav"));
    ASSERT_EQ(loud.samples.size(), 2u);
    EXPECT_GT(loud.samples[0], 0.99f);
    EXPECT_LT(loud.samples[1], -0.99f);
    // The file is the user's, as a new file of the process would be.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(std::filesystem::status(dir.File("t.wav")).permissions(),
              std::filesystem::perms(0666 & ~mask));
}

TEST(AudioFile, FailuresLeaveTheExistingFileAndNoTemporary) {
    TempDir dir;
    const std::vector<float> tone = Tone(0.5);
    AudioFileResult result =
        WriteAudioFile(dir.File("no/such/folder/a.wav"), AudioFormat::Wav, tone, 44100);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("a.wav"), std::string::npos) << result.error;

    std::filesystem::create_directory(dir.File("folder.wav"));
    EXPECT_FALSE(WriteAudioFile(dir.File("folder.wav"), AudioFormat::Wav, tone, 44100).ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.wav")));

    // A full disk: the process may not grow a file past 64 KiB.
    std::ofstream(dir.File("keep.flac")) << "keep";
    {
        const FileSizeLimit fullDisk(64 * 1024);
        ASSERT_TRUE(fullDisk.Active());
        result = WriteAudioFile(dir.File("keep.flac"), AudioFormat::Flac, Tone(5.0), 44100);
    }
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("keep.flac"), std::string::npos) << result.error;
    EXPECT_EQ(ReadText(dir.File("keep.flac")), "keep");
    EXPECT_EQ(FilesIn(dir.Path()), 2) << "a temporary file was left";
}
