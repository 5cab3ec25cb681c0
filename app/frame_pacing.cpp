// The timer that paces the frames when the command line asks for a rate (--fps).
#include "app/shell.h"

namespace {

constexpr int64_t MAX_BEHIND_SECONDS = 1;
constexpr int64_t SLEEP_MARGIN_MILLISECONDS = 1;  // a sleep may overrun by up to about this much

bool started = false;
int64_t anchor = 0;             // counter ticks when the schedule's frame 0 was due
int64_t framesSinceAnchor = 0;  // frames released since then

int64_t Now() {
    int64_t ticks = 0;
    QueryPerformanceCounter(&ticks);
    return ticks;
}

}  // namespace

void RestartFramePacing() { started = false; }

void WaitForFrameTime(int framesPerSecond) {
    int64_t frequency = 1;
    QueryPerformanceFrequency(&frequency);
    int64_t now = Now();
    // From the frame number, not a running sum, so rounding never adds up.
    int64_t due = anchor + framesSinceAnchor * frequency / framesPerSecond;
    if (!started || now - due > MAX_BEHIND_SECONDS * frequency) {
        started = true;
        anchor = due = now;
        framesSinceAnchor = 0;
    }
    // Sleeps cover most of the wait; the last milliseconds only yield, as a sleep may overrun.
    while (now < due) {
        int64_t milliseconds = (due - now) * 1000 / frequency;
        Sleep(milliseconds > SLEEP_MARGIN_MILLISECONDS ? DWORD(milliseconds - SLEEP_MARGIN_MILLISECONDS) : 0);
        now = Now();
    }
    ++framesSinceAnchor;
}
