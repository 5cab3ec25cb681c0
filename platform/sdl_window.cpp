// The window class and the one window over SDL2: creation with an OpenGL visual, showing,
// focus and the client rectangle.
#include <string>
#include <vector>

#include "platform/sdl_internal.h"

namespace sdl_platform {
namespace {

struct WindowClass {
    std::string name;
    WNDPROC procedure;
};

std::vector<WindowClass> classes;
PlatformWindow* demoWindow = nullptr;

// The visual is picked when the X11 window is made, so the context's needs are set first:
// RGB with at least 16 colour bits, double-buffered, a depth buffer of at least 16 bits.
void RequestGlVisual() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BUFFER_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    RequestGlContextKind();
}

const WindowClass* FindClass(const char* name) {
    for (const WindowClass& c : classes)
        if (name && c.name == name) return &c;
    return nullptr;
}

}  // namespace

PlatformWindow* TheWindow() { return demoWindow; }

bool NoteClientSize(PlatformWindow* window, int width, int height) {
    if (width == window->sizeSentWidth && height == window->sizeSentHeight) return false;
    window->sizeSentWidth = width;
    window->sizeSentHeight = height;
    return true;
}

LRESULT SendToProcedure(PlatformWindow* window, UINT message, WPARAM wParam, LPARAM lParam) {
    return window->procedure ? window->procedure(window, message, wParam, lParam) : 0;
}

}  // namespace sdl_platform

using namespace sdl_platform;

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
    if (FindClass(windowClass->lpszClassName)) return 0;  // already registered, as Win32 says
    classes.push_back({windowClass->lpszClassName, windowClass->lpfnWndProc});
    return ATOM(0xC000 + classes.size());
}

BOOL UnregisterClassA(const char* className, HINSTANCE) {
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (className && it->name == className) {
            classes.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

// SDL sizes a window by its client area and the window manager adds its frame outside it, so
// the outer size the caller computes is the client size.
BOOL AdjustWindowRect(RECT* rect, DWORD, BOOL) { return rect ? TRUE : FALSE; }

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD style, int x, int y, int width, int height,
                     HWND, HMENU, HINSTANCE, void*) {
    const WindowClass* windowClass = FindClass(className);
    if (!windowClass || demoWindow || width <= 0 || height <= 0 || !StartVideo()) return nullptr;

    Uint32 flags = SDL_WINDOW_HIDDEN;  // ShowWindow shows it
    if (style & WS_POPUP)
        flags |= SDL_WINDOW_BORDERLESS | FullScreenFlags(style, width, height);
    else
        flags |= SDL_WINDOW_RESIZABLE;

    RequestGlVisual();
    const char* name = title ? title : "";
    SDL_Window* sdl = SDL_CreateWindow(name, x, y, width, height, flags | SDL_WINDOW_OPENGL);
    bool hasGl = sdl != nullptr;
    if (!sdl) {
        // No OpenGL here: the window still opens and ChoosePixelFormat reports the failure.
        std::string reason = SDL_GetError();
        sdl = SDL_CreateWindow(name, x, y, width, height, flags);
        if (!sdl) return nullptr;
        SDL_SetError("%s", reason.c_str());
    }
    demoWindow = new PlatformWindow;
    demoWindow->sdl = sdl;
    demoWindow->procedure = windowClass->procedure;
    demoWindow->hasGl = hasGl;
    ApplyPendingMode(demoWindow);
    return demoWindow;
}

BOOL ShowWindow(HWND window, int) {
    if (!window) return FALSE;
    bool wasVisible = (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) != 0;
    SDL_ShowWindow(window->sdl);
    if (!window->shownOnce) {
        // Win32 sends the first WM_SIZE while showing, before any GL context exists.
        window->shownOnce = true;
        RECT client;
        GetClientRect(window, &client);
        NoteClientSize(window, client.right, client.bottom);
        SendToProcedure(window, WM_SIZE, 0, MAKELPARAM(WORD(client.right), WORD(client.bottom)));
    }
    return wasVisible ? TRUE : FALSE;
}

// A shown window has an invalid client area, which UpdateWindow paints at once.
BOOL UpdateWindow(HWND window) {
    if (!window) return FALSE;
    SendToProcedure(window, WM_PAINT, 0, 0);
    return TRUE;
}

HWND SetFocus(HWND window) {
    HWND previous = GetFocus();
    // Raising asks the window manager for the focus. Taking it directly (XSetInputFocus) is a
    // fatal X error while a reparenting manager has not mapped the frame yet, so it is left out.
    if (window) SDL_RaiseWindow(window->sdl);
    return previous;
}

HWND GetFocus() {
    if (!demoWindow || !SDL_WasInit(SDL_INIT_VIDEO)) return nullptr;
    return SDL_GetKeyboardFocus() == demoWindow->sdl ? demoWindow : nullptr;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!window || !rect) return FALSE;
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    *rect = RECT{0, 0, width, height};
    return TRUE;
}
