// loudness.cpp - ITU-R BS.1770 integrated loudness and true peak through libebur128, and the
// sample peak.
#include "tools/gen-music/music.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace music {

namespace {

constexpr size_t FRAMES_PER_CALL = 65536;  // interleaved in slices, not in one copy of the piece

struct StateDeleter {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};
using LoudnessMeter = std::unique_ptr<ebur128_state, StateDeleter>;

// The whole piece through a meter of the given mode; null when the meter fails.
LoudnessMeter Measure(const Audio& audio, int sampleRate, int mode) {
    LoudnessMeter meter(ebur128_init(2, static_cast<unsigned long>(sampleRate), mode));
    if (!meter) return meter;
    const bool measured = ForEachStereoSlice(audio, FRAMES_PER_CALL, [&](const float* interleaved, size_t frames) {
        return ebur128_add_frames_float(meter.get(), interleaved, frames) == EBUR128_SUCCESS;
    });
    if (!measured) return nullptr;
    return meter;
}

}  // namespace

double IntegratedLoudness(const Audio& audio, int sampleRate) {
    LoudnessMeter meter = Measure(audio, sampleRate, EBUR128_MODE_I);
    if (!meter) return -HUGE_VAL;
    double lufs = -HUGE_VAL;
    if (ebur128_loudness_global(meter.get(), &lufs) != EBUR128_SUCCESS) return -HUGE_VAL;
    return lufs;
}

double PeakDbfs(const Audio& audio) {
    float peak = 0.0f;
    for (float x : audio.left) peak = std::max(peak, std::fabs(x));
    for (float x : audio.right) peak = std::max(peak, std::fabs(x));
    return peak > 0.0f ? 20.0 * std::log10(peak) : -HUGE_VAL;
}

double TruePeakDbfs(const Audio& audio, int sampleRate) {
    LoudnessMeter meter = Measure(audio, sampleRate, EBUR128_MODE_TRUE_PEAK);
    if (!meter) return HUGE_VAL;
    double peak = 0.0;
    for (unsigned channel = 0; channel < 2; ++channel) {
        double channelPeak = 0.0;
        if (ebur128_true_peak(meter.get(), channel, &channelPeak) != EBUR128_SUCCESS) return HUGE_VAL;
        peak = std::max(peak, channelPeak);
    }
    return peak > 0.0 ? 20.0 * std::log10(peak) : -HUGE_VAL;
}

}  // namespace music
