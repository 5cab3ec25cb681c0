// Start-up with the command line's answers: what WinMain and the loop do with each option.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/shell.h"
#include "resources/textures.h"
#include "tests/shell/stand_ins.h"

using stand_in::Call;
using stand_in::InOrder;
using stand_in::Trace;

namespace {

class StartUpOptions : public testing::Test {
protected:
    void SetUp() override { stand_in::ResetAll(); }
};

// Runs WinMain until `frames` frames are drawn; `eachFrame` sees each frame's number (from 1).
void RunFrames(int frames, std::function<void(int)> eachFrame = nullptr) {
    int drawn = 0;
    stand_in::g_afterFrame = [&](int) {
        ++drawn;
        if (eachFrame) eachFrame(drawn);
        if (drawn == frames) PostQuitMessage(0);
    };
    WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
}

std::vector<std::string> ShowCalls() {
    std::vector<std::string> calls;
    for (const std::string& call : Trace())
        if (call.starts_with("InitDemo") || call.starts_with("KeepShowStartState") || call.starts_with("FastForward") ||
            call.starts_with("Restart") || call.starts_with("DrawFrame"))
            calls.push_back(call);
    return calls;
}

TEST_F(StartUpOptions, AnAnswerGivenInAdvanceShowsNoQuestion) {
    struct Case {
        ScreenChoice screen;
        bool fullScreen;
    };
    for (Case c : {Case{ScreenChoice::Windowed, false}, Case{ScreenChoice::FullScreen, true},
                   Case{ScreenChoice::Desktop, true}}) {
        stand_in::ResetAll();
        fake::g_answers.messageBox = IDNO;  // what the question would have got
        fake::g_answers.createWindowFails = true;
        g_options.screen = c.screen;
        WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
        EXPECT_TRUE(fake::g_messageBoxes.empty());
        EXPECT_EQ(g_fullScreen, c.fullScreen);
        EXPECT_EQ(fake::CallsNamed("ChangeDisplaySettingsA").size(), c.screen == ScreenChoice::FullScreen ? 1u : 0u);
        EXPECT_EQ(g_desktopFullScreen, c.screen == ScreenChoice::Desktop);
    }
}

// The desktop's full screen: a popup of the screen's size, the cursor hidden, no mode switch,
// and the 800 x 600 framing kept in the middle of whatever shape the screen has.
TEST_F(StartUpOptions, TheDesktopFullScreenCoversTheScreenAndCentresAFourByThreePicture) {
    fake::g_answers.currentMode.dmPelsWidth = 1920;
    fake::g_answers.currentMode.dmPelsHeight = 1080;
    fake::g_answers.clientRect = {0, 0, 1920, 1080};
    g_options.screen = ScreenChoice::Desktop;
    RunFrames(1);

    ASSERT_EQ(fake::CallsNamed("CreateWindowExA").size(), 1u);
    EXPECT_NE(fake::CallsNamed("CreateWindowExA")[0].args.find(stand_in::Args(0, 0, 1920, 1080)), std::string::npos)
        << fake::CallsNamed("CreateWindowExA")[0].args;
    EXPECT_EQ(fake::g_cursorCounter, 0);  // hidden, then shown again by the shutdown
    EXPECT_EQ(fake::CallsNamed("ShowCursor")[0].args, "0");
    EXPECT_FALSE(fake::g_displayChanged);
    EXPECT_TRUE(InOrder(Trace(), {Call("glViewport", "240, 0, 1440, 1080")}));
    EXPECT_DOUBLE_EQ(stand_in::g_perspective[1], 800.0 / 600.0);

    struct Case {
        int width, height;
        std::string viewport;
    };
    const Case cases[] = {
        {1280, 1024, "0, 32, 1280, 960"}, {800, 600, "0, 0, 800, 600"}, {2560, 1080, "560, 0, 1440, 1080"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.viewport);
        fake::g_calls.clear();
        DemoWindowProc(fake::FakeWindow(), WM_SIZE, 0, MAKELPARAM(c.width, c.height));
        EXPECT_EQ(fake::CallsNamed("glViewport").at(0).args, c.viewport);
        EXPECT_DOUBLE_EQ(stand_in::g_perspective[1], 800.0 / 600.0);
    }
}

TEST_F(StartUpOptions, AStartFrameIsReachedAfterInitialisationWithTheMusicAtItsTime) {
    g_options.screen = ScreenChoice::Windowed;
    g_options.startFrame = 6429;
    RunFrames(2);
    EXPECT_EQ(g_musicStartMilliseconds, 107150u);  // 6429 / 60 s
    EXPECT_EQ(ShowCalls(),
              (std::vector<std::string>{"InitDemo()", "FastForwardShow(6429)", "DrawFrame()", "DrawFrame()"}));
}

TEST_F(StartUpOptions, WithoutOptionsTheShowIsNeitherKeptNorMovedNorRestarted) {
    g_options.screen = ScreenChoice::Windowed;
    stand_in::g_showEndsAfter = 3;
    RunFrames(6);
    EXPECT_EQ(g_musicStartMilliseconds, 0u);
    std::vector<std::string> expected(7, "DrawFrame()");
    expected[0] = "InitDemo()";
    EXPECT_EQ(ShowCalls(), expected);
    EXPECT_TRUE(fake::CallsNamed("Sleep").empty());
}

TEST_F(StartUpOptions, ALoopingShowRemembersItsStartAndStartsAgainWithTheMusicOnceEnded) {
    g_options.screen = ScreenChoice::Windowed;
    g_options.loop = true;
    g_options.startFrame = 100;
    stand_in::g_showEndsAfter = 3;
    RunFrames(7);
    const std::vector<std::string> expected = {
        "InitDemo()",  "KeepShowStartState()", "FastForwardShow(100)", "DrawFrame()", "DrawFrame()",
        "DrawFrame()", "RestartShow()",        "RestartMusic()",       "DrawFrame()", "DrawFrame()",
        "DrawFrame()", "RestartShow()",        "RestartMusic()",       "DrawFrame()"};
    EXPECT_EQ(ShowCalls(), expected);
}

// With a pace asked for, frame n is drawn n periods after the first: never before, and no
// later than the clock's resolution after, whatever the sleeps' rounding. A frame that comes
// late (a slow frame) is followed at once by the next ones until the schedule is met again,
// so every frame is still drawn; more than a second late, the schedule starts again.
TEST_F(StartUpOptions, ATimerPacesTheFramesWithoutSkippingAny) {
    g_options.screen = ScreenChoice::Windowed;
    g_options.framesPerSecond = 60;
    const int64_t period = fake::CLOCK_TICKS_PER_SECOND / 60;  // 16666 ticks of a microsecond
    std::vector<int64_t> drawnAt;                              // drawnAt[n]: when frame n of the run was drawn
    RunFrames(40, [&](int drawn) {
        drawnAt.push_back(fake::g_clockTicks);
        if (drawn == 10) fake::g_clockTicks += 3 * period + 5;                    // frame 9 is slow
        if (drawn == 25) fake::g_clockTicks += 2 * fake::CLOCK_TICKS_PER_SECOND;  // stopped after frame 24
    });
    ASSERT_EQ(drawnAt.size(), 40u);
    const int64_t start = drawnAt[0];
    for (int n = 0; n < 25; ++n) {
        SCOPED_TRACE(n);
        int64_t due = start + int64_t(n) * fake::CLOCK_TICKS_PER_SECOND / 60;
        if (n >= 10 && n <= 12) {  // drawn at once after the slow frame, catching up
            EXPECT_EQ(drawnAt[n], drawnAt[9] + 3 * period + 5);
        } else {
            EXPECT_GE(drawnAt[n], due);
            EXPECT_LE(drawnAt[n], due + 1);
        }
    }
    const int64_t restart = drawnAt[24] + 2 * fake::CLOCK_TICKS_PER_SECOND;
    EXPECT_EQ(drawnAt[25], restart);  // no rush after the pause: a new schedule from here
    for (int n = 26; n < 40; ++n) {
        int64_t due = restart + int64_t(n - 25) * fake::CLOCK_TICKS_PER_SECOND / 60;
        EXPECT_GE(drawnAt[n], due) << n;
        EXPECT_LE(drawnAt[n], due + 1) << n;
    }
}

TEST_F(StartUpOptions, MuteIsPassedToInitialisation) {
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
