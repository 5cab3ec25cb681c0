// The capture tool's --skip-ahead, which the shader picture test and the scene benchmark use
// to reach their frames quickly: which command lines take it and which refuse it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "tools/capture/capture.h"

namespace {

int Read(std::vector<std::string> words, CaptureOptions* options) {
    words.insert(words.begin(), "vrex-capture");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    return ReadCaptureOptions(int(words.size()), argv.data(), options);
}

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
