#pragma once

// Audio files read back with libsndfile, for the tests of what was written.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace tontoko::test {

struct AudioData {
    bool opened = false;
    int rate = 0;
    int channels = 0;
    int format = 0;              // libsndfile's format word
    std::vector<float> samples;  // interleaved
    double Seconds() const {
        return channels && rate ? double(samples.size()) / channels / rate : 0.0;
    }
    long long Frames() const {
        return channels ? static_cast<long long>(samples.size()) / channels : 0;
    }
    double Rms() const {
        double sum = 0;
        for (float s : samples) {
            sum += double(s) * s;
        }
        return samples.empty() ? 0.0 : std::sqrt(sum / double(samples.size()));
    }
    float Peak(std::size_t from = 0, std::size_t to = SIZE_MAX) const {
        const std::size_t end = std::min(to, samples.size());
        float peak = 0;
        for (auto it = samples.begin() + long(std::min(from, end));
             it != samples.begin() + long(end); ++it) {
            peak = std::max(peak, std::fabs(*it));
        }
        return peak;
    }
    // Seconds of the final run within one 16-bit step of silence.
    double SilentTail() const {
        std::size_t silent = 0;
        for (auto it = samples.rbegin(); it != samples.rend() && std::fabs(*it) <= 1.5f / 32767;
             ++it) {
            ++silent;
        }
        return channels && rate ? double(silent) / channels / rate : 0.0;
    }
};

// The largest difference between two runs of samples of the same length
// (infinity when the lengths differ).
inline double MaxDifference(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) {
        return INFINITY;
    }
    double worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        worst = std::max(worst, double(std::fabs(a[i] - b[i])));
    }
    return worst;
}

// One step of a 16-bit sample.
inline constexpr double kSampleStep = 1.0 / 32767;

inline AudioData ReadAudio(const std::string& path) {
    AudioData data;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        return data;
    }
    data.opened = true;
    data.rate = info.samplerate;
    data.channels = info.channels;
    data.format = info.format;
    data.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_float(file, data.samples.data(), info.frames);
    data.samples.resize(static_cast<std::size_t>(read * info.channels));
    sf_close(file);
    return data;
}

}  // namespace tontoko::test
