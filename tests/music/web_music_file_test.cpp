// The web page's copies of the music (tools/gen-music/web_music.h), decoded with independent
// decoders (libopusfile, libmpg123) and held to what the desktop's "musika.mp3" must meet, and
// to its timing: a page that plays a copy at the show's time must hear the same note.
#include <gtest/gtest.h>
#include <opus/opusfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/music/mp3_decode.h"
#include "tools/gen-music/music.h"

namespace {

using namespace music;

constexpr int OPUS_RATE = 48000;  // what every Opus decoder gives

// ok only for a stereo file, as for the MP3 copy below: the copies keep both channels.
DecodedFile DecodeOpus(const std::string& path) {
    DecodedFile result;
    int error = 0;
    OggOpusFile* file = op_open_file(path.c_str(), &error);
    if (!file) return result;
    std::vector<float> block(2 * 5760);
    int got = 0;
    // op_read_float_stereo drops the pre-skip, as browsers do.
    while ((got = op_read_float_stereo(file, block.data(), int(block.size()))) > 0) {
        for (int i = 0; i < got; ++i) {
            result.audio.left.push_back(block[2 * i]);
            result.audio.right.push_back(block[2 * i + 1]);
        }
    }
    result.channels = op_channel_count(file, -1);
    result.ok = got == 0 && result.channels == 2;
    result.rate = OPUS_RATE;
    op_free(file);
    return result;
}

const DecodedFile& Opus() {
    static const DecodedFile copy = DecodeOpus(std::string(VREX_WEB_MUSIC_DIR) + "/musika.opus");
    return copy;
}

const DecodedFile& WebMp3() {
    static const DecodedFile copy = [] {
        DecodedFile decoded = DecodeMp3(std::string(VREX_WEB_MUSIC_DIR) + "/musika.mp3");
        decoded.ok = decoded.ok && decoded.channels == 2;
        return decoded;
    }();
    return copy;
}

const DecodedFile& Desktop() {
    static const DecodedFile decoded = DecodeMp3(std::string(VREX_DATA_DIR) + "/musika.mp3");
    return decoded;
}

// The desktop's left channel at `rate`, by linear interpolation: fine enough to line up.
std::vector<float> DesktopAt(long rate, size_t from, size_t count) {
    const std::vector<float>& left = Desktop().audio.left;
    std::vector<float> out(count);
    const double step = double(Desktop().rate) / double(rate);
    for (size_t i = 0; i < count; ++i) {
        const double at = double(from + i) * step;
        const size_t whole = size_t(at);
        if (whole + 1 >= left.size()) break;
        const double part = at - double(whole);
        out[i] = float(left[whole] * (1.0 - part) + left[whole + 1] * part);
    }
    return out;
}

// The shift (in samples of the copy's rate) at which the copy best matches the desktop's file
// over one second from `seconds`, searched within +-10 ms: positive when the copy is late.
long BestShift(const DecodedFile& copy, double seconds) {
    const long window = copy.rate;
    const long reach = copy.rate / 100;
    const size_t from = size_t(seconds * double(copy.rate));
    const std::vector<float> reference = DesktopAt(copy.rate, from - size_t(reach), size_t(window + 2 * reach));
    long best = 0;
    double bestScore = -HUGE_VAL;
    for (long shift = -reach; shift <= reach; ++shift) {
        double score = 0.0, energy = 0.0;
        for (long i = 0; i < window; ++i) {
            const float x = copy.audio.left[from + size_t(shift + i)];
            score += x * reference[size_t(reach + i)];
            energy += x * x;
        }
        score /= std::sqrt(energy + 1e-12);
        if (score > bestScore) {
            bestScore = score;
            best = shift;
        }
    }
    return best;
}

struct Case {
    const char* name;
    const DecodedFile& (*copy)();
};
const Case COPIES[] = {{"musika.opus", Opus}, {"musika.mp3 (web)", WebMp3}};

TEST(WebMusicFile, EachCopyDecodesAsStereoOfThePlannedLength) {
    const double planned = PieceSeconds(PlanSections());
    for (const Case& c : COPIES) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.copy().ok);
        EXPECT_NEAR(double(c.copy().audio.left.size()) / double(c.copy().rate), planned, 0.5);
    }
}

TEST(WebMusicFile, EachCopyKeepsTheLoudnessAndPeaksOfTheDesktopFile) {
    ASSERT_TRUE(Desktop().ok);
    std::printf("musika.mp3 (desktop): %.2f LUFS, peak %.2f dBFS, true peak %.2f dBFS\n",
                IntegratedLoudness(Desktop().audio), PeakDbfs(Desktop().audio), TruePeakDbfs(Desktop().audio));
    for (const Case& c : COPIES) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.copy().ok);
        const double lufs = IntegratedLoudness(c.copy().audio, int(c.copy().rate));
        const double peak = PeakDbfs(c.copy().audio);
        const double truePeak = TruePeakDbfs(c.copy().audio, int(c.copy().rate));
        std::printf("%s: %.2f LUFS, peak %.2f dBFS, true peak %.2f dBFS\n", c.name, lufs, peak, truePeak);
        EXPECT_NEAR(lufs, TARGET_LUFS, 0.5);
        EXPECT_LE(peak, -1.0);
        EXPECT_LE(truePeak, -1.0);
    }
}

TEST(WebMusicFile, EachCopyStartsOnTheDesktopFilesSampleWithinAMillisecond) {
    ASSERT_TRUE(Desktop().ok);
    for (const Case& c : COPIES) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.copy().ok);
        // Near the start and near the end: a shift that grows would be a rate mistake.
        for (double seconds : {3.0, 250.0}) {
            const long shift = BestShift(c.copy(), seconds);
            std::printf("%s at %.0f s: %+ld samples from the desktop's file\n", c.name, seconds, shift);
            EXPECT_LE(std::abs(double(shift)) * 1000.0 / double(c.copy().rate), 1.0) << "at " << seconds << " s";
        }
    }
}

TEST(WebMusicFile, TheLineUpSeesAShiftedCopy) {
    // The same search on the desktop's own samples moved by 5 ms must find those 5 ms.
    DecodedFile shifted = Desktop();
    const size_t moved = size_t(Desktop().rate / 200);
    shifted.audio.left.insert(shifted.audio.left.begin(), moved, 0.0f);
    EXPECT_EQ(BestShift(shifted, 3.0), long(moved));
}

}  // namespace
