#include "render/SongFileVoices.h"

#include <bitset>

#include "engine/SongPart.h"

namespace tontoko {

namespace {

constexpr uint32_t kTicksPerPart = kSongSteps * kTicksPerStep;  // 1536
constexpr int kMaxInterval = 4;

std::string AtStep(const char* what, int step) {
    return std::string(what) + " at step " + std::to_string(step);
}

class Sorter {
  public:
    Sorter(std::span<const LayoutNote> notes, FileVoices& voices) : notes_(notes), out_(voices) {}

    std::string Run() {
        std::string problem = ReadEnd();
        if (!problem.empty()) {
            return problem;
        }
        const uint32_t leadIn = static_cast<uint32_t>(out_.interval) * kTicksPerQuarter;
        const size_t stepNotes = notes_.size() - kVoiceCount;
        for (size_t first = 0; first < stepNotes;) {
            const uint32_t tick = notes_[first].tick;
            size_t end = first;
            while (end < stepNotes && notes_[end].tick == tick) {
                ++end;
            }
            if (tick < leadIn || (tick - leadIn) % kTicksPerStep != 0 ||
                (tick - leadIn) / kTicksPerStep >= static_cast<uint32_t>(out_.steps)) {
                return "a note between steps at tick " + std::to_string(tick);
            }
            problem = Step(static_cast<int>((tick - leadIn) / kTicksPerStep), first, end);
            if (!problem.empty()) {
                return problem;
            }
            first = end;
        }
        for (int v = 0; v < kFirstDrumVoice; ++v) {
            if (!Ended(v, out_.finalKeys[static_cast<size_t>(v)])) {
                return "voice " + std::to_string(v) + " does not end the note it sounds";
            }
        }
        return {};
    }

  private:
    // The last ten notes end every voice at one tick, the song's end, which
    // gives the song's length and its lead-in.
    std::string ReadEnd() {
        if (notes_.size() < static_cast<size_t>(kVoiceCount)) {
            return "fewer notes than the ten final note-offs";
        }
        const size_t first = notes_.size() - kVoiceCount;
        const uint32_t end = notes_.back().tick;
        if (first > 0 && notes_[first - 1].tick >= end) {
            return "more than ten notes at the end of the song";
        }
        for (int v = 0; v < kVoiceCount; ++v) {
            const LayoutNote& note = notes_[first + static_cast<size_t>(v)];
            if (note.tick != end || note.velocity != 0) {
                return "the song does not end with ten note-offs";
            }
            out_.finalChannels[static_cast<size_t>(v)] = note.channel;
            out_.finalKeys[static_cast<size_t>(v)] = note.key;
        }
        for (int v = 0; v < kFirstDrumVoice; ++v) {
            if (out_.finalChannels[static_cast<size_t>(v)] != v) {
                return "the final note-offs are not on channels 1 to 5";
            }
        }
        bool ownChannels = true;
        bool drumChannel = true;
        for (int v = kFirstDrumVoice; v < kVoiceCount; ++v) {
            ownChannels &= out_.finalChannels[static_cast<size_t>(v)] == v;
            drumChannel &= out_.finalChannels[static_cast<size_t>(v)] == kDrumChannel;
        }
        if (!ownChannels && !drumChannel) {
            return "the drum voices are on other channels";
        }
        const uint32_t parts = end / kTicksPerPart;
        const uint32_t leadIn = end % kTicksPerPart;
        if (parts < 1 || parts > static_cast<uint32_t>(kMaxParts)) {
            return "the song lasts " + std::to_string(end) + " ticks, not 4 to 32 measures";
        }
        if (leadIn % kTicksPerQuarter != 0 || leadIn / kTicksPerQuarter > kMaxInterval) {
            return "a lead-in of " + std::to_string(leadIn) + " ticks";
        }
        out_.parts = static_cast<int>(parts);
        out_.steps = out_.parts * kSongSteps;
        out_.interval = static_cast<int>(leadIn / kTicksPerQuarter);
        return {};
    }

    // The events of one step, in voice order: per voice with an onset, the end
    // of its previous note (after step 0) and its new note. A melody rest ends
    // the previous note only; the drum voices share channel 10.
    std::string Step(int step, size_t at, size_t end) {
        for (int v = 0; v < kFirstDrumVoice; ++v) {
            size_t run = at;
            while (run < end && notes_[run].channel == v) {
                ++run;
            }
            const size_t count = run - at;
            if (count == 0) {
                continue;
            }
            FileOnset onset;
            onset.step = step;
            if (step == 0) {
                if (count != 1) {
                    return AtStep("two notes of one voice", step);
                }
                onset.key = notes_[at].key;
                onset.velocity = notes_[at].velocity;
                onset.noteOn = true;
            } else {
                const bool restAllowed = v == kMelodyVoice;
                if (count > 2 || (count == 1 && !restAllowed)) {
                    return AtStep("a voice's notes out of the writer's order", step);
                }
                if (notes_[at].velocity != 0) {
                    return AtStep("a note started before the previous one ended", step);
                }
                if (!Ended(v, notes_[at].key)) {
                    return AtStep("a note ended that was not sounding", step);
                }
                if (count == 2) {
                    onset.key = notes_[at + 1].key;
                    onset.velocity = notes_[at + 1].velocity;
                    onset.noteOn = true;
                }
            }
            if (v == kMelodyVoice && onset.noteOn && onset.key == 0) {
                out_.olderRests = true;
            }
            last_[static_cast<size_t>(v)] = onset.key;
            out_.onsets[static_cast<size_t>(v)].push_back(onset);
            at = run;
        }
        if (at < end && out_.finalChannels[kFirstDrumVoice] != kDrumChannel) {
            return AtStep("notes on another channel", step);
        }
        int drumOnsets = 0;
        while (at < end) {
            // Five drum voices, each playing its one note throughout.
            if (++drumOnsets > kVoiceCount - kFirstDrumVoice) {
                return AtStep("more drum notes than drum voices", step);
            }
            FileDrumOnset drum;
            drum.step = step;
            if (step > 0) {
                if (notes_[at].channel != kDrumChannel || notes_[at].velocity != 0) {
                    return AtStep("notes out of the writer's order", step);
                }
                drum.endedKey = notes_[at].key;
                ++at;
            }
            if (at >= end || notes_[at].channel != kDrumChannel) {
                return AtStep("notes out of the writer's order", step);
            }
            drum.key = notes_[at].key;
            drum.velocity = notes_[at].velocity;
            if (!drumKeys_.test(drum.key)) {
                drumKeys_.set(drum.key);
                if (drumKeys_.count() > static_cast<size_t>(kVoiceCount - kFirstDrumVoice)) {
                    return AtStep("more drum notes than drum voices", step);
                }
            }
            out_.drums.push_back(drum);
            ++at;
        }
        return {};
    }

    // Whether voice v may end `key` now: the note it sounds, or before its
    // first onset the note it carried into the file.
    bool Ended(int v, uint8_t key) {
        std::optional<uint8_t>& last = last_[static_cast<size_t>(v)];
        if (!last) {
            out_.carried[static_cast<size_t>(v)] = key;
            last = key;
            return true;
        }
        return *last == key;
    }

    std::span<const LayoutNote> notes_;
    FileVoices& out_;
    std::array<std::optional<uint8_t>, kFirstDrumVoice> last_{};
    std::bitset<128> drumKeys_;  // the notes the drum channel has started
};

}  // namespace

std::string SortFileVoices(std::span<const LayoutNote> notes, FileVoices& voices) {
    voices = FileVoices{};
    return Sorter(notes, voices).Run();
}

}  // namespace tontoko
