// Keeping time with the music, on the fake platform's clock: the frame due from the music or
// the wall clock, no frame drawn twice, the frames stepped between two drawn ones, the bound on
// one display frame's work, standing still and going on, and the loop's wrap. The show is the
// stand-ins' (a frame counter that DrawFrame and StepShowOver advance).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "app/keep_time.h"
#include "app/options.h"
#include "app/shell.h"
#include "scenes/timeline.h"
#include "tests/shell/stand_ins.h"

namespace {

constexpr double TICK = 1.0 / fake::CLOCK_TICKS_PER_SECOND;

double Now() { return double(fake::g_clockTicks) * TICK; }
void Advance(double seconds) { fake::g_clockTicks += int64_t(std::llround(seconds / TICK)); }

// The music as the test plays it: sounding from `from` seconds into the file since
// `startedAt` on the fake clock; paused, it holds its place (as an interrupted output does);
// silent, it reports no position. The stand-in's RestartMusic starts it again from 0.
struct Music {
    enum { Silent, Sounding, Paused } state = Silent;
    double from = 0, startedAt = 0;
    size_t restartsHeard = 0;
    double Position() const { return state == Sounding ? from + (Now() - startedAt) : state == Paused ? from : -1; }
    void Start(double at) { state = Sounding, from = at, startedAt = Now(); }
    void Pause() { from = Position(), state = Paused; }
    void Resume() { Start(from); }
};
Music music;

double HeardMusic() {
    if (fake::CallsNamed("RestartMusic").size() > music.restartsHeard) {
        ++music.restartsHeard;
        music.Start(0);
    }
    return music.Position();
}

class KeepingTime : public testing::Test {
protected:
    void SetUp() override {
        stand_in::ResetAll();
        music = {};
        g_showTimeSource.musicSeconds = HeardMusic;
        fake::g_clockTicks = 1000 * fake::CLOCK_TICKS_PER_SECOND;  // far from zero, as a real counter is
    }

    // One turn of a loop that keeps time: the frame drawn (its number), or -1 when none was due.
    static int Turn() {
        if (!KeepTime()) {
            WaitForDisplayFrame();
            return -1;
        }
        const int frame = g_frameCounter;
        DrawFrame();
        return frame;
    }

    // Turns for `seconds` of the fake clock; each drawn frame costs `drawSeconds`.
    static std::vector<int> Play(double seconds, double drawSeconds = 0, std::function<void()> eachTurn = nullptr) {
        std::vector<int> drawn;
        const double until = Now() + seconds;
        while (Now() < until) {
            if (eachTurn) eachTurn();
            const int frame = Turn();
            if (frame >= 0) {
                drawn.push_back(frame);
                Advance(drawSeconds);
            }
        }
        return drawn;
    }

