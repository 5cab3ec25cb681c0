// The demo's start-up: the full-screen question, the window, initialisation, the loop.
#include "app/options.h"
#include "app/shell.h"
#include "resources/textures.h"
#include "scenes/timeline.h"

bool g_fullScreen = true;
DemoOptions g_options;

namespace {

constexpr const char* FULL_SCREEN_QUESTION = "Click Yes to go to full screen (Recommended)";
constexpr const char* QUESTION_CAPTION = "Options";
constexpr int WINDOW_NOT_CREATED = 1;

// The viewer's answer, from the command line or from the question.
void ChooseScreen() {
    switch (g_options.screen) {
    case ScreenChoice::Ask:
        // Only No gives a window: the box offers nothing else. A box that cannot be created asks
        // on the terminal or answers No, so a failed box never switches the display.
        if (MessageBoxA(nullptr, FULL_SCREEN_QUESTION, QUESTION_CAPTION, MB_YESNO | MB_ICONQUESTION) == IDNO)
            g_fullScreen = false;
        break;
    case ScreenChoice::Windowed: g_fullScreen = false; break;
    case ScreenChoice::FullScreen: g_fullScreen = true; break;
    case ScreenChoice::Desktop:
        g_fullScreen = true;
        g_desktopFullScreen = true;
        break;
    }
}

// The music's place at a frame of the show, at the pace the show was made for.
uint32_t MusicMillisecondsAt(int frame) { return uint32_t(int64_t(frame) * 1000 / SHOW_FRAMES_PER_SECOND); }

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, char*, int) {
    ChooseScreen();

    HWND window = CreateDemoWindow(WINDOW_TITLE, CLIENT_WIDTH, CLIENT_HEIGHT, 0, g_fullScreen, instance);
    if (!window) return WINDOW_NOT_CREATED;

    g_musicWanted = !g_options.mute;
    g_musicStartMilliseconds = MusicMillisecondsAt(g_options.startFrame);
    InitDemo(window);
    if (g_options.loop) KeepShowStartState();
    if (g_options.startFrame > 0) FastForwardShow(g_options.startFrame);
    return RunMessageLoop();
}
