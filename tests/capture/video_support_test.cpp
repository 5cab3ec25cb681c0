// The parts of the video export that need no drawing: the command line, the frame queue
// between the threads, the stretch of music and the progress line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "cli/command_line.h"
#include "tests/capture/video_show.h"
#include "tools/capture/capture.h"
#include "tools/capture/frame_state.h"
#include "tools/capture/video.h"

namespace fs = std::filesystem;

namespace {

int Read(std::vector<std::string> words, CaptureOptions* options) {
    words.insert(words.begin(), "vrex-capture");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    return ReadCaptureOptions(int(words.size()), argv.data(), options);
}

TEST(CaptureCommandLine, GoodLinesFillTheOptions) {
    CaptureOptions pictures;
    ASSERT_EQ(Read({"--frames", "1,5-6", "--out", "dir", "--size", "1440x1080"}, &pictures), GO_ON);
    EXPECT_EQ(pictures.frames, (std::set<int>{1, 5, 6}));
    EXPECT_EQ(pictures.directory, "dir");
    EXPECT_EQ(pictures.width, 1440);
    EXPECT_EQ(pictures.height, 1080);
    EXPECT_TRUE(pictures.video.empty());

    CaptureOptions whole;
    ASSERT_EQ(Read({"--video", "show.mp4"}, &whole), GO_ON);
    EXPECT_EQ(whole.video, "show.mp4");
    EXPECT_TRUE(whole.frames.empty());
    EXPECT_EQ(whole.width, 800);
    EXPECT_EQ(whole.height, 600);
    EXPECT_TRUE(whole.music);

    CaptureOptions range;
    ASSERT_EQ(Read({"--video", "part.mp4", "--frames", "4286-8571", "--no-audio", "--bench"}, &range), GO_ON);
    EXPECT_EQ(range.frames.size(), 4286u);
    EXPECT_FALSE(range.music);
    EXPECT_TRUE(range.bench);

    // One drawing for several uses: a smaller video, and stills at the drawn size.
    CaptureOptions pass;
    ASSERT_EQ(Read({"--video", "show.mp4", "--video-size", "400x300", "--stills", "1,700-701", "--out", "png"}, &pass),
              GO_ON);
    EXPECT_EQ(pass.videoWidth, 400);
    EXPECT_EQ(pass.videoHeight, 300);
    EXPECT_EQ(pass.width, 800);
    EXPECT_EQ(pass.stills, (std::set<int>{1, 700, 701}));
    EXPECT_EQ(pass.directory, "png");
    EXPECT_TRUE(pass.frames.empty());
    EXPECT_EQ(whole.videoWidth, 0) << "the video at the drawn size unless asked";
    EXPECT_TRUE(whole.stills.empty());

    CaptureOptions help;
    EXPECT_EQ(Read({"--help"}, &help), 0);
}

TEST(CaptureCommandLine, MistakesEndWithStatusTwo) {
    const std::vector<std::vector<std::string>> mistakes = {
        {},                                               // nothing to do
        {"--frames", "1"},                                // PNG frames with nowhere to go
        {"--frames", "9-3", "--out", "d"},                // a reversed range
        {"--video", "v.mp4", "--frames", "1,3"},          // a video is one range
        {"--video", "v.mp4", "--frames", "18500-18600"},  // past the show's end
        {"--video", "v.mp4", "--out", "d"},               // one or the other
        {"--video=-v.mp4"},                               // an option's name taken for a file
        {"--frames", "1", "--out=--help"},
        {"--no-audio", "--frames", "1", "--out", "d"},  // no video to leave it out of
        {"--video", "v.mp4", "--size", "1920x1080"},    // not the show's shape
        {"--video", "v.mp4", "--size", "164x123"},      // 4:3 but odd
        {"--video", "v.mp4", "--vidoe", "w.mp4"},       // unknown option
        {"--video"},                                    // missing value
        {"--stills", "1", "--out", "d"},                // stills are taken while a video is written
        {"--video", "v.mp4", "--stills", "1"},          // stills with nowhere to go
        {"--video", "v.mp4", "--stills", "1-", "--out", "d"},
        {"--video", "v.mp4", "--frames", "0-99", "--stills", "100", "--out", "d"},  // never drawn
        {"--video-size", "400x300", "--frames", "1", "--out", "d"},                 // no video to scale
        {"--video", "v.mp4", "--video-size", "1600x1200"},                          // larger than drawn
        {"--video", "v.mp4", "--size", "320x240", "--video-size", "400x300"},
        {"--video", "v.mp4", "--video-size", "400x301"},
    };
    for (const auto& words : mistakes) {
        CaptureOptions options;
        std::string line;
        for (const std::string& word : words) line += word + " ";
        EXPECT_EQ(Read(words, &options), EXIT_USAGE) << line;
    }
}

TEST(CaptureCommandLine, SizesAreEvenAndFourByThree) {
    const struct {
        const char* text;
        bool good;
        int width, height;
    } cases[] = {
        {"800x600", true, 800, 600},     {"1440x1080", true, 1440, 1080}, {"160x120", true, 160, 120},
        {"4096x3072", true, 4096, 3072}, {"4104x3078", false, 0, 0},      {"80x60", false, 0, 0},
        {"1440x1081", false, 0, 0},      {"1440", false, 0, 0},           {"1440x", false, 0, 0},
        {"x1080", false, 0, 0},          {"1440X1080", false, 0, 0},      {"+800x600", false, 0, 0},
        {"800x600 ", false, 0, 0},       {"99999999x600", false, 0, 0},
    };
    for (const auto& c : cases) {
        int width = 0, height = 0;
        std::string error;
        EXPECT_EQ(ParseFrameSize(c.text, &width, &height, &error), c.good) << c.text;
        EXPECT_EQ(width, c.width) << c.text;
        EXPECT_EQ(height, c.height) << c.text;
        EXPECT_EQ(error.empty(), c.good) << c.text;
    }
}

TEST(FrameQueue, HandsFramesOverInOrderAndDrainsAfterAnOrdinaryClose) {
    FrameQueue queue(3, 4);
    for (uint8_t mark : {1, 2, 3}) {
        std::vector<uint8_t> buffer;
        ASSERT_TRUE(queue.Acquire(&buffer));
        ASSERT_EQ(buffer.size(), 4u);
        buffer[0] = mark;
        queue.Push(std::move(buffer));
    }
    queue.Close(false);
    std::vector<uint8_t> buffer;
    for (uint8_t mark : {1, 2, 3}) {
        ASSERT_TRUE(queue.Pop(&buffer));
        EXPECT_EQ(buffer[0], mark);
        queue.Release(std::move(buffer));
    }
    EXPECT_FALSE(queue.Pop(&buffer));
    EXPECT_FALSE(queue.Acquire(&buffer));
    EXPECT_FALSE(queue.Failed());
}

TEST(FrameQueue, TheDrawingSideWaitsWhileEveryBufferIsInUse) {
    FrameQueue queue(2, 16);
    std::vector<uint8_t> first, second;
    ASSERT_TRUE(queue.Acquire(&first));
    ASSERT_TRUE(queue.Acquire(&second));
    queue.Push(std::move(first));
    queue.Push(std::move(second));

    std::atomic<bool> acquired{false};
    std::thread drawing([&] {
        std::vector<uint8_t> third;
        acquired = queue.Acquire(&third);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(acquired) << "a third buffer exceeds the capacity";
    std::vector<uint8_t> popped;
    ASSERT_TRUE(queue.Pop(&popped));
    queue.Release(std::move(popped));  // now one may be reused
    drawing.join();
    EXPECT_TRUE(acquired);
}

TEST(FrameQueue, AFailedWriterStopsBothSidesAtOnce) {
    FrameQueue queue(1, 8);
    std::vector<uint8_t> buffer;
    ASSERT_TRUE(queue.Acquire(&buffer));
    queue.Push(std::move(buffer));
    std::thread drawing([&] {
        std::vector<uint8_t> next;
        EXPECT_FALSE(queue.Acquire(&next));  // waits for the one buffer until the close
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    queue.Close(true);
    drawing.join();
    EXPECT_TRUE(queue.Failed());
    EXPECT_FALSE(queue.Pop(&buffer)) << "the queued frame is dropped";
}

// A video scaled down from larger frames: each of its pixels the mean of the block it covers,
// the whole frame kept (not a corner of it), the right way up.
TEST(VideoFile, FramesLargerThanTheVideoAreScaledDownWhole) {
    constexpr int WIDTH = 160, HEIGHT = 120;
    fs::path path = fs::temp_directory_path() / ("vrex_scaled_" + std::to_string(getpid()) + ".mp4");
    VideoSettings settings;
    settings.path = path.string();
    settings.width = WIDTH;
    settings.height = HEIGHT;
    settings.sourceWidth = 2 * WIDTH;
    settings.sourceHeight = 2 * HEIGHT;
    settings.frameCount = 2;
    VideoFile file;
    std::string error;
    ASSERT_TRUE(file.Open(settings, &error)) << error;
    // BGRA, bottom row first: the upper half black, the lower left quarter white, the lower
    // right quarter a checkerboard of single black and white pixels.
    std::vector<uint8_t> frame(std::size_t(4 * WIDTH * HEIGHT) * 4);
    for (int y = 0; y < 2 * HEIGHT; ++y)
        for (int x = 0; x < 2 * WIDTH; ++x) {
            bool lower = y < HEIGHT, left = x < WIDTH;
            uint8_t value = !lower ? 0 : left ? 255 : ((x + y) % 2 ? 255 : 0);
            uint8_t* p = &frame[(std::size_t(y) * 2 * WIDTH + std::size_t(x)) * 4];
            p[0] = p[1] = p[2] = value;
            p[3] = 255;
        }
    ASSERT_TRUE(file.AddFrame(frame.data()));
    ASSERT_TRUE(file.AddFrame(frame.data()));
    ASSERT_TRUE(file.Finish(&error)) << error;

    VideoFacts facts = ReadVideoFacts(path);
    EXPECT_EQ(facts.width, WIDTH);
    EXPECT_EQ(facts.height, HEIGHT);
    std::map<int, std::vector<uint8_t>> luma = DecodeLuma(path, {0});
    ASSERT_EQ(luma[0].size(), std::size_t(WIDTH * HEIGHT));
    auto at = [&](int x, int yFromTop) { return int(luma[0][std::size_t(yFromTop * WIDTH + x)]); };
    // Away from the edges, where the encoder's blocks blur the halves into each other.
    EXPECT_NEAR(at(WIDTH / 4, HEIGHT / 4), 16, 3) << "top: black";
    EXPECT_NEAR(at(3 * WIDTH / 4, HEIGHT / 4), 16, 3) << "top right: black";
    EXPECT_NEAR(at(WIDTH / 4, 3 * HEIGHT / 4), 235, 3) << "bottom left: white";
    EXPECT_NEAR(at(3 * WIDTH / 4, 3 * HEIGHT / 4), (16 + 235) / 2, 6) << "bottom right: the checkerboard's mean";
    fs::remove(path);
}

// The state's text keeps every bit: the clock is compared bit for bit after a round trip.
TEST(FrameStateText, ReadsBackExactlyWhatItWrote) {
    double clock = 0;
    for (int i = 0; i < 7000; ++i) clock += 0.0007;
    const FrameState state = {{"clock", {clock}},
                              {"wobble", {double(-8.999f)}},
                              {"particles", {4294967295.0, 0}},
                              {"model-view", {1, -0.0, 1e-300, -123456789.125}},
                              {"texture bound", {3}}};
    FrameState read;
    ASSERT_TRUE(ParseFrameState(FrameStateText(state), &read));
    EXPECT_EQ(read, state);
    EXPECT_TRUE(std::signbit(read["model-view"][1]));
}

TEST(FrameStateText, RefusesLinesOfAnyOtherForm) {
    for (const char* text : {"clock 1\n", "\t1\n", "clock\t\n", "clock\t1 x\n", "clock\tone\n", "clock\t1  2\n"}) {
        FrameState state;
        EXPECT_FALSE(ParseFrameState(text, &state)) << text;
    }
}

// A 16-bit PCM WAV file, mono or stereo, from readable sample values.
void WriteWav(const fs::path& path, int rate, int channels, const std::vector<int16_t>& interleaved) {
    auto le = [](std::vector<uint8_t>& bytes, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
    };
    std::vector<uint8_t> bytes = {'R', 'I', 'F', 'F'};
    uint32_t data = uint32_t(interleaved.size() * 2);
    le(bytes, 36 + data, 4);
    for (char c : std::string("WAVEfmt ")) bytes.push_back(uint8_t(c));
    le(bytes, 16, 4);
    le(bytes, 1, 2);
    le(bytes, uint32_t(channels), 2);
    le(bytes, uint32_t(rate), 4);
    le(bytes, uint32_t(rate * channels * 2), 4);
    le(bytes, uint32_t(channels * 2), 2);
    le(bytes, 16, 2);
    for (char c : std::string("data")) bytes.push_back(uint8_t(c));
    le(bytes, data, 4);
    for (int16_t sample : interleaved) le(bytes, uint16_t(sample), 2);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

struct Stretch {
    std::vector<float> left, right;
};

Stretch ReadAll(MusicStretch& music) {
    Stretch all;
    std::vector<float> left(300), right(300);  // a size that divides nothing in the file
    while (int count = music.Read(left.data(), right.data(), 300)) {
        all.left.insert(all.left.end(), left.begin(), left.begin() + count);
        all.right.insert(all.right.end(), right.begin(), right.begin() + count);
    }
    return all;
}

class Music : public testing::Test {
protected:
    // One second at 8000 Hz: sample i is i / 8 on the left and -i / 8 on the right, so
    // every sample names its place in the file.
    void SetUp() override {
        std::vector<int16_t> samples;
        for (int i = 0; i < RATE; ++i) samples.insert(samples.end(), {int16_t(i / 8), int16_t(-i / 8)});
        WriteWav(path, RATE, 2, samples);
    }
    void TearDown() override { fs::remove(path); }
    static float FileSample(int i) { return float(i / 8) / 32768.0f; }
    static constexpr int RATE = 8000;
    fs::path path = fs::temp_directory_path() / ("vrex_music_" + std::to_string(getpid()) + ".wav");
};

TEST_F(Music, AStretchStartsAtItsTimeLastsExactlyAndIsSilentPastTheFileEnd) {
    const struct { double start, seconds; } cases[] = {{0, 0.5}, {0.25, 0.5}, {0.75, 0.5}, {0.9, 0.05}, {1.5, 0.1}};
    for (const auto& c : cases) {
        MusicStretch music;
        std::string error;
        ASSERT_TRUE(music.Open(path.string(), c.start, c.seconds, 0, &error)) << error;
        EXPECT_EQ(music.SampleRate(), RATE);
        Stretch all = ReadAll(music);
        int first = int(std::lround(c.start * RATE));
        ASSERT_EQ(all.left.size(), std::size_t(std::lround(c.seconds * RATE))) << c.start;
        EXPECT_EQ(music.TotalSamples(), int64_t(all.left.size()));
        for (std::size_t i = 0; i < all.left.size(); ++i) {
            int at = first + int(i);
            float expected = at < RATE ? FileSample(at) : 0.0f;
            ASSERT_FLOAT_EQ(all.left[i], expected) << "start " << c.start << " sample " << i;
            ASSERT_FLOAT_EQ(all.right[i], -expected) << "start " << c.start << " sample " << i;
        }
    }
}

TEST_F(Music, TheEndFadesLinearlyToSilence) {
    MusicStretch music;
    std::string error;
    ASSERT_TRUE(music.Open(path.string(), 0.5, 0.25, 0.1, &error)) << error;
    Stretch all = ReadAll(music);
    ASSERT_EQ(all.left.size(), 2000u);
    const int fade = 800, start = 4000;
    EXPECT_FLOAT_EQ(all.left[2000 - fade - 1], FileSample(start + 2000 - fade - 1));  // before the fade
    EXPECT_NEAR(all.left[2000 - fade / 2], FileSample(start + 2000 - fade / 2) * 0.5f, 1e-3);
    EXPECT_FLOAT_EQ(all.left[1999], 0.0f);
    for (int i = 2000 - fade; i < 2000; ++i)
        ASSERT_NEAR(all.left[i], FileSample(start + i) * float(1999 - i) / fade, 1e-6) << "sample " << i;
}

TEST_F(Music, AMissingOrUnreadableFileIsAnErrorNamingIt) {
    fs::path junk = fs::temp_directory_path() / ("vrex_junk_" + std::to_string(getpid()) + ".mp3");
    std::ofstream(junk) << "this is not music at all, only words";
    for (const fs::path& bad : {fs::temp_directory_path() / "vrex-no-such-file.mp3", junk}) {
        MusicStretch music;
        std::string error;
        EXPECT_FALSE(music.Open(bad.string(), 0, 1, 0, &error)) << bad;
        EXPECT_THAT(error, testing::HasSubstr(bad.string()));
    }
    fs::remove(junk);
}

TEST(Progress, TheLineSaysFramesRateAndTimeLeft) {
    const struct {
        int done, total;
        double elapsed;
        const char* line;
    } cases[] = {
        {0, 18573, 0.0, "frame 0/18573  --- fps  --:-- left"},
        {50, 100, 1.0, "frame 50/100  50 fps  0:01 left"},
        {573, 18573, 3.0, "frame 573/18573  191 fps  1:34 left"},
        {18573, 18573, 120.0, "frame 18573/18573  155 fps  0:00 left"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgressLine(c.done, c.total, c.elapsed), c.line);
}

// --skip-ahead, which the shader picture test and the scene benchmark use to reach their
// frames quickly: which command lines take it and which refuse it.
TEST(SkipAheadOption, TakesFramesToSaveOrToTime) {
    CaptureOptions pictures;
    ASSERT_EQ(Read({"--skip-ahead", "--frames", "300,7000", "--out", "d"}, &pictures), GO_ON);
    EXPECT_TRUE(pictures.skipAhead);
    EXPECT_EQ(pictures.frames, (std::set<int>{300, 7000}));

    CaptureOptions timed;
    ASSERT_EQ(Read({"--bench", "--skip-ahead", "--frames", "6430-6431"}, &timed), GO_ON);
    EXPECT_TRUE(timed.skipAhead);
    EXPECT_TRUE(timed.bench);
    EXPECT_TRUE(timed.directory.empty()) << "timing alone saves nothing";

    CaptureOptions plain;
    ASSERT_EQ(Read({"--frames", "1", "--out", "d"}, &plain), GO_ON);
    EXPECT_FALSE(plain.skipAhead) << "every frame is drawn unless asked";
}

TEST(SkipAheadOption, RefusesLinesWithNothingToSkipTo) {
    const std::vector<std::vector<std::string>> mistakes = {
        {"--skip-ahead", "--bench"},                              // no frames to skip to
        {"--skip-ahead", "--out", "d"},                           // the same, with somewhere to save
        {"--skip-ahead", "--video", "v.mp4", "--frames", "1-3"},  // a video is every frame
        {"--skip-ahead", "--frames", "1"},                        // frames saved nowhere
    };
    for (const auto& words : mistakes) {
        CaptureOptions options;
        std::string line;
        for (const std::string& word : words) line += word + " ";
        EXPECT_EQ(Read(words, &options), EXIT_USAGE) << line;
    }
}

}  // namespace
