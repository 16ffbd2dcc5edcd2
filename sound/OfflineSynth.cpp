#include "sound/OfflineSynth.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <iterator>
#include <thread>

#include "sound/FluidSynth.h"

namespace tontoko {

namespace {

constexpr int kBlockFrames = 512;
// Within one step of a 16-bit sample: silence to the ear and to the file.
constexpr float kSilence = 1.5f / 32767.0f;

}  // namespace

OfflineSynth::OfflineSynth(SoundFontLookup soundFont) : soundFont_(std::move(soundFont)) {}

OfflineSynth::~OfflineSynth() {
    if (loading_.valid()) {
        loading_.wait();
    }
}

std::string OfflineSynth::Load() {
    if (!soundFont_.path) {
        return soundFont_.error;
    }
    try {
        fluid::SynthConfig config;
        config.soundFont = *soundFont_.path;
        config.sampleTiming = true;  // the player follows the synthesized samples, not the clock
        config.dynamicSampleLoading = true;
        synth_ = std::make_unique<fluid::Synth>(config);
    } catch (const fluid::FluidError& error) {
        return error.what();
    }
    return {};
}

void OfflineSynth::StartLoading() {
    std::lock_guard<std::mutex> lock(loadMutex_);
    if (loading_.valid() || loadError_) {
        return;
    }
    loading_ = std::async(std::launch::async, [this] { return Load(); });
}

std::string OfflineSynth::WaitLoaded() {
    std::lock_guard<std::mutex> lock(loadMutex_);
    if (!loadError_) {
        loadError_ = loading_.valid() ? loading_.get() : Load();
    }
    return *loadError_;
}

bool OfflineSynth::SynthesizePcm(const std::vector<uint8_t>& midi, std::vector<float>& out,
                                 std::string& error, double maxSeconds) {
    std::lock_guard<std::mutex> lock(mutex_);
    out.clear();
    const Synthesis end = Synthesize(
        midi,
        [&out](const float* samples, std::size_t frames) {
            out.insert(out.end(), samples, samples + 2 * frames);
            return true;
        },
        error, maxSeconds);
    if (end != Synthesis::Done) {
        out.clear();
        return false;
    }
    return true;
}

OfflineSynth::Synthesis OfflineSynth::Synthesize(const std::vector<uint8_t>& midi,
                                                 const Take& take, std::string& error,
                                                 double maxSeconds) {
    if (std::string failed = WaitLoaded(); !failed.empty()) {
        error = failed;
        return Synthesis::Failed;
    }
    fluid::Synth& synth = *synth_;
    bool stopped = false;
    try {
        // Nothing left of an earlier synthesis (a cut note, the reverb's
        // tail): the reset takes effect in the blocks synthesized after it, which
        // are dropped until they are silent.
        synth.SystemReset();
        std::vector<float> drop(2 * 64);
        for (int i = 0; i < 4 * fluid::kSampleRate / 64; ++i) {
            synth.WriteFloat(64, drop.data(), drop.data() + 1, 2);
            const float peak = *std::max_element(drop.begin(), drop.end(), [](float a, float b) {
                return std::fabs(a) < std::fabs(b);
            });
            if (i >= 2 && synth.ActiveVoices() == 0 && std::fabs(peak) < 1e-6f) {
                break;
            }
        }
        fluid::Player player(synth, midi);
        player.Play();
        const double rate = synth.SampleRate();
        const auto maxFrames = static_cast<long long>(std::max(0.0, maxSeconds) * rate);
        std::vector<float> block(2 * kBlockFrames);
        long long frames = 0;
        long long musicEnd = -1;  // frame where the last tick was passed
        int totalTicks = 0;       // known once the player has loaded the data
        // The last voices spend a few hundred milliseconds within one 16-bit
        // step of silence before FluidSynth lets them go; that inaudible end
        // after the music is dropped. Frames after the music are held here
        // until a sound after them shows they stay.
        std::vector<float> held;
        auto silent = [](const float* frame) {
            return std::fabs(frame[0]) <= kSilence && std::fabs(frame[1]) <= kSilence;
        };
        // Stop once the last tick has passed and every voice has died away;
        // FluidSynth's own end comes two seconds of silence later, and a note
        // without its note-off would keep it playing for ever, hence the cap.
        while (frames < maxFrames) {
            const int count =
                static_cast<int>(std::min<long long>(kBlockFrames, maxFrames - frames));
            synth.WriteFloat(count, block.data(), block.data() + 1, 2);
            auto kept = static_cast<std::size_t>(count);
            if (musicEnd >= 0) {
                while (kept > 0 && silent(block.data() + 2 * (kept - 1))) {
                    --kept;
                }
                if (kept > 0 && !held.empty()) {
                    if (!take(held.data(), held.size() / 2)) {
                        stopped = true;
                        break;
                    }
                    held.clear();
                }
                held.insert(held.end(), block.begin() + 2 * static_cast<long>(kept),
                            block.begin() + 2 * count);
            }
            if (kept > 0 && !take(block.data(), kept)) {
                stopped = true;
                break;
            }
            frames += count;
            if (player.Finished()) {
                break;
            }
            if (totalTicks == 0) {
                totalTicks = player.TotalTicks();
            }
            if (player.CurrentTick() >= totalTicks) {
                if (musicEnd < 0) {
                    musicEnd = frames;
                }
                if (synth.ActiveVoices() == 0) {
                    break;
                }
            }
        }
        player.Stop();
    } catch (const fluid::FluidError& failure) {
        error = failure.what();
        return Synthesis::Failed;
    }
    return stopped ? Synthesis::Stopped : Synthesis::Done;
}

namespace {

// Pieces of samples from the synthesis to the thread that writes them, a few
// at a time; the buffers go round.
class PieceQueue {
  public:
    // Waits for room; false once the writer has given up.
    bool Push(std::vector<float>&& piece) {
        std::unique_lock<std::mutex> lock(mutex_);
        room_.wait(lock, [&] { return pieces_.size() < kCapacity || refused_; });
        if (refused_) {
            return false;
        }
        pieces_.push_back(std::move(piece));
        ready_.notify_one();
        return true;
    }
    // No more pieces; the file is kept only after the whole synthesis.
    void Close(bool keep) {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        keep_ = keep;
        ready_.notify_one();
    }
    // The next piece, or nothing once closed and empty.
    std::optional<std::vector<float>> Pop() {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [&] { return !pieces_.empty() || closed_; });
        if (pieces_.empty()) {
            return std::nullopt;
        }
        std::vector<float> piece = std::move(pieces_.front());
        pieces_.pop_front();
        room_.notify_one();
        return piece;
    }
    bool Keep() {
        std::lock_guard<std::mutex> lock(mutex_);
        return keep_;
    }
    // The writer failed: the synthesis is told at its next piece.
    void Refuse() {
        std::lock_guard<std::mutex> lock(mutex_);
        refused_ = true;
        room_.notify_one();
    }
    void Recycle(std::vector<float>&& piece) {
        piece.clear();
        std::lock_guard<std::mutex> lock(mutex_);
        spare_.push_back(std::move(piece));
    }
    std::vector<float> Spare() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (spare_.empty()) {
            std::vector<float> piece;
            piece.reserve(2 * AudioFileWriter::kPieceFrames);
            return piece;
        }
        std::vector<float> piece = std::move(spare_.back());
        spare_.pop_back();
        return piece;
    }

