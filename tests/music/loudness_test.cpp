// BS.1770 loudness on signals with known values, the limiter and the mastering chain.
#include "tools/gen-music/music.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace music;

Audio Sine(double hz, double dbfs, double seconds, bool left, bool right) {
    Audio audio;
    const size_t n = static_cast<size_t>(seconds * SAMPLE_RATE);
    const double amplitude = std::pow(10.0, dbfs / 20.0);
    audio.left.assign(n, 0.0f);
    audio.right.assign(n, 0.0f);
    for (size_t i = 0; i < n; ++i) {
        float x = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * static_cast<double>(i) / SAMPLE_RATE));
        if (left) audio.left[i] = x;
        if (right) audio.right[i] = x;
    }
    return audio;
}

void Append(Audio& audio, const Audio& more) {
    audio.left.insert(audio.left.end(), more.left.begin(), more.left.end());
    audio.right.insert(audio.right.end(), more.right.begin(), more.right.end());
}

TEST(Loudness, SinesReadTheirKnownLoudness) {
    struct Case {
        double hz, dbfs;
        bool left, right;
        double lufs, tolerance;
    };
    const Case cases[] = {
        {997, 0, true, false, -3.01, 0.02},                                          // the standard's calibration point
        {997, 0, false, true, -3.01, 0.02},    {997, -20, true, true, -20.0, 0.02},  // two channels add 3 dB
        {997, -20, true, false, -23.01, 0.02}, {1000, -20, true, true, -20.0, 0.05},
        {10000, -20, true, true, -16.65, 0.1},  // the shelf's +4 dB less the 0.691 dB offset
        {20, -20, true, true, -34.0, 0.5},      // the high-pass takes 13 dB off a deep rumble
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(IntegratedLoudness(Sine(c.hz, c.dbfs, 5.0, c.left, c.right)), c.lufs, c.tolerance)
            << c.hz << " Hz at " << c.dbfs << " dBFS";
    }
}

TEST(Loudness, SilenceIsGatedOut) {
    Audio audio = Sine(997, -20, 4.0, true, true);
    Append(audio, Sine(997, -200, 8.0, true, true));
    // 37 full blocks and three that hold 3/4, 1/2 and 1/4 of the sine pass the gates; the
    // silent blocks don't count.
    EXPECT_NEAR(IntegratedLoudness(audio), -20.0 + 10 * std::log10(38.5 / 40), 0.01);
    EXPECT_EQ(IntegratedLoudness(Sine(997, -200, 2.0, true, true)), -HUGE_VAL);
    EXPECT_EQ(IntegratedLoudness(Audio{}), -HUGE_VAL);
}

TEST(Loudness, PassagesTenLuBelowTheRestAreGatedOut) {
    // A loud part and a part 20 dB quieter: the quiet one falls under the relative gate.
    Audio audio = Sine(997, -10, 4.0, true, true);
    Append(audio, Sine(997, -30, 4.0, true, true));
    // 37 loud blocks and the three across the change pass; the 37 quiet ones are gated out.
    const double mixed = 0.75 + 0.25 * 0.01 + 0.5 + 0.5 * 0.01 + 0.25 + 0.75 * 0.01;
    EXPECT_NEAR(IntegratedLoudness(audio), -10.0 + 10 * std::log10((37 + mixed) / 40), 0.01);
}

TEST(Loudness, PeakIsTheLargestMagnitudeOnEitherChannel) {
    Audio audio = Sine(997, -6, 1.0, true, false);
    audio.right[100] = -0.75f;
    EXPECT_NEAR(PeakDbfs(audio), 20 * std::log10(0.75), 1e-4);
}

TEST(Limiter, NoSampleEndsAboveTheCeiling) {
    Audio audio = Sine(220, -20, 2.0, true, true);
    for (size_t i = 20000; i < 20100; ++i) audio.left[i] = 1.5f;  // a burst far over the top
    audio.right[40000] = -2.0f;
    LimitPeaks(audio, 0.5f, 220, 0.1);
    EXPECT_LE(PeakDbfs(audio), 20 * std::log10(0.5) + 1e-4);
}

TEST(Limiter, QuietPassagesFarFromPeaksAreUntouched) {
    const Audio original = Sine(220, -20, 2.0, true, true);
    Audio audio = original;
    audio.left[44100] = 1.0f;
    LimitPeaks(audio, 0.5f, 220, 0.05);
    // Well before the look-ahead and long after the release, the signal is unchanged.
    for (size_t i : {size_t{1000}, size_t{40000}, size_t{80000}}) EXPECT_FLOAT_EQ(audio.left[i], original.left[i]);
    // The gain ramps down smoothly: the sample just before the peak is already reduced.
    EXPECT_LT(std::fabs(audio.left[44099]), std::fabs(original.left[44099]));
}

TEST(Mastering, BringsMusicToTheTargetUnderTheCeilingAndFadesOut) {
    // A chord with hard transients every half second, far too quiet and peaky as it is.
    Audio audio = Sine(220, -30, 10.0, true, true);
    Audio third = Sine(277, -32, 10.0, true, true);
    for (size_t i = 0; i < audio.left.size(); ++i) {
        audio.left[i] += third.left[i];
        audio.right[i] += third.right[i];
        if (i % 22050 < 50) audio.left[i] += 0.3f;
    }
    MasterReport report = MasterAudio(audio, 8.0, 9.0, -14.0, -2.0);
    EXPECT_NEAR(report.lufs, -14.0, 0.1);
    EXPECT_NEAR(IntegratedLoudness(audio), -14.0, 0.1);
    EXPECT_LE(PeakDbfs(audio), -2.0 + 1e-4);
    EXPECT_GT(report.gainDb, 10.0);
    for (size_t i = static_cast<size_t>(9.0 * SAMPLE_RATE); i < audio.left.size(); ++i) {
        ASSERT_EQ(audio.left[i], 0.0f);
        ASSERT_EQ(audio.right[i], 0.0f);
    }
}

}  // namespace
