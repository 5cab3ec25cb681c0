// The window class, the demo window and the switch to the full-screen display mode.
#include "app/shell.h"

HINSTANCE g_hInstance = nullptr;

namespace {

constexpr DWORD FULL_SCREEN_STYLE = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD WINDOWED_STYLE = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

void RegisterDemoClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DemoWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = WINDOW_CLASS_NAME;
    RegisterClassA(&windowClass);  // a failure shows up as a failed window creation
}

}  // namespace

HWND CreateDemoWindow(const char* title, int width, int height, DWORD style, bool fullScreen, HINSTANCE instance) {
    RegisterDemoClass(instance);

    if (fullScreen && style == 0) {
        style = FULL_SCREEN_STYLE;
        if (g_desktopFullScreen) {
            // No mode switch: a popup covering the screen is the desktop's own full screen.
            width = GetSystemMetrics(SM_CXSCREEN);
            height = GetSystemMetrics(SM_CYSCREEN);
        } else {
            EnterFullScreenMode();
        }
        ShowCursor(FALSE);
    } else if (style == 0) {
        style = WINDOWED_STYLE;
    }
    g_hInstance = instance;

    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, style, FALSE);
    HWND window = CreateWindowExA(0, WINDOW_CLASS_NAME, title, style, 0, 0, outer.right - outer.left,
                                  outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;

    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetFocus(window);
    return window;
}

void EnterFullScreenMode() {
    DEVMODEA mode = {};
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
        ReportError("Could Not Enum Display Settings");
        return;
    }
    // Only the resolution changes: field mask, colour depth and refresh rate stay as read.
    mode.dmPelsWidth = FULL_SCREEN_WIDTH;
    mode.dmPelsHeight = FULL_SCREEN_HEIGHT;
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
        // Start-up goes on; the loop then ends on this quit and shuts down as usual.
        ReportError("Display Mode Not Compatible");
        PostQuitMessage(0);
    }
}
