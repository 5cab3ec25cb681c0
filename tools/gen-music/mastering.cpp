// mastering.cpp - DC removal, the fade-out, the peak limiter and the loudness normalisation.
#include "tools/gen-music/music.h"

#include <algorithm>
#include <cmath>

namespace music {

namespace {

constexpr double LOOKAHEAD_SECONDS = 0.005;
constexpr double RELEASE_SECONDS = 0.12;
constexpr int GAIN_PASSES = 4;  // the limiter takes a little loudness away; a few passes settle it

constexpr double DC_CUTOFF_HZ = 10.0;

double DbToGain(double db) { return std::pow(10.0, db / 20.0); }

// A one-pole high-pass far below the lowest bass note: some soundfont samples carry a small
// DC offset, which costs headroom and is not heard.
void RemoveDc(std::vector<float>& samples) {
    const double r = 1.0 - 2.0 * M_PI * DC_CUTOFF_HZ / SAMPLE_RATE;
    double previousIn = 0.0, previousOut = 0.0;
    for (float& x : samples) {
        double out = x - previousIn + r * previousOut;
        previousIn = x;
        previousOut = out;
        x = static_cast<float>(out);
    }
}

void FadeOut(Audio& audio, double startSeconds, double endSeconds) {
    const size_t start = static_cast<size_t>(std::max(0.0, startSeconds * SAMPLE_RATE));
    const size_t end = static_cast<size_t>(std::max(0.0, endSeconds * SAMPLE_RATE));
    for (size_t i = start; i < audio.left.size(); ++i) {
        double gain = 0.0;
        if (i < end) {
            // A raised cosine: starts flat, so the fade's beginning is not heard as a step.
            double t = static_cast<double>(i - start) / static_cast<double>(end - start);
            gain = 0.5 * (1.0 + std::cos(M_PI * t));
        }
        audio.left[i] = static_cast<float>(audio.left[i] * gain);
        audio.right[i] = static_cast<float>(audio.right[i] * gain);
    }
}

void ApplyGain(Audio& audio, float gain) {
    for (float& x : audio.left) x *= gain;
    for (float& x : audio.right) x *= gain;
}

}  // namespace

void LimitPeaks(Audio& audio, float ceiling, int lookaheadFrames, double releaseSeconds) {
    const size_t n = std::min(audio.left.size(), audio.right.size());
    if (n == 0) return;
    // The gain each sample needs on its own to stay under the ceiling.
    std::vector<float> gain(n);
    for (size_t i = 0; i < n; ++i) {
        float peak = std::max(std::fabs(audio.left[i]), std::fabs(audio.right[i]));
        gain[i] = peak > ceiling ? ceiling / peak : 1.0f;
    }
    // Backwards: the gain may fall by at most 1/lookahead per sample towards a peak.
    const float attackStep = 1.0f / static_cast<float>(std::max(1, lookaheadFrames));
    for (size_t i = n - 1; i-- > 0;) gain[i] = std::min(gain[i], gain[i + 1] + attackStep);
    // Forwards: after a peak the gain recovers exponentially. The recovery runs in double:
    // in float its last steps round away and the gain would settle just under 1.
    const double release = 1.0 - std::exp(-1.0 / (releaseSeconds * SAMPLE_RATE));
    double current = gain[0];
    for (size_t i = 1; i < n; ++i) {
        current = std::min<double>(gain[i], current + (1.0 - current) * release);
        gain[i] = static_cast<float>(current);
    }
    // Both passes only lower the gain, so every sample still ends at or under the ceiling.
    for (size_t i = 0; i < n; ++i) {
        audio.left[i] *= gain[i];
        audio.right[i] *= gain[i];
    }
}

MasterReport MasterAudio(Audio& audio, double fadeStartSeconds, double fadeEndSeconds, double targetLufs,
                         double ceilingDbfs) {
    MasterReport report{};
    RemoveDc(audio.left);
    RemoveDc(audio.right);
    FadeOut(audio, fadeStartSeconds, fadeEndSeconds);
    report.renderedLufs = IntegratedLoudness(audio);
    if (!std::isfinite(report.renderedLufs)) {
        report.lufs = report.renderedLufs;
        report.peakDbfs = PeakDbfs(audio);
        return report;
    }
    const float ceiling = static_cast<float>(DbToGain(ceilingDbfs));
    const int lookahead = static_cast<int>(LOOKAHEAD_SECONDS * SAMPLE_RATE);
    double gainDb = targetLufs - report.renderedLufs;
    Audio limited;
    for (int pass = 0; pass < GAIN_PASSES; ++pass) {
        limited = audio;
        ApplyGain(limited, static_cast<float>(DbToGain(gainDb)));
        report.deepestLimitDb = std::max(0.0, PeakDbfs(limited) - ceilingDbfs);
        LimitPeaks(limited, ceiling, lookahead, RELEASE_SECONDS);
        report.lufs = IntegratedLoudness(limited);
        report.gainDb = gainDb;
        if (std::fabs(report.lufs - targetLufs) < 0.05) break;
        gainDb += targetLufs - report.lufs;
    }
    audio = std::move(limited);
    report.peakDbfs = PeakDbfs(audio);
    return report;
}

}  // namespace music
