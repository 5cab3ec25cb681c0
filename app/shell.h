// shell.h - the application shell: start-up, the window and display mode, the OpenGL
// context and projection, the message loop, the window procedure and shutdown.
//
// WinMain() asks the full-screen question, opens the one 800 x 600 window "vrex demo"
// (switching the display to 800 x 600 first in full screen), hands it to InitDemo() and
// runs RunMessageLoop(), whose result is the process exit code. The loop draws a frame with
// DrawFrame() whenever no message waits; on the quit message it frees the model's geometry
// and calls Shutdown(), which gives back the context, the display mode and the cursor.
//
// The command line (app/options.h) may answer the question in advance, ask for the desktop's
// own full screen (no mode switch; the 4:3 picture centred between black bars), pace the
// frames by a timer, start the show further in, or play it in a loop. Without options none of
// that happens and every step above is as it always was.
//
// State: g_fullScreen (the user's answer), g_desktopFullScreen, g_hInstance, g_hdc and
// g_hglrc (the context), g_lighting (the right mouse button's switch).
#pragma once

#include "platform/platform.h"

// Fixed values of the window and the display mode.
constexpr const char* WINDOW_CLASS_NAME = "vrex";
constexpr const char* WINDOW_TITLE = "vrex demo";
constexpr int CLIENT_WIDTH = 800;  // the client area asked for, in both modes
constexpr int CLIENT_HEIGHT = 600;
constexpr DWORD FULL_SCREEN_WIDTH = 800;  // the display resolution in full screen
constexpr DWORD FULL_SCREEN_HEIGHT = 600;

extern bool g_fullScreen;         // true unless the user answered No; never changes afterwards
extern bool g_desktopFullScreen;  // full screen at the desktop's mode (--desktop); a browser's page
                                  // sets it before WinMain, windowed or not (web/main.cpp)
extern HINSTANCE g_hInstance;     // stored by CreateDemoWindow; Shutdown unregisters the class with it
extern HDC g_hdc;                 // the window's device context, from InitGraphics until Shutdown
extern HGLRC g_hglrc;             // the GL context, current on g_hdc for the whole run
extern bool g_lighting;           // the right mouse button's lighting switch; starts on

// Start-up: the question, the window, InitDemo, the loop. Returns the process exit code: the
// quit message's, or 1 when the window cannot be created. Only `instance` is used.
int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);
// Registers the class and opens the window with a client area of width x height; style 0
// picks the full-screen popup (switching the display first) or the framed window. Null on
// failure. The handle is not stored here.
HWND CreateDemoWindow(const char* title, int width, int height, DWORD style, bool fullScreen, HINSTANCE instance);
// The shell's failures, each in a box of its own with no owner: caption "Error", one OK button.
inline void ReportError(const char* text) { MessageBoxA(nullptr, text, "Error", MB_OK); }
// Switches the primary display to 800 x 600; a refusal is reported and posts a quit.
void EnterFullScreenMode();
// The part of a client area the picture takes: all of it, or in the desktop's full screen
// the largest 4:3 rectangle in its middle (x, y from the bottom left, then width, height).
struct PictureArea {
    int x, y, width, height;
};
PictureArea PictureAreaOf(int clientWidth, int clientHeight);

// Chooses and sets a double-buffered RGBA format with a 16-bit depth buffer; false (after an
// "Error" box) when either step fails.
bool SetupPixelFormat(HDC deviceContext);
// Binds GL to g_hwnd (which must be set) and leaves the fixed state every scene starts from.
void InitGraphics(int width, int height);
// That fixed state and the projection for a client of width x height, on the current context:
// InitGraphics's GL calls, which need no window.
void SetShowGlState(int width, int height);
// Viewport and 45-degree perspective for the picture area of a client size; a height of 0
// counts as 1.
void ResizeViewport(int width, int height);

// Draws a frame whenever no message waits; on the quit message releases the model and shuts
// down. Returns the quit message's exit code. With --loop the show and the music start again
// once the show has ended; with --fps each frame first waits for its time.
int RunMessageLoop();
// Returns once the next frame is due at `framesPerSecond`: frame n of the run is due n
// periods after the first, so waits do not add up their errors. A frame that comes late is
// drawn at once and the ones after it keep the schedule; more than a second behind (the
// process was stopped, say), the schedule starts again from now instead of rushing.
void WaitForFrameTime(int framesPerSecond);
// The next WaitForFrameTime returns at once and the schedule counts from there.
void RestartFramePacing();
LRESULT DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Gives back the context, the device context, the display mode and the cursor (full screen),
// and unregisters the class, in that order.
void Shutdown();
