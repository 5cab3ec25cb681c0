// shell.h - the application shell: start-up, the window and display mode, the OpenGL
// context and projection, the message loop, the window procedure and shutdown.
//
// WinMain() asks the full-screen question, opens the one 800 x 600 window "vrex demo"
// (switching the display to 800 x 600 first in full screen), hands it to InitDemo() and
// runs RunMessageLoop(), whose result is the process exit code. The loop draws a frame with
// DrawFrame() whenever no message waits; on the quit message it frees the model's geometry
// and calls Shutdown(), which gives back the context, the display mode and the cursor.
//
// State: g_fullScreen (the user's answer), g_hInstance, g_hdc and g_hglrc (the context),
// g_lighting (the right mouse button's switch).
#pragma once

#include "platform/platform.h"

extern bool g_fullScreen;      // true unless the user answered No; never changes afterwards
extern HINSTANCE g_hInstance;  // stored by CreateDemoWindow; Shutdown unregisters the class with it
extern HDC g_hdc;              // the window's device context, from InitGraphics until Shutdown
extern HGLRC g_hglrc;          // the GL context, current on g_hdc for the whole run
extern bool g_lighting;        // the right mouse button's lighting switch; starts on

int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);
HWND CreateDemoWindow(const char* title, int width, int height, DWORD style, bool fullScreen,
                      HINSTANCE instance);
void EnterFullScreenMode();

bool SetupPixelFormat(HDC deviceContext);
void InitGraphics(int width, int height);
void ResizeViewport(int width, int height);

int RunMessageLoop();
LRESULT DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void Shutdown();
