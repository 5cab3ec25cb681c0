// platform.h - the small windowing layer the demo runs on: the Win32 and WGL operations the
// shell, the initialisation and the readers call, provided over SDL2.
//
// The demo was written against Win32; this header keeps those operations' names, arguments,
// constants and results so the shell reads step by step like the original, and nothing else
// in the program includes SDL. Two implementations exist:
//   - platform (sdl_platform.cpp): the real one, SDL2 window, GL context, message boxes;
//   - platform_fake (fake_platform.h): records every call and answers as a test says.
// An executable links exactly one of them.
//
// Only what the demo uses is here, and each operation does only what the demo asks of it:
// one window class, one window, one GL context, one thread.
#pragma once

#include <cstdint>

// ---- handles and basic types ------------------------------------------------------------
struct PlatformWindow;
struct PlatformDeviceContext;
struct PlatformGlContext;

using HWND = PlatformWindow*;
using HDC = PlatformDeviceContext*;
using HGLRC = PlatformGlContext*;
using HINSTANCE = void*;
using HICON = void*;
using HCURSOR = void*;
using HBRUSH = void*;
using HMENU = void*;
using BOOL = int;
using UINT = unsigned int;
using DWORD = uint32_t;
using WORD = uint16_t;
using BYTE = uint8_t;
using LONG = int32_t;
using ATOM = uint16_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

inline WORD LOWORD(LPARAM v) { return WORD(uintptr_t(v) & 0xFFFF); }
inline WORD HIWORD(LPARAM v) { return WORD((uintptr_t(v) >> 16) & 0xFFFF); }
inline LPARAM MAKELPARAM(WORD low, WORD high) { return LPARAM(uintptr_t(low) | (uintptr_t(high) << 16)); }

// ---- message boxes ----------------------------------------------------------------------
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_YESNO = 0x04;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Modal box; `owner` null means no owner. With MB_YESNO, Return answers Yes and Escape No.
// A box that cannot be created answers as platform/box_fallback.h says.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
// The window that has the keyboard focus, or null.
HWND GetFocus();

// ---- window class, window, cursor -------------------------------------------------------
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000u;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000u;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000u;
constexpr int SW_SHOWNORMAL = 1;
constexpr uintptr_t IDI_APPLICATION = 32512;
constexpr uintptr_t IDC_ARROW = 32512;
constexpr uintptr_t COLOR_WINDOW = 5;

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
};

struct RECT {
    LONG left, top, right, bottom;
};

// The handle of the running program (what Win32 hands to WinMain).
HINSTANCE GetModuleHandleA(const char* moduleName);
HICON LoadIconA(HINSTANCE instance, uintptr_t id);
HCURSOR LoadCursorA(HINSTANCE instance, uintptr_t id);
ATOM RegisterClassA(const WNDCLASSA* windowClass);
BOOL UnregisterClassA(const char* className, HINSTANCE instance);
// Grows a client rectangle to the outer window size for `style` (frame and caption).
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
HWND SetFocus(HWND window);
BOOL GetClientRect(HWND window, RECT* rect);
// Returns the new display counter; the cursor shows while it is 0 or more.
int ShowCursor(BOOL show);
// The primary display's size in pixels, in its current (desktop) mode.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
int GetSystemMetrics(int index);

// ---- display mode -----------------------------------------------------------------------
constexpr DWORD ENUM_CURRENT_SETTINGS = 0xFFFFFFFFu;
constexpr DWORD CDS_FULLSCREEN = 0x04;
constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
constexpr LONG DISP_CHANGE_FAILED = -1;
constexpr LONG DISP_CHANGE_BADMODE = -2;
constexpr DWORD DM_BITSPERPEL = 0x00040000u;
constexpr DWORD DM_PELSWIDTH = 0x00080000u;
constexpr DWORD DM_PELSHEIGHT = 0x00100000u;
constexpr DWORD DM_DISPLAYFREQUENCY = 0x00400000u;

// The fields of a display mode record that the demo reads or writes.
struct DEVMODEA {
    DWORD dmFields;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFrequency;
};

