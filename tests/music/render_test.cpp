// Rendering through the soundfont and encoding are deterministic on an excerpt of the piece.
#include "tools/gen-music/music.h"

#include <gtest/gtest.h>

namespace {

using namespace music;

constexpr double EXCERPT_SECONDS = 3.0;

// Three seconds from the start of the star: lead, strings, bass, arpeggio and drums at once.
Audio RenderStarExcerpt() {
    static const Score score = ComposeScore();
    const double from = score.sections[STAR].startSeconds;
    return RenderScore(score, VREX_SOUNDFONT, from, from + EXCERPT_SECONDS);
}

TEST(Render, SameExcerptRendersToTheSameSamplesAndBytes) {
    Audio first = RenderStarExcerpt();
    Audio second = RenderStarExcerpt();
    ASSERT_EQ(first.left.size(), static_cast<size_t>(EXCERPT_SECONDS * SAMPLE_RATE));
    EXPECT_TRUE(first.left == second.left);
    EXPECT_TRUE(first.right == second.right);

    MasterAudio(first, 2.0, 3.0);
    MasterAudio(second, 2.0, 3.0);
    std::vector<uint8_t> a = EncodeMp3(first), b = EncodeMp3(second);
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a == b);
}

TEST(Render, ExcerptIsMusicNotSilence) {
    Audio audio = RenderStarExcerpt();
    EXPECT_GT(IntegratedLoudness(audio), -40.0);
    EXPECT_FALSE(audio.left == audio.right);  // panned parts make a stereo image
}

TEST(Render, MissingSoundfontGivesNoAudio) {
    Score score = ComposeScore();
    EXPECT_TRUE(RenderScore(score, "no-such-soundfont.sf2", 0.0, 1.0).left.empty());
}

TEST(Render, Mp3IsConstantBitRateAt192Kbits) {
    Audio audio;
    audio.left.assign(SAMPLE_RATE, 0.1f);
    audio.right.assign(SAMPLE_RATE, -0.1f);
    std::vector<uint8_t> mp3 = EncodeMp3(audio);
    ASSERT_GE(mp3.size(), 4u);
    // MPEG-1 layer III frame header: sync, then bit rate index 11 (192 kbit/s), 44.1 kHz.
    EXPECT_EQ(mp3[0], 0xFF);
    EXPECT_EQ(mp3[1] & 0xFE, 0xFA);
    EXPECT_EQ(mp3[2] >> 4, 11);
    EXPECT_EQ((mp3[2] >> 2) & 3, 0);
    // 1 s at 192 kbit/s is 24000 bytes, plus the tag frame and the encoder's delay.
    EXPECT_NEAR(static_cast<double>(mp3.size()), 24000.0, 2000.0);
}

}  // namespace
