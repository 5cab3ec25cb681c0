// keep_time.h - the show kept in step with its music: the frame due now, the frames passed over.
//
// The show is counted in frames and its music was made for 60 of them a second. Drawn frame
// after frame it runs at the display's pace, and drifts from its music on any display that is
// not exactly 60 Hz or cannot keep up. Keeping time (vrex --keep-time; the page by default),
// the loop asks before each frame:
//     if (KeepTime()) DrawFrame(); else WaitForDisplayFrame();
// KeepTime() works out the frame due: the music's position x 60 while the music sounds, else
// the frame that was due when the music stopped sounding (or when the show started) plus 60 a
// second of the wall clock. The frames passed over on the way are stepped, not drawn
// (StepShowOver), so every frame drawn shows exactly the state the show has there; no frame is
// drawn twice, and while no new frame is due it answers false (a display faster than 60 Hz).
//
// One call steps at most MAX_CATCH_UP_FRAMES frames, and stops early once CATCH_UP_SECONDS of
// stepping are spent: a show far behind catches up over several display frames, drawing one
// each time, so the window or the page never stops answering.
//
// Standing still: the music paused (a hidden page) holds the show by itself. On the wall clock,
// a display frame that comes more than STAND_STILL_SECONDS after the one before (a hidden
// page, a stopped process) takes the show up where it stood instead of rushing ahead. The music
// starting again on its own (its loop) goes on from where the show is.
//
// State: the schedule (keep_time.cpp); reads g_frameCounter and the show's time through
// g_showTimeSource, which tests replace with a fake clock.
#pragma once

constexpr int MAX_CATCH_UP_FRAMES = 120;     // two seconds of the show per display frame at the most
constexpr double CATCH_UP_SECONDS = 0.008;   // half a 60 Hz display frame
constexpr double STAND_STILL_SECONDS = 1.0;  // a longer gap between display frames is a pause

// Where the show's time comes from. musicSeconds: the music as heard, -1 while none sounds;
// clockSeconds: a monotonic wall clock.
struct ShowTimeSource {
    double (*musicSeconds)();
    double (*clockSeconds)();
};
extern ShowTimeSource g_showTimeSource;  // MusicPositionSeconds and the performance counter
extern const ShowTimeSource REAL_SHOW_TIME;

// Steps the show to the frame due (see above); true when that frame is to be drawn now.
bool KeepTime();
// The frame due at the next KeepTime counts from the show's current frame again: after the
// show and its music started again together, or before the first frame.
void RestartKeepingTime();
// The frame due now, as a fraction; moves the schedule's anchors as KeepTime does. For tests.
double FrameDueNow();
