// loudness.cpp - ITU-R BS.1770 integrated loudness and the sample peak.
#include "tools/gen-music/music.h"

#include <algorithm>
#include <cmath>

namespace music {

namespace {

constexpr double ABSOLUTE_GATE_LUFS = -70.0;
constexpr double RELATIVE_GATE_LU = -10.0;
constexpr double LOUDNESS_OFFSET = -0.691;  // makes a 997 Hz sine read its RMS level
constexpr double BLOCK_SECONDS = 0.4;
constexpr int STEPS_PER_BLOCK = 4;          // blocks overlap by 75 %

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0, z2 = 0;
    double Run(double x)
    {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two K-weighting stages for any sample rate, from their analogue prototypes: a high
// shelf of about +4 dB above 1.5 kHz for the head, and the RLB high-pass near 38 Hz.
Biquad HighShelf(int rate)
{
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(M_PI * f0 / rate);
    const double vh = std::pow(10.0, gainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad HighPass(int rate)
{
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(M_PI * f0 / rate);
    const double a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

// Sums of the K-weighted squares of one channel over each 100 ms step.
std::vector<double> WeightedStepEnergy(const std::vector<float>& samples, int rate, size_t stepFrames)
{
    Biquad shelf = HighShelf(rate), pass = HighPass(rate);
    std::vector<double> steps(samples.size() / stepFrames, 0.0);
    for (size_t i = 0; i < steps.size() * stepFrames; ++i) {
        double y = pass.Run(shelf.Run(samples[i]));
        steps[i / stepFrames] += y * y;
    }
    return steps;
}

double ToLufs(double meanSquare) { return LOUDNESS_OFFSET + 10.0 * std::log10(meanSquare); }

}  // namespace

double IntegratedLoudness(const Audio& audio, int sampleRate)
{
    const size_t stepFrames = static_cast<size_t>(sampleRate * BLOCK_SECONDS / STEPS_PER_BLOCK);
    std::vector<double> left = WeightedStepEnergy(audio.left, sampleRate, stepFrames);
    std::vector<double> right = WeightedStepEnergy(audio.right, sampleRate, stepFrames);
    const size_t steps = std::min(left.size(), right.size());
    if (steps < STEPS_PER_BLOCK) return -HUGE_VAL;

    // Mean square of every 400 ms block, both channels weighted 1.
    std::vector<double> blocks;
    for (size_t i = 0; i + STEPS_PER_BLOCK <= steps; ++i) {
        double sum = 0.0;
        for (size_t j = i; j < i + STEPS_PER_BLOCK; ++j) sum += left[j] + right[j];
        blocks.push_back(sum / (stepFrames * STEPS_PER_BLOCK));
    }
    auto gatedMean = [&](double gateLufs, double& mean) {
        double sum = 0.0;
        size_t count = 0;
        for (double z : blocks) {
            if (z > 0.0 && ToLufs(z) > gateLufs) {
                sum += z;
                ++count;
            }
        }
        mean = count ? sum / count : 0.0;
        return count > 0;
    };
    double mean = 0.0;
    if (!gatedMean(ABSOLUTE_GATE_LUFS, mean)) return -HUGE_VAL;
    gatedMean(ToLufs(mean) + RELATIVE_GATE_LU, mean);
    return ToLufs(mean);
}

double PeakDbfs(const Audio& audio)
{
    float peak = 0.0f;
    for (float x : audio.left) peak = std::max(peak, std::fabs(x));
    for (float x : audio.right) peak = std::max(peak, std::fabs(x));
    return peak > 0.0f ? 20.0 * std::log10(peak) : -HUGE_VAL;
}

}  // namespace music
