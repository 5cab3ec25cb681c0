// The demo's start-up: the full-screen question, the window, initialisation, the loop.
#include "app/shell.h"
#include "resources/textures.h"

bool g_fullScreen = true;

namespace {

constexpr const char* FULL_SCREEN_QUESTION = "Click Yes to go to full screen (Recommended)";
constexpr const char* QUESTION_CAPTION = "Options";
constexpr int WINDOW_NOT_CREATED = 1;

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, char*, int) {
    // Only No gives a window: the box offers nothing else. A box that cannot be created asks on
    // the terminal or answers No, so a failed box never switches the display.
    if (MessageBoxA(nullptr, FULL_SCREEN_QUESTION, QUESTION_CAPTION, MB_YESNO | MB_ICONQUESTION) == IDNO)
        g_fullScreen = false;

    HWND window = CreateDemoWindow(WINDOW_TITLE, CLIENT_WIDTH, CLIENT_HEIGHT, 0, g_fullScreen, instance);
    if (!window) return WINDOW_NOT_CREATED;

    InitDemo(window);
    return RunMessageLoop();
}
