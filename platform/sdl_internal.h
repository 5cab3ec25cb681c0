// sdl_internal.h - what the files of the SDL2 platform layer share, and nothing else includes.
//
// The layer keeps the Win32 shape: one registered window class with its procedure, one
// window (the demo never has more), its device context (a handle on the window, as the GL
// calls need it) and the GL contexts made on it. SDL's video subsystem starts on first use;
// from then on an exit handler gives back the display mode and the cursor however the
// process ends (return from main or exit()).
#pragma once

#include <SDL.h>

#include "platform/platform.h"

struct PlatformDeviceContext {
    PlatformWindow* window;
};

struct PlatformWindow {
    SDL_Window* sdl = nullptr;
    WNDPROC procedure = nullptr;  // the class's procedure, kept by the window as Win32 does
    bool hasGl = false;           // made with an OpenGL visual; false when GL could not be loaded
    bool shownOnce = false;       // the first ShowWindow sends the first WM_SIZE
    int sizeSentWidth = -1;       // the client size of the last WM_SIZE: SDL also reports sizes
    int sizeSentHeight = -1;      // that did not change, which the procedure never sees
    PlatformDeviceContext deviceContext{this};
};

struct PlatformGlContext {
    SDL_GLContext context;
    void* renderer = nullptr;  // what draws the GL calls into it, when that is not the driver
};

namespace sdl_platform {

// Starts SDL's video subsystem once and registers the exit handler; false if there is no video.
bool StartVideo();
// The demo window, or null before CreateWindowExA succeeds.
PlatformWindow* TheWindow();
// Makes the window take a display mode accepted by ChangeDisplaySettingsA, if one is pending:
// the SDL flags a new popup window needs, and the mode it is given before it is shown. With no
// mode pending, a popup of the desktop's size is full screen at the desktop's mode.
Uint32 FullScreenFlags(DWORD style, int width, int height);
void ApplyPendingMode(PlatformWindow* window);
// Leaves full screen (SDL puts the desktop mode back) and forgets a pending mode.
void RestoreDisplayMode();
// Records width x height as the client size the procedure knows; false when it knew it already.
bool NoteClientSize(PlatformWindow* window, int width, int height);
// The Win32 message for an SDL event, or false when the event has no counterpart.
bool TranslateEvent(const SDL_Event& event, HWND window, MSG* message);
// Sends a message to the window's procedure at once, as Win32 does while showing a window.
LRESULT SendToProcedure(PlatformWindow* window, UINT message, WPARAM wParam, LPARAM lParam);

// The kind of GL context and who receives the GL calls: one small file per build decides
// (sdl_gl_fixed.cpp: the system's OpenGL, called directly; sdl_gl_gles.cpp: our own GL 1.1
// over an OpenGL ES 3.0 context).
// Sets SDL's context attributes before the window is made.
void RequestGlContextKind();
// Called with the new context current; false when the calls cannot be drawn into it.
bool AttachGlRenderer(PlatformGlContext* context);
// The GL calls go to this context's receiver from now on (null: to none).
void MakeGlRendererCurrent(PlatformGlContext* context);
void DetachGlRenderer(PlatformGlContext* context);
// Everything sent for the frame reaches the driver before it is read or presented.
void FinishGlFrame();

}  // namespace sdl_platform
