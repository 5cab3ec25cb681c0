// The demo's command line: what each option sets up, and the mistakes refused before any window.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/options.h"
#include "cli/command_line.h"
#include "platform/fake_platform.h"
#include "scenes/timeline.h"

namespace fs = std::filesystem;

namespace {

struct Parsed {
    int status;
    DemoOptions options;
    std::string out, err;
};

Parsed Parse(std::vector<std::string> words) {
    words.insert(words.begin(), "vrex");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    Parsed parsed;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    parsed.status = ParseDemoOptions(int(argv.size()), argv.data(), &parsed.options);
    parsed.out = testing::internal::GetCapturedStdout();
    parsed.err = testing::internal::GetCapturedStderr();
    return parsed;
}

class CommandLine : public testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        start_ = fs::current_path();
    }
    void TearDown() override { fs::current_path(start_); }
    fs::path start_;
};

TEST_F(CommandLine, EachOptionSetsItsFieldAndNothingElse) {
    struct Case {
        std::vector<std::string> words;
        ScreenChoice screen;
        bool mute;
        int fps = 0;
        int start = 0;
        bool loop = false;
        bool keepTime = false;
    };
    const Case cases[] = {
        {{}, ScreenChoice::Ask, false},
        {{"--windowed"}, ScreenChoice::Windowed, false},
        {{"--fullscreen"}, ScreenChoice::FullScreen, false},
        {{"--desktop"}, ScreenChoice::Desktop, false},
        {{"--mute"}, ScreenChoice::Ask, true},
        {{"--mute", "--windowed"}, ScreenChoice::Windowed, true},
        {{"--fps", "60"}, ScreenChoice::Ask, false, 60},
        {{"--fps=144", "--loop"}, ScreenChoice::Ask, false, 144, 0, true},
        {{"--start", "0"}, ScreenChoice::Ask, false, 0, 0},
        {{"--start", "4286"}, ScreenChoice::Ask, false, 0, 4286},
        {{"--start", "18572"}, ScreenChoice::Ask, false, 0, 18572},
        {{"--start", "intro"}, ScreenChoice::Ask, false, 0, 1},
        {{"--start", "credits", "--loop"}, ScreenChoice::Ask, false, 0, FirstFrameOfRow(8), true},
        {{"--keep-time"}, ScreenChoice::Ask, false, 0, 0, false, true},
        {{"--keep-time", "--mute", "--start", "model"}, ScreenChoice::Ask, true, 0, FirstFrameOfRow(7), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        Parsed parsed = Parse(c.words);
        EXPECT_EQ(parsed.status, GO_ON) << parsed.err;
        EXPECT_EQ(parsed.options.screen, c.screen);
        EXPECT_EQ(parsed.options.mute, c.mute);
        EXPECT_EQ(parsed.options.framesPerSecond, c.fps);
        EXPECT_EQ(parsed.options.startFrame, c.start);
        EXPECT_EQ(parsed.options.loop, c.loop);
        EXPECT_EQ(parsed.options.keepTime, c.keepTime);
        EXPECT_FALSE(parsed.options.endWithShow) << "no option ends the run with the show";
        EXPECT_EQ(parsed.options.dataDirectory, "");
        EXPECT_EQ(fs::current_path(), start_);
    }
}

TEST_F(CommandLine, MistakesEndWithStatusTwoAndOneLineBeforeTheUsage) {
    const std::vector<std::string> cases[] = {
        {"--bogus"},
        {"--windowed", "--fullscreen"},
        {"--desktop", "--windowed"},
        {"--fps", "0"},
        {"--fps", "sixty"},
        {"--start", "-1"},
        {"--start", "18573"},
        {"--start", "99999999999"},
        {"--start", "Intro"},
        {"--start", "4286x"},
        {"--data"},
        {"--data", "/nonexistent/vrex-data"},
        {"stray"},
        {"--mute=maybe"},
        {"--keep-time", "--fps", "60"},
        {"--keep-time=often"},
    };
    for (const auto& words : cases) {
        SCOPED_TRACE(testing::PrintToString(words));
        Parsed parsed = Parse(words);
        EXPECT_EQ(parsed.status, EXIT_USAGE);
        EXPECT_EQ(parsed.out, "");
        EXPECT_TRUE(parsed.err.starts_with("vrex: ")) << parsed.err;
        EXPECT_NE(parsed.err.find("\nvrex demo: a self-running"), std::string::npos) << parsed.err;
        EXPECT_EQ(fs::current_path(), start_);
    }
}

// Every key of the scene table starts at the first frame of its own row.
TEST_F(CommandLine, EverySceneStartsAtTheFirstFrameOfItsRow) {
    for (int row = 1; row <= SCENE_ROW_COUNT; ++row) {
        const std::string key = SCENE_TABLE[row - 1].key;
        SCOPED_TRACE(key);
        Parsed parsed = Parse({"--start", key});
        ASSERT_EQ(parsed.status, GO_ON) << parsed.err;
        const int frame = parsed.options.startFrame;
        EXPECT_EQ(frame, FirstFrameOfRow(row));
        double clock = 0;
        for (int i = 0; i < frame; ++i) clock += CLOCK_STEP;
        EXPECT_EQ(SceneRowAt(clock), row);
        EXPECT_NE(SceneRowAt(clock - CLOCK_STEP), row);
    }
    EXPECT_EQ(FirstFrameOfRow(4), 6429);  // the turning terrain, where the captured show finds it
    EXPECT_EQ(ShowEndFrame(), 18572);
}

TEST_F(CommandLine, TheDataDirectoryIsEnteredDuringTheParse) {
    const fs::path directory = fs::temp_directory_path() / "vrex-options-test";
    fs::create_directories(directory);
    Parsed parsed = Parse({"--data", directory.string()});
    EXPECT_EQ(parsed.status, GO_ON) << parsed.err;
    EXPECT_EQ(fs::current_path(), fs::canonical(directory));
    fs::current_path(start_);
    fs::remove(directory);
}

TEST_F(CommandLine, HelpListsEveryOptionAndTheKeys) {
    Parsed parsed = Parse({"--help"});
    EXPECT_EQ(parsed.status, 0);
    for (const char* word : {"--windowed", "--fullscreen", "--desktop", "--fps", "--keep-time", "--start", "--loop",
                             "--mute", "--data", "--help", "--version", "Escape", "close box", "right mouse button"})
        EXPECT_NE(parsed.out.find(word), std::string::npos) << word;

    Parsed version = Parse({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("vrex ") + VrexVersion() + "\n");
}

}  // namespace
