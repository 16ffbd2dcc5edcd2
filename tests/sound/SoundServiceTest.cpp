// The sound service: which audio driver it picks, short sounds on their own
// channels while no song plays, and a MIDI file played to its end or cut by a
// flag, on FluidSynth's real-time "file" output and on a private PulseAudio
// server.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "sound/AudioDriverChoice.h"
#include "sound/PatternPreview.h"
#include "sound/SoundFont.h"
#include "sound/SoundService.h"
#include "tests/sound/TestMidiFile.h"
#include "tests/support/PulseServer.h"
#include "tests/support/TempDir.h"

using namespace tontoko;
using tontoko::test::PulseEnvironment;
using tontoko::test::PulseServer;
using tontoko::test::ScopedEnv;
using tontoko::test::WriteMidi;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

// Peaks of the blocks the service synthesizes, with when they were made.
class BlockLog {
  public:
    explicit BlockLog(SoundService& service) : service_(service) {
        service.SetBlockObserver(
            [this](int frames, const float* left, const float* right, int step) {
                float peak = 0;
                for (int i = 0; i < frames; ++i) {
                    peak = std::max({peak, std::fabs(left[i * step]), std::fabs(right[i * step])});
                }
                std::lock_guard<std::mutex> lock(mutex_);
                blocks_.push_back({Clock::now(), frames_, peak});
                frames_ += frames;
            });
    }
    ~BlockLog() { service_.SetBlockObserver({}); }

    struct Block {
        Clock::time_point at;
        long long frame;
        float peak;
    };
    std::vector<Block> Since(Clock::time_point t) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<Block> after;
        for (const Block& b : blocks_) {
            if (b.at >= t) {
                after.push_back(b);
            }
        }
        return after;
    }
    // The first block louder than `floor` synthesized after `t`.
    std::optional<Block> FirstLoud(Clock::time_point t, float floor, milliseconds timeout) {
        const auto end = Clock::now() + timeout;
        while (Clock::now() < end) {
            for (const Block& b : Since(t)) {
                if (b.peak > floor) {
                    return b;
                }
            }
            std::this_thread::sleep_for(milliseconds(1));
        }
        return std::nullopt;
    }

  private:
    SoundService& service_;
    std::mutex mutex_;
    std::vector<Block> blocks_;
    long long frames_ = 0;
};

SoundServiceOptions FileOutput() {
    SoundServiceOptions options;
    options.drivers = {"file"};
    return options;
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class SoundServiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!FindSoundFont()) {
            GTEST_SKIP() << "no General MIDI SoundFont installed";
        }
    }
    TempDir dir;
};

}  // namespace

TEST(AudioDriverOrder, ServerFirstThenAlsaThenSdlAndTheVariableForcesOne) {
    EXPECT_EQ(AudioDriverOrder(nullptr, true),
              (std::vector<std::string>{"pulseaudio", "alsa", "sdl2"}));
    EXPECT_EQ(AudioDriverOrder(nullptr, false), (std::vector<std::string>{"alsa", "sdl2"}));
    EXPECT_EQ(AudioDriverOrder("", false), (std::vector<std::string>{"alsa", "sdl2"}));
    EXPECT_EQ(AudioDriverOrder("file", true), (std::vector<std::string>{"file"}));
    ScopedEnv forced("TONTOKO_AUDIO_DRIVER", "jack");
    EXPECT_EQ(AudioDriverOrder(), (std::vector<std::string>{"jack"}));
}

TEST(AudioDriverOrder, ServerAnswersOnlyWhenItsSocketAccepts) {
    TempDir runtime;
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.Path().string());
    ScopedEnv server("PULSE_SERVER", std::nullopt);
    EXPECT_FALSE(PulseServerAnswers()) << "no socket";
    std::filesystem::create_directory(runtime.Path() / "pulse");
    const std::string path = (runtime.Path() / "pulse" / "native").string();

    // A socket file left by a server that is gone does not answer.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_FALSE(PulseServerAnswers()) << "bound but not listening";
    ASSERT_EQ(::listen(fd, 4), 0);
    EXPECT_TRUE(PulseServerAnswers());
    EXPECT_EQ(AudioDriverOrder().front(), "pulseaudio");
    {
        // $PULSE_SERVER names the server instead.
        ScopedEnv elsewhere("PULSE_SERVER", "unix:" + runtime.File("none"));
        EXPECT_FALSE(PulseServerAnswers());
        ScopedEnv named("PULSE_SERVER", "unix:" + runtime.File("none") + " " + path);
        EXPECT_TRUE(PulseServerAnswers());
    }
    ::close(fd);
}

TEST_F(SoundServiceTest, EditedNoteSoundsAtOnceOnItsOwnChannelAndEnds) {
    SoundService service(FileOutput());
    // Before the loading nothing sounds, and nothing waits.
    EXPECT_FALSE(service.Sound(AuditionEvents(72, 40, 100)));
    ASSERT_TRUE(service.WaitLoaded().Ok()) << service.WaitLoaded().detail;
    EXPECT_EQ(service.WaitLoaded().driver, "file");
    BlockLog log(service);

    const auto asked = Clock::now();
    ASSERT_TRUE(service.Sound(AuditionEvents(72, 40, 100)));
    const auto first = log.FirstLoud(asked, 0.01f, milliseconds(2000));
    ASSERT_TRUE(first) << "never heard";
    EXPECT_LT(Ms(first->at - asked), 50.0);
    // The violin on the edited note's channel; the song's channels untouched.
    EXPECT_EQ(service.ChannelProgram(kAuditionChannel), 40);
    for (int channel : {0, 1, 2, 3, 4}) {
        EXPECT_EQ(service.ChannelProgram(channel), 0) << channel;
    }
    // Its note-off comes after about 300 ms; then the voice dies away.
    ASSERT_TRUE([&] {
        const auto end = Clock::now() + std::chrono::seconds(10);
        while (service.ActiveVoices() > 0 && Clock::now() < end) {
            std::this_thread::sleep_for(milliseconds(5));
        }
        return service.ActiveVoices() == 0;
    }()) << "the note never ended";
    EXPECT_GE(Ms(Clock::now() - asked), 290.0);
}

