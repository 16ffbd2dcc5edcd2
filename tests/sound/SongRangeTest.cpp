// Playing a range of a song on the real FluidSynth player: the lead-in once,
// then a jump to the part played from, and with loop on from the song's end
// back to that part, in time and with no silence at the wrap. FluidSynth's
// "file" output keeps real time, so the songs are short and fast.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "render/PlayRange.h"
#include "sound/RangeFollower.h"
#include "sound/SoundFont.h"
#include "sound/SoundService.h"
#include "tests/support/TempDir.h"

using namespace tontoko;
using std::chrono::milliseconds;

namespace {

constexpr int kPartTicks = 192;       // two beats: half a second at 240 beats a minute
constexpr double kMsPerTick = 2.604;  // 250,000 microseconds a beat over 96 ticks
constexpr int kRate = 44100;

// A song laid out as the writer lays it out, at 240 beats a minute: tempo, GS
// reset and program at tick 0, a lead-in of one beat, then `parts` parts, each
// an organ note held from its first tick to its last, so the song never rests.
// Part k plays key 60 + 4k.
void WriteHeldSong(const std::string& path, int parts) {
    std::vector<uint8_t> track{0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90, 0x00, 0xF0,
                               0x0A, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00,
                               0x41, 0xF7, 0x00, 0xC0, 0x13, 0x60, 0x90, 0x3C, 0x64};
    auto delta = [&](int ticks) {
        track.push_back(uint8_t(0x80 | (ticks >> 7)));
        track.push_back(uint8_t(ticks & 0x7F));
    };
    for (int k = 1; k < parts; ++k) {
        delta(kPartTicks);
        for (uint8_t b : {0x90, 60 + 4 * (k - 1), 0x00, 0x00, 0x90, 60 + 4 * k, 0x64}) {
            track.push_back(b);
        }
    }
    delta(kPartTicks);
    for (uint8_t b : {0x90, 60 + 4 * (parts - 1), 0x00, 0x00, 0xFF, 0x2F, 0x00}) {
        track.push_back(b);
    }
    std::vector<uint8_t> file{'M', 'T', 'h',  'd', 0,   0,   0,   6, 0, 0, 0,
                              1,   0,   0x60, 'M', 'T', 'r', 'k', 0, 0, 0, uint8_t(track.size())};
    file.insert(file.end(), track.begin(), track.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
}

// What the audio thread saw: every tick with the frame it fell in, the loudness
// of each millisecond, and whether the song ended.
class Recorder {
  public:
    explicit Recorder(SoundService& service) : service_(service) {
        service.SetBlockObserver([this](int frames, const float* left, const float*, int step) {
            std::lock_guard<std::mutex> lock(mutex_);
            for (int i = 0; i < frames; ++i, ++frame_) {
                if (frame_ % (kRate / 1000) == 0) {
                    peaks_.push_back(0);
                }
                peaks_.back() = std::max(peaks_.back(), std::fabs(left[i * step]));
            }
        });
    }
    ~Recorder() { service_.SetBlockObserver({}); }

    SoundService::TickCallback OnTick() {
        return [this](int tick, bool ended) {
            std::lock_guard<std::mutex> lock(mutex_);
            ticks_.push_back({tick, frame_});
            ended_ = ended_ || ended;
        };
    }
    struct Tick {
        int tick;
        long long frame;
    };
    std::vector<Tick> Ticks() {
        std::lock_guard<std::mutex> lock(mutex_);
        return ticks_;
    }
    std::vector<float> Peaks() {
        std::lock_guard<std::mutex> lock(mutex_);
        return peaks_;
    }
    bool Ended() {
        std::lock_guard<std::mutex> lock(mutex_);
        return ended_;
    }

  private:
    SoundService& service_;
    std::mutex mutex_;
    long long frame_ = 0;
    std::vector<float> peaks_;  // one a millisecond
    std::vector<Tick> ticks_;
    bool ended_ = false;
};

// Where the ticks went backwards or skipped ahead: (from, to, frame).
struct Jump {
    int from;
    int to;
    long long frame;
};
std::vector<Jump> Jumps(const std::vector<Recorder::Tick>& ticks) {
    std::vector<Jump> jumps;
    for (size_t i = 1; i < ticks.size(); ++i) {
        if (ticks[i].tick < ticks[i - 1].tick || ticks[i].tick > ticks[i - 1].tick + 2) {
            jumps.push_back({ticks[i - 1].tick, ticks[i].tick, ticks[i].frame});
        }
    }
    return jumps;
}

// The longest run of near-silent milliseconds between the first sound and
// `last` (exclusive).
int LongestQuiet(const std::vector<float>& peaks, size_t last) {
    size_t i = 0;
    while (i < peaks.size() && peaks[i] < 0.01f) {
        ++i;
    }
    int longest = 0, run = 0;
    for (; i < std::min(last, peaks.size()); ++i) {
        run = peaks[i] < 0.001f ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

class SongRangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!FindSoundFont()) {
            GTEST_SKIP() << "no General MIDI SoundFont installed";
        }
        SoundServiceOptions options;
        options.drivers = {"file"};
        service = std::make_unique<SoundService>(options);
        ASSERT_TRUE(service->WaitLoaded().Ok()) << service->WaitLoaded().detail;
        recorder = std::make_unique<Recorder>(*service);
    }
    void TearDown() override {
        if (service) {
            service->UnloadSong();
        }
    }
    template <class Pred>
    static bool WaitFor(Pred done, milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!done() && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(milliseconds(5));
        }
        return done();
    }