    static int Stepped() {
        int frames = 0;
        for (const fake::Call& call : fake::CallsNamed("StepShowOver")) frames += std::stoi(call.args);
        return frames;
    }
};

TEST_F(KeepingTime, TheFrameDueIsTheMusicsPositionTimesSixtyOrTheWallClockWhileSilent) {
    music.Start(1.5);
    EXPECT_DOUBLE_EQ(FrameDueNow(), 90);
    Advance(0.25);
    EXPECT_NEAR(FrameDueNow(), 105, 1e-6);
    // Silent from here: the wall clock counts on from the frame last due.
    music.state = Music::Silent;
    Advance(0.5);
    EXPECT_NEAR(FrameDueNow(), 105, 1e-6) << "the first reading without music anchors the clock";
    Advance(0.5);
    EXPECT_NEAR(FrameDueNow(), 135, 1e-6);
    // The music back at its own place: followed again, even behind the clock.
    music.Start(2.0);
    EXPECT_NEAR(FrameDueNow(), 120, 1e-6);
}

TEST_F(KeepingTime, AFastDisplayDrawsEachFrameOnceAtSixtyASecond) {
    music.Start(0);
    fake::g_answers.displayFrameTicks = fake::CLOCK_TICKS_PER_SECOND / 144;
    const std::vector<int> drawn = Play(2.0, 1.0 / 144);
    ASSERT_GE(drawn.size(), 118u);
    ASSERT_LE(drawn.size(), 121u);
    for (size_t i = 1; i < drawn.size(); ++i) EXPECT_EQ(drawn[i], drawn[i - 1] + 1) << "frame " << i;
    EXPECT_EQ(Stepped(), 0);
    EXPECT_GT(fake::CallsNamed("WaitForDisplayFrame").size(), drawn.size()) << "the display frames in between wait";
}

TEST_F(KeepingTime, ASlowMachineStepsTheFramesBetweenTwoDrawnOnesAndKeepsTheMusicsPace) {
    music.Start(0);
    // 45 ms a frame: about one frame in three is drawn.
    const std::vector<int> drawn = Play(10.0, 0.045);
    ASSERT_GT(drawn.size(), 200u);
    ASSERT_LT(drawn.size(), 240u);
    for (size_t i = 1; i < drawn.size(); ++i) {
        EXPECT_GT(drawn[i], drawn[i - 1]) << "never drawn twice";
        EXPECT_LE(drawn[i] - drawn[i - 1], 4) << "no more skipped than the time passed";
    }
    // Every frame is either drawn or stepped, exactly once.
    EXPECT_EQ(int(drawn.size()) + Stepped(), g_frameCounter);
    EXPECT_NEAR(g_frameCounter, 600, 4) << "ten seconds of music, ten seconds of show";
}

TEST_F(KeepingTime, OneDisplayFrameStepsABoundedShareOfAShowFarBehind) {
    music.Start(0);
    ASSERT_EQ(Turn(), 0);
    music.Start(30.0);  // the music half a minute ahead: a stall, a debugger
    ASSERT_TRUE(KeepTime());
    EXPECT_EQ(Stepped(), MAX_CATCH_UP_FRAMES);
    // Each step costing a millisecond, the time bound ends the stepping first.
    fake::g_calls.clear();
    g_showTimeSource.clockSeconds = [] {
        Advance(0.001);
        return Now();
    };
    ASSERT_TRUE(KeepTime());
    EXPECT_GE(Stepped(), 1);
    EXPECT_LE(Stepped(), int(CATCH_UP_SECONDS / 0.001) + 2);
}

// A slowed page can take longer to read the music's position than the whole stepping budget:
// the budget counts from after the reading, or a show behind would step one frame a display
// frame and fall further behind for good.
TEST_F(KeepingTime, ASlowReadingOfTheMusicLeavesTheStepsTheirWholeBudget) {
    music.Start(0);
    ASSERT_EQ(Turn(), 0);
    music.Start(30.0);
    g_showTimeSource.musicSeconds = [] {
        Advance(2 * CATCH_UP_SECONDS);
        return HeardMusic();
    };
    fake::g_calls.clear();
    ASSERT_TRUE(KeepTime());
    EXPECT_EQ(Stepped(), MAX_CATCH_UP_FRAMES) << "the steps themselves cost nothing here";
}

TEST_F(KeepingTime, AShowThatStoodStillGoesOnFromWhereItStood) {
    // Silent: a gap of ten seconds between display frames is the page hidden, not time to rush.
    std::vector<int> drawn = Play(1.0);
    const int before = drawn.back();
    Advance(10.0);
    drawn = Play(0.5);
    EXPECT_EQ(drawn.front(), before + 1);
    EXPECT_EQ(Stepped(), 0);
    // With music: paused, the show waits for it, and goes on with it.
    music.Start(double(g_frameCounter) / 60);
    Play(0.5);
    music.Pause();
    const int held = g_frameCounter;
    EXPECT_TRUE(Play(3.0).size() <= 1u);
    EXPECT_LE(g_frameCounter, held + 1);
    music.Resume();
    drawn = Play(1.0);
    EXPECT_NEAR(g_frameCounter, held + 60, 2);
    EXPECT_EQ(Stepped(), 0);
}

TEST_F(KeepingTime, MusicStartingAgainOnItsOwnCarriesTheShowOn) {
    music.Start(300.0);
    g_frameCounter = 18000;
    Play(1.0);
    const int at = g_frameCounter;
    music.Start(0.0);  // the file ended and its loop began again
    Play(1.0);
    EXPECT_NEAR(g_frameCounter, at + 60, 2);
}

// The whole loop: the shell with keep-time on, a show of 300 frames played in a loop, the
// music restarted with it (the stand-in's RestartMusic is followed by the test's music).
TEST_F(KeepingTime, TheLoopKeepsShowAndMusicTogetherAcrossTheWrap) {
    g_options.screen = ScreenChoice::Windowed;
    g_options.keepTime = true;
    g_options.loop = true;
    stand_in::g_showEndsAfter = 300;
    music.Start(0);
    std::vector<int> drawnAt;  // the frame each DrawFrame drew
    stand_in::g_afterFrame = [&](int) {
        drawnAt.push_back(g_frameCounter - 1);
        Advance(0.03);  // a slow machine: 30 ms a frame
        if (music.restartsHeard == 1 && Now() - music.startedAt > 2.0) PostQuitMessage(0);
    };
    WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
    ASSERT_EQ(music.restartsHeard, 1u);
    // Up to the end, then frame 0 again: the end frame itself is never drawn.
    size_t wrap = 0;
    for (size_t i = 1; i < drawnAt.size(); ++i)
        if (drawnAt[i] < drawnAt[i - 1]) wrap = i;
    ASSERT_GT(wrap, 0u);
    EXPECT_LT(drawnAt[wrap - 1], 300);
    EXPECT_LE(drawnAt[wrap], 2);
    EXPECT_NEAR(g_frameCounter, 120, 3) << "two seconds after the wrap";
}

}  // namespace