TEST_F(SoundServiceTest, NothingSoundsWhileASongPlaysAndASongCutsAPreview) {
    WriteMidi(dir.File("long.mid"), 96 * 40);
    SoundService service(FileOutput());
    ASSERT_TRUE(service.WaitLoaded().Ok());
    // A long preview note, then a song: the song starts alone.
    std::vector<LiveEvent> longNote = AuditionEvents(60, 19, 100, 20000);
    ASSERT_TRUE(service.Sound(longNote));
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_GT(service.ActiveVoices(), 0);
    service.LoadSong(dir.File("long.mid"), {});
    service.PlaySong();
    EXPECT_TRUE(service.SongPlaying());
    EXPECT_FALSE(service.Sound(AuditionEvents(72, 0, 100)));
    std::this_thread::sleep_for(milliseconds(300));
    // Only the song's piano sounds now (one voice or two for one key).
    EXPECT_LE(service.ActiveVoices(), 2);
    service.StopSong();
    EXPECT_FALSE(service.SongPlaying());
    EXPECT_TRUE(service.Sound(AuditionEvents(72, 0, 100)));
    service.UnloadSong();
    EXPECT_FALSE(service.SongLoaded());
}

TEST_F(SoundServiceTest, MidiFilePlaysToItsEndOrUntilTheFlag) {
    WriteMidi(dir.File("short.mid"), 96);
    const auto start = Clock::now();
    SongPlayResult result = PlayMidiFileAndWait(dir.File("short.mid"), nullptr, FileOutput());
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_FALSE(result.stopped);
    // A quarter of a second and its release, after the load.
    EXPECT_GE(Ms(Clock::now() - start), 250.0);

    WriteMidi(dir.File("long.mid"), 96 * 400);  // 100 s
    std::atomic<bool> stop{false};
    std::thread stopper([&] {
        std::this_thread::sleep_for(milliseconds(1500));
        stop = true;  // as a signal handler would
    });
    const auto cut = Clock::now();
    result = PlayMidiFileAndWait(dir.File("long.mid"), &stop, FileOutput());
    const double took = Ms(Clock::now() - cut);
    stopper.join();
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.stopped);
    EXPECT_LT(took, 20000.0);

    result = PlayMidiFileAndWait(dir.File("absent.mid"), nullptr, FileOutput());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("absent.mid"), std::string::npos) << result.error;
    SoundServiceOptions nowhere;
    nowhere.drivers = {"no-such-driver"};
    result = PlayMidiFileAndWait(dir.File("short.mid"), nullptr, nowhere);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("no-such-driver"), std::string::npos) << result.error;
}

TEST_F(SoundServiceTest, MissingSoundFontIsReportedByName) {
    SoundServiceOptions options = FileOutput();
    options.soundFontCandidates = std::vector<std::string>{dir.File("none.sf2")};
    SoundService service(options);
    const SoundStatus& status = service.WaitLoaded();
    EXPECT_EQ(status.failure, SoundFailure::NoSoundFont);
    EXPECT_FALSE(service.Sound(AuditionEvents(72, 0, 100)));

    ScopedEnv asked("TONTOKO_SOUNDFONT", dir.File("asked.sf2"));
    SoundService named(FileOutput());
    EXPECT_EQ(named.WaitLoaded().failure, SoundFailure::NoSoundFont);
    EXPECT_NE(named.WaitLoaded().detail.find(dir.File("asked.sf2")), std::string::npos)
        << named.WaitLoaded().detail;
}

TEST_F(SoundServiceTest, OnAServerPulseAudioIsPickedAndHeard) {
    PulseServer server;
    ASSERT_TRUE(server.Ready()) << "pulseaudio did not start";
    PulseEnvironment environment(server);
    ASSERT_TRUE(server.StartRecording());

    SoundService service;
    ASSERT_TRUE(service.WaitLoaded().Ok()) << service.WaitLoaded().detail;
    EXPECT_EQ(service.WaitLoaded().driver, "pulseaudio");
    long long from = server.RecordedFrames();
    const auto asked = Clock::now();
    ASSERT_TRUE(service.Sound(AuditionEvents(72, 0, 110)));
    const auto heard = server.WaitForSound(from, 200.0, milliseconds(3000));
    ASSERT_TRUE(heard) << "the edited note was not heard";
    EXPECT_LT(Ms(*heard - asked), 150.0);

    // A MIDI file through the same driver order, heard, to its end.
    WriteMidi(dir.File("short.mid"), 96);
    from = server.RecordedFrames();
    const SongPlayResult result = PlayMidiFileAndWait(dir.File("short.mid"), nullptr);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(server.WaitForSound(from, 200.0, milliseconds(3000)));
}
