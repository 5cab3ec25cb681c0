// Keeping the show in step with its music: the schedule of frames due, and the catching up.
#include "app/keep_time.h"

#include <cmath>

#include "resources/textures.h"
#include "scenes/timeline.h"

namespace {

// A jump back of the music longer than this, with the show not started again, is the music
// starting again on its own at the end of its file.
constexpr double MUSIC_WRAP_SECONDS = 1.0;
// A frame due within this much of a whole number is that frame: the clock's rounding never
// holds a frame back for a display frame.
constexpr double DUE_TOLERANCE = 1e-6;

double PerformanceCounterSeconds() {
    int64_t ticks = 0, frequency = 1;
    QueryPerformanceCounter(&ticks);
    QueryPerformanceFrequency(&frequency);
    return double(ticks) / double(frequency);
}

struct Schedule {
    bool started = false;
    bool followingMusic = false;  // the last reading had the music sounding
    double lastMusic = -1;        // the music's position at the last reading
    double musicOffset = 0;       // frames to add to the music's: nonzero after the music wrapped
    double anchorClock = 0;       // on the wall clock, frame anchorFrame was due at anchorClock
    double anchorFrame = 0;
    double lastClock = 0;  // the wall clock at the last reading
    double lastDue = 0;    // the frame due at the last reading
};

Schedule schedule;

void StartSchedule(double clock) {
    schedule = {};
    schedule.started = true;
    schedule.anchorClock = schedule.lastClock = clock;
    schedule.anchorFrame = schedule.lastDue = g_frameCounter;
}

double DueByMusic(double music) {
    Schedule& s = schedule;
    if (s.followingMusic && music < s.lastMusic - MUSIC_WRAP_SECONDS)
        s.musicOffset = s.lastDue - music * SHOW_FRAMES_PER_SECOND;
    s.followingMusic = true;
    s.lastMusic = music;
    return music * SHOW_FRAMES_PER_SECOND + s.musicOffset;
}

double DueByClock(double clock) {
    Schedule& s = schedule;
    // The wall clock counts on from the frame last due: when the music falls silent, and after
    // the show stood still.
    if (s.followingMusic || clock - s.lastClock > STAND_STILL_SECONDS) {
        s.anchorClock = clock;
        s.anchorFrame = s.lastDue;
    }
    s.followingMusic = false;
    return s.anchorFrame + (clock - s.anchorClock) * SHOW_FRAMES_PER_SECOND;
}

// Frames to step before the frame due is drawn: the show stops at its end, where the loop
// decides what comes next (again, or the end of the run).
int FramesToStep(int due) {
    const int end = ShowEndFrame();
    if (g_frameCounter < end && due > end) due = end;
    return due - g_frameCounter;
}

}  // namespace

const ShowTimeSource REAL_SHOW_TIME = {MusicPositionSeconds, PerformanceCounterSeconds};
ShowTimeSource g_showTimeSource = REAL_SHOW_TIME;

void RestartKeepingTime() { schedule.started = false; }

double FrameDueNow() {
    const double clock = g_showTimeSource.clockSeconds();
    if (!schedule.started) StartSchedule(clock);
    const double music = g_showTimeSource.musicSeconds();
    const double due = music >= 0 ? DueByMusic(music) : DueByClock(clock);
    schedule.lastClock = clock;
    schedule.lastDue = due;
    return due;
}

bool KeepTime() {
    const int due = int(std::floor(FrameDueNow() + DUE_TOLERANCE));
    if (g_frameCounter > due) return false;  // the frame due is on the screen already
    int behind = FramesToStep(due);
    if (behind > MAX_CATCH_UP_FRAMES) behind = MAX_CATCH_UP_FRAMES;
    // The budget starts now, not at the reading of the clock above: reading the music's position
    // can take a slowed page longer than the whole budget, which then would allow one step a
    // display frame, and a show that never catches up.
    const double stopAt = g_showTimeSource.clockSeconds() + CATCH_UP_SECONDS;
    for (int stepped = 0; stepped < behind; ++stepped) {
        StepShowOver(1);
        if (g_showTimeSource.clockSeconds() > stopAt) break;
    }
    // Reaching the end by steps leaves the end to the loop, which starts again or ends the run.
    return !(behind > 0 && g_frameCounter == ShowEndFrame());
}