BOOL EnumDisplaySettingsA(const char* deviceName, DWORD modeNumber, DEVMODEA* mode);
// With a mode and CDS_FULLSCREEN: a temporary change, given back however the process ends.
// With no mode and flags 0: back to the mode kept by the system.
LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);

// A popup window (WS_POPUP) exactly the size of the screen, made while no mode change is
// pending, is the desktop's full screen: the window system is told so (on X11 and Wayland a
// full-screen window at the desktop's own mode), and nothing switches the display.

// ---- time -------------------------------------------------------------------------------
// A monotonic high-resolution tick count and its ticks per second.
BOOL QueryPerformanceCounter(int64_t* count);
BOOL QueryPerformanceFrequency(int64_t* frequency);
// Gives up the processor for at least `milliseconds`; 0 only yields.
void Sleep(DWORD milliseconds);
// Our own addition: returns at the display's next frame without presenting one, for a show
// that keeps time and has no new frame due yet. SDL sleeps a millisecond (there a swap is
// what waits for the display); the page waits for the browser's next animation frame.
void WaitForDisplayFrame();

// ---- messages ---------------------------------------------------------------------------
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT PM_REMOVE = 0x0001;
constexpr WPARAM VK_ESCAPE = 0x1B;

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct PAINTSTRUCT {
    HDC hdc;
};

// Takes the next message of the thread without waiting; false when the queue is empty.
BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove);
BOOL TranslateMessage(const MSG* message);
// Hands the message to the procedure of its window's class.
LRESULT DispatchMessageA(const MSG* message);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Puts WM_QUIT with `exitCode` in its wParam in the queue.
void PostQuitMessage(int exitCode);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// ---- device context, pixel format, GL context -------------------------------------------
constexpr DWORD PFD_DOUBLEBUFFER = 0x01;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x04;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x20;
constexpr BYTE PFD_TYPE_RGBA = 0;
constexpr BYTE PFD_MAIN_PLANE = 0;

struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits, cRedShift, cGreenBits, cGreenShift, cBlueBits, cBlueShift;
    BYTE cAlphaBits, cAlphaShift;
    BYTE cAccumBits, cAccumRedBits, cAccumGreenBits, cAccumBlueBits, cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the request is 40 bytes, as the shell fills it");

HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC deviceContext);
// Index of a format that meets the request (double-buffered RGBA, depth >= the request), or 0.
int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request);
BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* request);
HGLRC wglCreateContext(HDC deviceContext);
// Null arguments make no context current.
BOOL wglMakeCurrent(HDC deviceContext, HGLRC context);
BOOL wglDeleteContext(HGLRC context);
// Presents the back buffer. The swap interval is 1, so frames follow the display's pace.
// A frame observer, if one is set, sees the frame first (below).
BOOL SwapBuffers(HDC deviceContext);

// ---- frame observer: our own addition, Win32 has no such call ---------------------------
// Tools that record the show (vrex-capture) need every frame exactly as the demo drew it,
// without a GL call of their own inside the frame and without touching the demo's code.
// SwapBuffers calls the observer just before it presents the back buffer, on the drawing
// thread with the frame's GL context current, once per frame it is about to present (not
// when it refuses, e.g. with no current context). The layer adds no GL call of its own;
// with no observer set, SwapBuffers does exactly what it did before. One observer at a
// time: setting another replaces it, null removes it. `user` is handed back unchanged.
using FrameObserver = void (*)(HDC deviceContext, void* user);
void SetFrameObserver(FrameObserver observer, void* user);

// ---- tools ------------------------------------------------------------------------------
// For programs that draw frames nobody watches: offscreen video where the system can give it a
// GL context (where it cannot, as on Windows, the window shows) and silent audio, unless the
// environment names other drivers. Call before anything else of this layer.
void UseHeadlessDrivers();

// ---- console ----------------------------------------------------------------------------
// One key from the console without echo, or -1 at once when no key waits (never blocks).
int _getch();