  private:
    static constexpr std::size_t kCapacity = 8;
    std::mutex mutex_;
    std::condition_variable ready_;  // a piece, or the end
    std::condition_variable room_;   // room for a piece, or a refusal
    std::deque<std::vector<float>> pieces_;
    std::vector<std::vector<float>> spare_;
    bool closed_ = false;
    bool keep_ = false;
    bool refused_ = false;
};

// The thread that encodes and writes the pieces; joined before the export
// returns, whatever happens.
class PieceWriter {
  public:
    PieceWriter(PieceQueue& queue, const std::string& path, AudioFormat format, int rate)
        : queue_(queue), thread_([this, path, format, rate] { Run(path, format, rate); }) {}
    ~PieceWriter() { Finish(false); }
    PieceWriter(const PieceWriter&) = delete;
    PieceWriter& operator=(const PieceWriter&) = delete;

    // Closes the queue and waits for the file: written (and renamed into
    // place) only when `keep`.
    AudioFileResult Finish(bool keep) {
        if (thread_.joinable()) {
            queue_.Close(keep);
            thread_.join();
        }
        return result_;
    }

  private:
    void Run(const std::string& path, AudioFormat format, int rate) {
        try {
            AudioFileWriter file(path, format, rate);
            bool ok = file.Ok();
            if (!ok) {
                queue_.Refuse();
            }
            while (std::optional<std::vector<float>> piece = queue_.Pop()) {
                if (ok && !file.Write(piece->data(), piece->size() / 2)) {
                    ok = false;
                    queue_.Refuse();
                }
                queue_.Recycle(std::move(*piece));
            }
            if (!ok || queue_.Keep()) {
                result_ = file.Commit();
            }
        } catch (const std::exception& failure) {
            result_.ok = false;
            result_.error = "Cannot write the audio file " + path + ": " + failure.what();
            queue_.Refuse();
        }
    }

