// The SDL2 platform layer's start-up and exit, the module and resource handles, the cursor.
#include <cstdio>
#include <cstdlib>

#include "platform/sdl_internal.h"

namespace sdl_platform {
namespace {

int cursorCounter = 0;  // ShowCursor's display counter: the cursor shows while it is 0 or more

// Under X11 a display mode outlives the process unless it is put back, so every way out of
// the program (return from main, exit(1), exit(-1)) passes through here. Leaving full screen
// sets the desktop mode again; pumping sends whatever is still buffered for the display. SDL
// itself is not quit: the music library may still use it from its own exit code, and the
// connection to the display closes with the process.
void GiveBackOnExit() {
    RestoreDisplayMode();
    SDL_ShowCursor(SDL_ENABLE);
    SDL_PumpEvents();
}

}  // namespace

bool StartVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // The close box is the window's WM_CLOSE, not a quit of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vrex: no video: %s\n", SDL_GetError());
        return false;
    }
    static const bool registered = std::atexit(GiveBackOnExit) == 0;
    (void)registered;
    return true;
}

}  // namespace sdl_platform

using namespace sdl_platform;

HINSTANCE GetModuleHandleA(const char*) {
    static char module;  // only its address matters: a non-null handle of this program
    return &module;
}

// The system's icon and arrow: SDL windows have both already, so the handles are tokens.
HICON LoadIconA(HINSTANCE, uintptr_t id) { return reinterpret_cast<HICON>(id); }
HCURSOR LoadCursorA(HINSTANCE, uintptr_t id) { return reinterpret_cast<HCURSOR>(id); }

int GetSystemMetrics(int index) {
    SDL_DisplayMode desktop;
    if (!StartVideo() || SDL_GetDesktopDisplayMode(0, &desktop) != 0) return 0;
    if (index == SM_CXSCREEN) return desktop.w;
    if (index == SM_CYSCREEN) return desktop.h;
    return 0;
}

BOOL QueryPerformanceCounter(int64_t* count) {
    *count = int64_t(SDL_GetPerformanceCounter());
    return TRUE;
}

BOOL QueryPerformanceFrequency(int64_t* frequency) {
    *frequency = int64_t(SDL_GetPerformanceFrequency());
    return TRUE;
}

void Sleep(DWORD milliseconds) { SDL_Delay(milliseconds); }
void WaitForDisplayFrame() { SDL_Delay(1); }

void UseHeadlessDrivers() {
#ifndef _WIN32  // SDL's offscreen driver makes GL contexts through EGL, which Windows lacks
    SDL_setenv("SDL_VIDEODRIVER", "offscreen", 0);
#endif
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 0);
}

int ShowCursor(BOOL show) {
    cursorCounter += show ? 1 : -1;
    if (StartVideo()) SDL_ShowCursor(cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCounter;
}
