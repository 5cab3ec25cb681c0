// What goes wrong while writing a video ends with a message and a nonzero status, and never
// leaves a file, whole or half-written, under the output's name or beside it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "tests/capture/video_show.h"

namespace fs = std::filesystem;
using testing::HasSubstr;

namespace {

class VideoErrors : public testing::Test {
protected:
    void SetUp() override {
        if (std::string missing = MissingShowData(); !missing.empty()) GTEST_SKIP() << missing;
        fs::create_directories(out);
    }
    void TearDown() override { fs::remove_all(out); }
    // Nothing at all in the output's folder: no video, no temporary file.
    void ExpectNothingWritten() {
        for (const fs::directory_entry& entry : fs::directory_iterator(out))
            if (entry.path().filename() != "errors.txt") ADD_FAILURE() << "left behind: " << entry.path();
    }
    fs::path out = fs::temp_directory_path() / ("vrex_video_errors_" + std::to_string(getpid()));
    std::string video = (out / "show.mp4").string();
};

TEST_F(VideoErrors, CommandLineMistakesGiveOneLineTheUsageAndStatusTwo) {
    const struct {
        std::vector<std::string> args;
        const char* named;
    } cases[] = {
        {{"--video", video, "--vidoe-size", "1440x1080"}, "--vidoe-size"},
        {{"--video", video, "--frames", "900-300"}, "900-300"},
    };
    for (const auto& c : cases) {
        ToolRun run = RunTool(ShowDataDirectory(), c.args);
        EXPECT_EQ(run.status, 2) << run.errors;
        std::string first = run.errors.substr(0, run.errors.find('\n'));
        EXPECT_THAT(first, HasSubstr(c.named));
        EXPECT_THAT(run.errors, HasSubstr("Usage:"));
    }
    ExpectNothingWritten();
}

TEST_F(VideoErrors, AnOutputThatCannotBeWrittenIsNamed) {
    std::string nowhere = (out / "no-such-folder" / "show.mp4").string();
    ToolRun run = RunTool(ShowDataDirectory(), {"--video", nowhere, "--frames", "0-9", "--no-audio"});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.errors, HasSubstr(nowhere));
    ExpectNothingWritten();
}

TEST_F(VideoErrors, MissingMusicIsAnErrorNamingTheFile) {
    ToolRun run = RunTool(out, {"--video", video, "--frames", "0-9"});  // a folder without musika.mp3
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.errors, HasSubstr("musika.mp3"));
    ExpectNothingWritten();
}

TEST_F(VideoErrors, AFullDiskEndsTheVideoAndRemovesWhatWasWritten) {
    constexpr long ROOM = 4096;  // bytes any file of the tool may reach: the header, not the pictures
    ToolRun run =
        RunTool(ShowDataDirectory(), {"--video", video, "--frames", "0-239", "--size", "160x120", "--no-audio"}, ROOM);
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_THAT(run.errors, HasSubstr("cannot write " + video));
    ExpectNothingWritten();
}

TEST_F(VideoErrors, CtrlCStopsTheVideoAndRemovesWhatWasWritten) {
    fs::path errors = out / "errors.txt";
    pid_t tool = StartTool(ShowDataDirectory(), {"--video", video, "--size", "160x120", "--no-audio"}, errors);
    // The temporary file exists from before the first frame; drawing is under way soon after.
    fs::path temporary = video + "." + std::to_string(tool) + ".part";
    for (int wait = 0; wait < 600 && !fs::exists(temporary); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(fs::exists(temporary)) << "the video is written beside the output first";
    std::this_thread::sleep_for(std::chrono::seconds(2));
    kill(tool, SIGINT);
    ToolRun run = WaitForTool(tool, errors);
    EXPECT_EQ(run.status, 130) << run.errors;
    EXPECT_THAT(run.errors, HasSubstr("interrupted"));
    ExpectNothingWritten();
}

}  // namespace
