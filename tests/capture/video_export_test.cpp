// The video export read back: its streams, its frames against the PNG export of the same
// frames, and the music's place in time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "tests/capture/video_show.h"

namespace fs = std::filesystem;

namespace {

constexpr int SHOW_FRAMES = 18573;  // frames 0 to 18572: the credits' end
constexpr double FRAME_SECONDS = 1.0 / 60;
// How far the click's edge may move through LAME and AAC: their filters smear a step by well
// under a millisecond, while music started a frame early or late moves it by 16.7 ms.
constexpr double CLICK_TOLERANCE_SECONDS = FRAME_SECONDS / 8;
// The most detailed frames (the star, the overlay) encode near 39 dB at the test's small size;
// a neighbour across a compared change stays far below, under 30 dB.
constexpr double ENOUGH_DB = 36;

class VideoShow : public testing::Test {
protected:
    void SetUp() override {
        if (std::string missing = MissingShowData(); !missing.empty()) GTEST_SKIP() << missing;
    }
};

TEST_F(VideoShow, TheWholeShowIsH264AtSixtyFramesWithItsMusicAsLongAsThePictures) {
    VideoFacts facts = ReadVideoFacts(VideoShowDirectory() / "show.mp4");
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(facts.videoCodec, "h264");
    EXPECT_EQ(facts.pixelFormat, "yuv420p");
    EXPECT_EQ(facts.width, VIDEO_TEST_WIDTH);
    EXPECT_EQ(facts.height, VIDEO_TEST_HEIGHT);
    EXPECT_EQ(facts.videoPackets, SHOW_FRAMES);
    EXPECT_DOUBLE_EQ(facts.frameRate, 60.0);
    EXPECT_NEAR(facts.videoSeconds, 309.55, 0.001);
    ASSERT_TRUE(facts.hasAudio);
    EXPECT_EQ(facts.audioCodec, "aac");
    EXPECT_EQ(facts.sampleRate, 44100);
    EXPECT_NEAR(facts.audioSeconds, 309.55, FRAME_SECONDS);
    EXPECT_NEAR(facts.decodedAudioSeconds, 309.55, 2048.0 / 44100) << "the sound is really there";
    EXPECT_TRUE(facts.indexFirst) << "the index must lead, so that the file streams";
}

// An RGB PNG's luma as the BT.709 matrix gives it in video range, the video's own terms, at
// the video's size: the stills are drawn at twice it, so each value is a 2 x 2 block's mean.
std::vector<double> HalvedPngLuma(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<double> luma;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return luma;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return luma;
    const int width = int(image.width), height = int(image.height);
    if (width != 2 * VIDEO_TEST_WIDTH || height != 2 * VIDEO_TEST_HEIGHT) return luma;
    auto at = [&](int x, int y) {
        const uint8_t* p = &rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
        return 16 + 219.0 / 255 * (0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]);
    };
    for (int y = 0; y < height; y += 2)
        for (int x = 0; x < width; x += 2)
            luma.push_back((at(x, y) + at(x + 1, y) + at(x, y + 1) + at(x + 1, y + 1)) / 4);
    return luma;
}

double Psnr(const std::vector<uint8_t>& video, const std::vector<double>& picture) {
    if (video.size() != picture.size() || video.empty()) return 0;
    double squares = 0;
    for (std::size_t i = 0; i < video.size(); ++i) squares += (video[i] - picture[i]) * (video[i] - picture[i]);
    double mean = squares / double(video.size());
    return mean == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mean);
}

TEST_F(VideoShow, EachFrameIsTheFrameTheDemoDrawsAndNotItsNeighbour) {
    std::set<int> wanted;
    for (const ComparedFrame& compared : COMPARED_FRAMES) wanted.insert(compared.frame);
    std::map<int, std::vector<uint8_t>> video = DecodeLuma(VideoShowDirectory() / "show.mp4", wanted);
    std::map<int, std::vector<double>> pictures;
    for (int frame : PngFrames()) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%05d.png", frame);
        pictures[frame] = HalvedPngLuma(VideoShowDirectory() / "png" / name);
        ASSERT_EQ(pictures[frame].size(), std::size_t(VIDEO_TEST_WIDTH * VIDEO_TEST_HEIGHT)) << name;
    }
    for (const ComparedFrame& compared : COMPARED_FRAMES) {
        const std::vector<uint8_t>& frame = video[compared.frame];
        EXPECT_GE(Psnr(frame, pictures[compared.frame]), ENOUGH_DB) << "frame " << compared.frame;
        if (compared.previousDiffers) {
            EXPECT_LT(Psnr(frame, pictures[compared.frame - 1]), ENOUGH_DB)
                << "frame " << compared.frame << " vs previous";
        }
        if (compared.nextDiffers) {
            EXPECT_LT(Psnr(frame, pictures[compared.frame + 1]), ENOUGH_DB) << "frame " << compared.frame << " vs next";
        }
    }
}

