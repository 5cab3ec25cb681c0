// The demo's command line: what each option sets up, and the mistakes refused before any window.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/shell.h"
#include "cli/command_line.h"
#include "resources/textures.h"
#include "tests/shell/stand_ins.h"

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
        stand_in::ResetAll();
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
    };
    const Case cases[] = {
        {{}, ScreenChoice::Ask, false},
        {{"--windowed"}, ScreenChoice::Windowed, false},
        {{"--fullscreen"}, ScreenChoice::FullScreen, false},
        {{"--mute"}, ScreenChoice::Ask, true},
        {{"--mute", "--windowed"}, ScreenChoice::Windowed, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        Parsed parsed = Parse(c.words);
        EXPECT_EQ(parsed.status, GO_ON) << parsed.err;
        EXPECT_EQ(parsed.options.screen, c.screen);
        EXPECT_EQ(parsed.options.mute, c.mute);
        EXPECT_EQ(parsed.options.dataDirectory, "");
        EXPECT_EQ(fs::current_path(), start_);
    }
}

TEST_F(CommandLine, MistakesEndWithStatusTwoAndOneLineBeforeTheUsage) {
    const std::vector<std::string> cases[] = {
        {"--bogus"},
        {"--windowed", "--fullscreen"},
        {"--data"},
        {"--data", "/nonexistent/vrex-data"},
        {"stray"},
        {"--mute=maybe"},
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
    for (const char* word : {"--windowed", "--fullscreen", "--mute", "--data", "--help", "--version", "Escape",
                             "close box", "right mouse button"})
        EXPECT_NE(parsed.out.find(word), std::string::npos) << word;

    Parsed version = Parse({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("vrex ") + VrexVersion() + "\n");
}

TEST_F(CommandLine, AnAnswerGivenInAdvanceShowsNoQuestion) {
    struct Case {
        ScreenChoice screen;
        bool fullScreen;
    };
    for (Case c : {Case{ScreenChoice::Windowed, false}, Case{ScreenChoice::FullScreen, true}}) {
        stand_in::ResetAll();
        fake::g_answers.messageBox = IDNO;  // what the question would have got
        fake::g_answers.createWindowFails = true;
        g_options.screen = c.screen;
        WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
        EXPECT_TRUE(fake::g_messageBoxes.empty());
        EXPECT_EQ(g_fullScreen, c.fullScreen);
        EXPECT_EQ(fake::CallsNamed("ChangeDisplaySettingsA").size(), c.fullScreen ? 1u : 0u);
    }
}

TEST_F(CommandLine, MuteIsPassedToInitialisation) {
    for (bool mute : {false, true}) {
        stand_in::ResetAll();
        g_options.mute = mute;
        g_options.screen = ScreenChoice::Windowed;
        fake::g_answers.messages.push_back({nullptr, WM_QUIT, 0, 0});
        WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
        EXPECT_EQ(g_musicWanted, !mute);
    }
}

}  // namespace
