// The generated "musika.mp3" as a player sees it: decoded with libmpg123, an independent
// decoder, and measured.
#include "tests/music/mp3_decode.h"
#include "tools/gen-music/music.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using namespace music;

std::string DataPath(const char* name) { return std::string(VREX_DATA_DIR) + "/" + name; }

const DecodedFile& Music() {
    static const DecodedFile decoded = DecodeMp3(DataPath("musika.mp3"));
    return decoded;
}

double PieceLength() { return PieceSeconds(PlanSections()); }

TEST(MusikaFile, DecodesAsStereoAt44100Hz) {
    ASSERT_TRUE(Music().ok) << DataPath("musika.mp3");
    EXPECT_EQ(Music().rate, 44100);
    EXPECT_EQ(Music().channels, 2);
}

TEST(MusikaFile, LastsThePlannedLengthWithinHalfASecond) {
    ASSERT_TRUE(Music().ok);
    double seconds = static_cast<double>(Music().audio.left.size()) / Music().rate;
    EXPECT_NEAR(seconds, PieceLength(), 0.5);
    EXPECT_GE(seconds, 310.0);
}

TEST(MusikaFile, PeaksStayAtOrBelowMinusOneDbfs) {
    ASSERT_TRUE(Music().ok);
    EXPECT_LE(PeakDbfs(Music().audio), -1.0);
}

TEST(MusikaFile, LoudnessIsNearMinus14Lufs) {
    ASSERT_TRUE(Music().ok);
    EXPECT_NEAR(IntegratedLoudness(Music().audio), -14.0, 0.5);
}

TEST(MusikaFile, NoSecondIsSilentBeforeTheFade) {
    ASSERT_TRUE(Music().ok);
    const Audio& audio = Music().audio;
    const size_t fadeStart = static_cast<size_t>(PlanSections().back().startSeconds * SAMPLE_RATE);
    const size_t window = SAMPLE_RATE / 10;
    // Count consecutive 100 ms windows quieter than -60 dBFS RMS.
    int quietRun = 0, longest = 0;
    for (size_t at = 0; at + window <= std::min(fadeStart, audio.left.size()); at += window) {
        double sum = 0.0;
        for (size_t i = at; i < at + window; ++i)
            sum += audio.left[i] * audio.left[i] + audio.right[i] * audio.right[i];
        double rmsDb = 10.0 * std::log10(sum / (2.0 * window) + 1e-30);
        quietRun = rmsDb < -60.0 ? quietRun + 1 : 0;
        longest = std::max(longest, quietRun);
    }
    EXPECT_LT(longest, 10) << "silent for " << longest * 100 << " ms";
}

TEST(MusikaFile, MidiFileBesideItIsTheScore) {
    std::ifstream in(DataPath("musika.mid"), std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(bytes == WriteMidiFile(ComposeScore()));
}

}  // namespace