// 16-bit mono WAV.
void WriteWav(const fs::path& path, int rate, const std::vector<int16_t>& samples) {
    std::ofstream file(path, std::ios::binary);
    auto le = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) file.put(char(value >> (8 * i)));
    };
    uint32_t data = uint32_t(samples.size() * 2);
    file << "RIFF";
    le(36 + data, 4);
    file << "WAVEfmt ";
    le(16, 4);
    le(1, 2);
    le(1, 2);
    le(uint32_t(rate), 4);
    le(uint32_t(rate * 2), 4);
    le(2, 2);
    le(16, 2);
    file << "data";
    le(data, 4);
    for (int16_t sample : samples) le(uint16_t(sample), 2);
}

class MusicInTime : public VideoShow {
protected:
    void TearDown() override { fs::remove_all(directory); }
    fs::path directory = fs::temp_directory_path() / ("vrex_music_in_time_" + std::to_string(getpid()));
};

// A quiet tone with a loud click 1.5 s in, encoded with LAME as the show's music; a video of
// frames 30 to 149 starts 0.5 s into the music, so the click belongs at 1.0 s of the video.
TEST_F(MusicInTime, AClickInTheMusicLandsOnItsFrameAndTheEndFadesOut) {
    fs::create_directories(directory);
    for (const fs::directory_entry& entry : fs::directory_iterator(ShowDataDirectory()))
        if (entry.path().filename() != "musika.mp3")
            fs::create_symlink(fs::absolute(entry.path()), directory / entry.path().filename());
    constexpr int RATE = 44100;
    constexpr double CLICK_SECONDS = 1.5, TONE = 0.1 * 32767;
    std::vector<int16_t> samples(4 * RATE);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(TONE * std::sin(2 * M_PI * 440 * double(i) / RATE));
    for (int i = 0; i < RATE / 500; ++i) samples[std::size_t(CLICK_SECONDS * RATE) + std::size_t(i)] = 30000;  // 2 ms
    WriteWav(directory / "click.wav", RATE, samples);
    std::string encode = "lame --quiet -b 192 '" + (directory / "click.wav").string() + "' '" +
                         (directory / "musika.mp3").string() + "'";
    ASSERT_EQ(std::system(encode.c_str()), 0) << encode;

    ToolRun run = RunTool(directory, {"--video", "clicked.mp4", "--frames", "30-149", "--size", "160x120"});
    ASSERT_EQ(run.status, 0) << run.errors;
    int rate = 0;
    std::vector<float> sound = DecodeSound(directory / "clicked.mp4", &rate);
    ASSERT_EQ(rate, RATE);
    VideoFacts facts = ReadVideoFacts(directory / "clicked.mp4");
    EXPECT_EQ(facts.videoPackets, 120);
    EXPECT_NEAR(facts.videoSeconds, 2.0, 0.001);
    EXPECT_NEAR(facts.audioSeconds, 2.0, FRAME_SECONDS);

    std::size_t click = 0;
    while (click < sound.size() && std::fabs(sound[click]) < 0.5f) ++click;
    ASSERT_LT(click, sound.size()) << "no click in the video's sound";
    EXPECT_NEAR(double(click) / rate, CLICK_SECONDS - 30.0 / 60, CLICK_TOLERANCE_SECONDS)
        << "the music must start with the range's first frame, not a frame before or after it";

    auto loudest = [&](double from, double to) {
        float peak = 0;
        for (std::size_t i = std::size_t(from * rate); i < std::size_t(to * rate) && i < sound.size(); ++i)
            peak = std::max(peak, std::fabs(sound[i]));
        return peak;
    };
    EXPECT_GT(loudest(1.5, 1.7), 0.08f) << "the tone plays before the fade";
    EXPECT_LT(loudest(1.995, 2.0), 0.02f) << "the sound fades out instead of stopping short";
}

}  // namespace
