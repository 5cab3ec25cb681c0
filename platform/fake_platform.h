// fake_platform.h - a recording stand-in for the platform layer, for tests and tools.
//
// Link vrex_platform_fake instead of vrex_platform. Every operation of platform.h appends
// one Call (its name and its arguments as text) to fake::g_calls and answers from
// fake::g_answers, which a test sets before it runs the code under test:
//
//     fake::Reset();
//     fake::g_answers.messageBox = IDYES;             // the full-screen question says Yes
//     fake::g_answers.changeDisplayResult = DISP_CHANGE_BADMODE;
//     int status = WinMain(...);
//     EXPECT_EQ(fake::Names(), (std::vector<std::string>{"MessageBoxA", ...}));
//
// Window messages: a test queues them in g_answers.messages; PeekMessageA hands them out in
// order (a posted quit comes after them), and DispatchMessageA calls the registered window
// procedure. With g_answers.realGlContext, wglCreateContext makes a hidden offscreen GL
// context (SDL's offscreen driver works without a display) so GL calls take effect.
// SwapBuffers calls a frame observer set with SetFrameObserver whenever it answers TRUE.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fake {

struct Call {
    std::string name;
    std::string args;  // the arguments as the call received them, comma separated
};

struct MessageBoxShown {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// The fake's performance counter: it moves only when Sleep or WaitForDisplayFrame is called (and
// when a test moves it).
constexpr int64_t CLOCK_TICKS_PER_SECOND = 1000000;

struct Answers {
    int messageBox = IDNO;          // what every message box returns
    bool messageBoxFails = false;   // no box can be created: the real fallback answers
                                    // (box_fallback.h) and g_messageBoxes gets nothing
    bool enumDisplayFails = false;  // EnumDisplaySettingsA returns FALSE
    DEVMODEA currentMode = {DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY, 24, 1920, 1080, 60};
    LONG changeDisplayResult = DISP_CHANGE_SUCCESSFUL;
    bool registerClassFails = false;
    bool createWindowFails = false;
    RECT clientRect = {0, 0, 800, 600};  // GetClientRect's answer
    int choosePixelFormat = 1;           // 0 makes it fail
    BOOL setPixelFormat = TRUE;
    bool realGlContext = false;  // wglCreateContext makes a real offscreen context
    BOOL swapBuffers = TRUE;
    LRESULT defWindowProc = 0;  // DefWindowProcA's result
    std::deque<MSG> messages;   // handed out by PeekMessageA, in order
    int getch = -1;
    int64_t yieldTicks = 1;                                    // how far the clock moves in Sleep(0)
    int64_t displayFrameTicks = CLOCK_TICKS_PER_SECOND / 144;  // how far WaitForDisplayFrame moves it
};

extern int64_t g_clockTicks;

extern std::vector<Call> g_calls;
extern std::vector<MessageBoxShown> g_messageBoxes;
extern Answers g_answers;
extern bool g_quitPosted;
extern int g_quitCode;
extern int g_cursorCounter;    // ShowCursor's counter, 0 at start
extern bool g_displayChanged;  // a mode change is in force

// Clears the record and the answers and removes a frame observer; destroys a real context
// made by a previous test.
void Reset();
// The names of the recorded calls, in order.
std::vector<std::string> Names();
// The recorded calls named `name`, in order.
std::vector<Call> CallsNamed(const std::string& name);
// The handles the fake hands out, for comparison in tests.
HWND FakeWindow();
HDC FakeDeviceContext();
HGLRC FakeGlContext();

}  // namespace fake