    PieceQueue& queue_;
    AudioFileResult result_;
    std::thread thread_;
};

}  // namespace

ExportResult OfflineSynth::ExportToFile(const std::vector<uint8_t>& midi, const std::string& path,
                                        std::optional<AudioFormat> format, double maxSeconds) {
    ExportResult result;
    if (!format) {
        format = AudioFormatOf(path);
    }
    if (!format) {
        result.error = "Not a WAV, FLAC or Ogg file name: " + path;
        return result;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    // The samples in the pieces WriteAudioFile writes, so that the encoder
    // sees what it would see there.
    PieceQueue queue;
    PieceWriter writer(queue, path, *format, fluid::kSampleRate);
    std::vector<float> piece = queue.Spare();
    std::size_t frames = 0;
    auto take = [&](const float* samples, std::size_t count) {
        frames += count;
        while (count > 0) {
            const std::size_t room = AudioFileWriter::kPieceFrames - piece.size() / 2;
            const std::size_t n = std::min(room, count);
            piece.insert(piece.end(), samples, samples + 2 * n);
            samples += 2 * n;
            count -= n;
            if (n == room) {
                if (!queue.Push(std::move(piece))) {
                    return false;
                }
                piece = queue.Spare();
            }
        }
        return true;
    };
    Synthesis end = Synthesize(midi, take, result.error, maxSeconds);
    if (end == Synthesis::Done && !piece.empty() && !queue.Push(std::move(piece))) {
        end = Synthesis::Stopped;
    }
    const AudioFileResult written = writer.Finish(end == Synthesis::Done);
    if (end == Synthesis::Failed) {
        return result;
    }
    if (end != Synthesis::Done || !written.ok) {
        result.error = written.error;
        return result;
    }
    result.seconds = static_cast<double>(frames) / fluid::kSampleRate;
    result.ok = true;
    return result;
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

namespace {

ExportResult ExportFile(const std::string& midiPath, const std::string& path,
                        const std::string& soundFont, std::optional<AudioFormat> format,
                        double maxSeconds) {
    std::vector<uint8_t> midi;
    if (!ReadFileBytes(midiPath, midi)) {
        ExportResult result;
        result.error = "Cannot read the MIDI file " + midiPath;
        return result;
    }
    OfflineSynth synth(SoundFontLookup{soundFont, {}});
    ExportResult result = synth.ExportToFile(midi, path, format, maxSeconds);
    if (!result.ok && result.error == "Not MIDI data") {
        result.error = "Not a MIDI file: " + midiPath;
    }
    return result;
}

}  // namespace

ExportResult ExportMidiToAudio(const std::vector<uint8_t>& midi, const std::string& path,
                               const std::string& soundFont, double maxSeconds) {
    OfflineSynth synth(SoundFontLookup{soundFont, {}});
    return synth.ExportToFile(midi, path, std::nullopt, maxSeconds);
}

ExportResult ExportMidiFileToAudio(const std::string& midiPath, const std::string& path,
                                   const std::string& soundFont, double maxSeconds) {
    return ExportFile(midiPath, path, soundFont, std::nullopt, maxSeconds);
}

ExportResult ExportMidiToWav(const std::string& midiPath, const std::string& wavPath,
                             const std::string& soundFont, double maxSeconds) {
    return ExportFile(midiPath, wavPath, soundFont, AudioFormat::Wav, maxSeconds);
}

}  // namespace tontoko