    TempDir dir;
    std::unique_ptr<SoundService> service;
    std::unique_ptr<Recorder> recorder;
};

}  // namespace

TEST(RangeFollowerTest, JumpsOnTheTickBeforeEachBoundary) {
    RangeFollower follower;
    // From the third part, after a lead-in of one beat.
    EXPECT_EQ(follower.Begin({96, 96 + 2 * 1536, 96 + 3 * 1536}), -1);
    EXPECT_EQ(follower.OnTick(94), -1);
    EXPECT_EQ(follower.OnTick(95), 96 + 2 * 1536 - 1);
    EXPECT_EQ(follower.OnTick(96 + 3 * 1536 - 1), -1);  // loop off: the song ends
    follower.SetLoop(true);
    EXPECT_EQ(follower.OnTick(96 + 3 * 1536 - 1), 96 + 2 * 1536 - 1);
    EXPECT_EQ(follower.OnTick(96 + 3 * 1536), -1);  // past the end: too late

    // No lead-in: the playback starts in the part; a song from tick 0 wraps to 0.
    EXPECT_EQ(follower.Begin({0, 1536, 3072}), 1536);
    EXPECT_EQ(follower.Begin({0, 0, 1536}), -1);
    EXPECT_EQ(follower.OnTick(1535), 0);
    // An empty or impossible range plays the file as it lies.
    EXPECT_EQ(follower.Begin({}), -1);
    EXPECT_EQ(follower.OnTick(1535), -1);
    EXPECT_EQ(follower.Begin({96, 200, 150}), -1);
    EXPECT_EQ(follower.OnTick(149), -1);
}

TEST_F(SongRangeTest, FromALaterPartTheLeadInPlaysThenTheSongGoesOnFromThatPart) {
    WriteHeldSong(dir.File("song.mid"), 3);
    service->LoadSong(dir.File("song.mid"), recorder->OnTick());
    const PlayRange range = SongPlayRange(1, 3, 1);
    ASSERT_EQ(range.start, 96 + 1536);  // the function's parts are a song's
    // The test song's parts are shorter: the same layout at kPartTicks.
    const PlayRange shortRange{96, 96 + kPartTicks, 96 + 3 * kPartTicks};
    service->PlaySong(shortRange);
    ASSERT_TRUE(WaitFor([&] { return recorder->Ended(); }, milliseconds(5000)));

    const std::vector<Recorder::Tick> ticks = recorder->Ticks();
    const std::vector<Jump> jumps = Jumps(ticks);
    ASSERT_EQ(jumps.size(), 1u);
    EXPECT_EQ(jumps[0].from, 95);
    EXPECT_EQ(jumps[0].to, shortRange.start - 1);
    // The lead-in went by at its length, and the rest of the song at its own.
    const double leadInMs = double(jumps[0].frame) * 1000 / kRate;
    EXPECT_NEAR(leadInMs, 96 * kMsPerTick, 2 * kMsPerTick);
    EXPECT_GE(ticks.back().tick, shortRange.end);
    EXPECT_TRUE(std::none_of(ticks.begin(), ticks.end(), [&](const Recorder::Tick& t) {
        return t.tick > 96 && t.tick < shortRange.start - 1;
    })) << "the first part must not play";
}

TEST_F(SongRangeTest, LoopWrapsToThePartInTimeWithoutSilenceAndStopsWhenTurnedOff) {
    WriteHeldSong(dir.File("song.mid"), 3);
    service->LoadSong(dir.File("song.mid"), recorder->OnTick());
    const PlayRange range{96, 96 + kPartTicks, 96 + 3 * kPartTicks};
    service->SetSongLoop(true);
    service->PlaySong(range);
    // Two wraps: the lead-in, two laps of two parts and a little.
    ASSERT_TRUE(WaitFor(
        [&] {
            const std::vector<Recorder::Tick> ticks = recorder->Ticks();
            return std::count_if(ticks.begin(), ticks.end(), [](const Recorder::Tick& t) {
                       return t.tick == 96 + kPartTicks + 2;
                   }) >= 3;
        },
        milliseconds(6000)));
    service->SetSongLoop(false);
    ASSERT_TRUE(
        WaitFor([&] { return recorder->Ticks().back().tick >= range.end; }, milliseconds(5000)));

    const std::vector<Recorder::Tick> ticks = recorder->Ticks();
    const std::vector<Jump> jumps = Jumps(ticks);
    ASSERT_EQ(jumps.size(), 3u);
    for (size_t j = 1; j < jumps.size(); ++j) {
        EXPECT_EQ(jumps[j].from, range.end - 1);
        EXPECT_EQ(jumps[j].to, range.start - 1);
        // A lap is the two parts' length to within a tick: nothing added.
        const double lapMs = double(jumps[j].frame - jumps[j - 1].frame) * 1000 / kRate;
        EXPECT_NEAR(lapMs, 2 * kPartTicks * kMsPerTick, kMsPerTick) << "lap " << j;
    }
    // Turned off during the third lap, the song played to its end.
    EXPECT_GE(ticks.back().tick, range.end);
    // The held notes leave no silence anywhere up to the song's end, the
    // wraps included.
    const auto last = std::find_if(ticks.begin(), ticks.end(),
                                   [&](const Recorder::Tick& t) { return t.tick >= range.end; });
    const size_t end = size_t(last->frame * 1000 / kRate);
    EXPECT_EQ(LongestQuiet(recorder->Peaks(), end), 0);
}
