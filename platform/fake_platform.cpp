// The recording fake of the platform layer. Handles are fixed addresses of private objects,
// so tests can compare them; only a requested real GL context touches SDL.
#include "platform/fake_platform.h"

#include "platform/box_fallback.h"

#include <SDL.h>

#include <cstdio>
#include <sstream>

namespace fake {

std::vector<Call> g_calls;
std::vector<MessageBoxShown> g_messageBoxes;
Answers g_answers;
bool g_quitPosted = false;
int g_quitCode = 0;
int g_cursorCounter = 0;
bool g_displayChanged = false;
int64_t g_clockTicks = 0;

namespace {

char windowObject, deviceContextObject, glContextObject;
WNDPROC registeredProc = nullptr;
bool windowExists = false;
SDL_Window* offscreenWindow = nullptr;
SDL_GLContext offscreenContext = nullptr;
FrameObserver frameObserver = nullptr;
void* frameObserverUser = nullptr;

std::string Text(const char* s) { return s ? std::string("\"") + s + "\"" : "null"; }

std::string Pointer(const void* p) {
    if (!p) return "null";
    if (p == &windowObject) return "window";
    if (p == &deviceContextObject) return "dc";
    if (p == &glContextObject) return "glrc";
    std::ostringstream out;
    out << p;
    return out.str();
}

template <typename... Args>
void Record(const char* name, const Args&... args) {
    std::ostringstream out;
    [[maybe_unused]] const char* separator = "";  // a call without arguments never reads it
    ((out << separator << args, separator = ", "), ...);
    g_calls.push_back({name, out.str()});
}

void DestroyRealContext() {
    if (offscreenContext) SDL_GL_DeleteContext(offscreenContext);
    if (offscreenWindow) SDL_DestroyWindow(offscreenWindow);
    offscreenContext = nullptr;
    offscreenWindow = nullptr;
}

bool MakeRealContext() {
    if (offscreenContext) return true;
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "fake platform: no video: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    int width = g_answers.clientRect.right - g_answers.clientRect.left;
    int height = g_answers.clientRect.bottom - g_answers.clientRect.top;
    offscreenWindow = SDL_CreateWindow("vrex test", 0, 0, width > 0 ? width : 1, height > 0 ? height : 1,
                                       SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!offscreenWindow) {
        std::fprintf(stderr, "fake platform: no window: %s\n", SDL_GetError());
        return false;
    }
    offscreenContext = SDL_GL_CreateContext(offscreenWindow);
    if (!offscreenContext) {
        std::fprintf(stderr, "fake platform: no GL context: %s\n", SDL_GetError());
        DestroyRealContext();
        return false;
    }
    return true;
}

}  // namespace

void Reset() {
    DestroyRealContext();
    g_calls.clear();
    g_messageBoxes.clear();
    g_answers = Answers{};
    g_quitPosted = false;
    g_quitCode = 0;
    g_cursorCounter = 0;
    g_displayChanged = false;
    g_clockTicks = 0;
    registeredProc = nullptr;
    windowExists = false;
    frameObserver = nullptr;
    frameObserverUser = nullptr;
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Call& call : g_calls) names.push_back(call.name);
    return names;
}

std::vector<Call> CallsNamed(const std::string& name) {
    std::vector<Call> found;
    for (const Call& call : g_calls)
        if (call.name == name) found.push_back(call);
    return found;
}

HWND FakeWindow() { return reinterpret_cast<HWND>(&windowObject); }
HDC FakeDeviceContext() { return reinterpret_cast<HDC>(&deviceContextObject); }
HGLRC FakeGlContext() { return reinterpret_cast<HGLRC>(&glContextObject); }

}  // namespace fake

using namespace fake;

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    Record("MessageBoxA", Pointer(owner), Text(text), Text(caption), type);
    if (g_answers.messageBoxFails) return AnswerWithoutBox(text ? text : "", caption ? caption : "Error", type);
    g_messageBoxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    return g_answers.messageBox;
}

HWND GetFocus() {
    Record("GetFocus");
    return windowExists ? FakeWindow() : nullptr;
}

HINSTANCE GetModuleHandleA(const char* moduleName) {
    Record("GetModuleHandleA", Text(moduleName));
    return reinterpret_cast<HINSTANCE>(0x400000);
}

HICON LoadIconA(HINSTANCE instance, uintptr_t id) {
    Record("LoadIconA", Pointer(instance), id);
    return reinterpret_cast<HICON>(0x1001);
}

HCURSOR LoadCursorA(HINSTANCE instance, uintptr_t id) {
    Record("LoadCursorA", Pointer(instance), id);
    return reinterpret_cast<HCURSOR>(0x1002);
}

ATOM RegisterClassA(const WNDCLASSA* c) {
    Record("RegisterClassA", c->style, Text(c->lpszClassName), Pointer(c->hInstance), Pointer(c->hIcon),
           Pointer(c->hCursor), reinterpret_cast<uintptr_t>(c->hbrBackground), Text(c->lpszMenuName), c->cbClsExtra,
           c->cbWndExtra);
    if (g_answers.registerClassFails) return 0;
    registeredProc = c->lpfnWndProc;
    return 0xC001;
}

BOOL UnregisterClassA(const char* className, HINSTANCE instance) {
    Record("UnregisterClassA", Text(className), Pointer(instance));
    registeredProc = nullptr;
    return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) {
    Record("AdjustWindowRect", rect->left, rect->top, rect->right, rect->bottom, style, menu);
    if ((style & WS_POPUP) == 0) {  // a frame of 8 pixels and a caption of 23, as Win32 would
        rect->left -= 8;
        rect->top -= 31;
        rect->right += 8;
        rect->bottom += 8;
    }
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    Record("CreateWindowExA", exStyle, Text(className), Text(title), style, x, y, width, height, Pointer(parent),
           Pointer(menu), Pointer(instance), Pointer(param));
    if (g_answers.createWindowFails || !registeredProc) return nullptr;
    windowExists = true;
    return FakeWindow();
}

BOOL ShowWindow(HWND window, int command) {
    Record("ShowWindow", Pointer(window), command);
    return FALSE;
}

BOOL UpdateWindow(HWND window) {
    Record("UpdateWindow", Pointer(window));
    return TRUE;
}

HWND SetFocus(HWND window) {
    Record("SetFocus", Pointer(window));
    return nullptr;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    Record("GetClientRect", Pointer(window));
    *rect = g_answers.clientRect;
    return TRUE;
}

int GetSystemMetrics(int index) {
    Record("GetSystemMetrics", index);
    if (index == SM_CXSCREEN) return int(g_answers.currentMode.dmPelsWidth);
    if (index == SM_CYSCREEN) return int(g_answers.currentMode.dmPelsHeight);
    return 0;
}

// Time passes only in Sleep: code that paces itself is tested without waiting.
BOOL QueryPerformanceCounter(int64_t* count) {
    *count = g_clockTicks;
    return TRUE;
}

BOOL QueryPerformanceFrequency(int64_t* frequency) {
    *frequency = CLOCK_TICKS_PER_SECOND;
    return TRUE;
}

void Sleep(DWORD milliseconds) {
    Record("Sleep", milliseconds);
    g_clockTicks += int64_t(milliseconds) * (CLOCK_TICKS_PER_SECOND / 1000);
    if (milliseconds == 0) g_clockTicks += g_answers.yieldTicks;
}

void WaitForDisplayFrame() {
    Record("WaitForDisplayFrame");
    g_clockTicks += g_answers.displayFrameTicks;
}

int ShowCursor(BOOL show) {
    Record("ShowCursor", show);
    g_cursorCounter += show ? 1 : -1;
    return g_cursorCounter;
}

BOOL EnumDisplaySettingsA(const char* deviceName, DWORD modeNumber, DEVMODEA* mode) {
    Record("EnumDisplaySettingsA", Text(deviceName), modeNumber);
    if (g_answers.enumDisplayFails) return FALSE;
    *mode = g_answers.currentMode;
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (mode)
        Record("ChangeDisplaySettingsA", mode->dmPelsWidth, mode->dmPelsHeight, mode->dmBitsPerPel,
               mode->dmDisplayFrequency, mode->dmFields, flags);
    else
        Record("ChangeDisplaySettingsA", "null", flags);
    if (!mode) {
        g_displayChanged = false;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (g_answers.changeDisplayResult == DISP_CHANGE_SUCCESSFUL) g_displayChanged = true;
    return g_answers.changeDisplayResult;
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    Record("PeekMessageA", Pointer(window), filterMin, filterMax, remove);
    if (!g_answers.messages.empty()) {
        *message = g_answers.messages.front();
        if (remove & PM_REMOVE) g_answers.messages.pop_front();
        return TRUE;
    }
    if (g_quitPosted) {
        *message = MSG{nullptr, WM_QUIT, WPARAM(g_quitCode), 0};
        if (remove & PM_REMOVE) g_quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG* message) {
    Record("TranslateMessage", message->message);
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* message) {
    Record("DispatchMessageA", message->message, message->wParam, message->lParam);
    if (!registeredProc || !message->hwnd) return 0;
    return registeredProc(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Record("DefWindowProcA", Pointer(window), message, wParam, lParam);
    return g_answers.defWindowProc;
}

void PostQuitMessage(int exitCode) {
    Record("PostQuitMessage", exitCode);
    g_quitPosted = true;
    g_quitCode = exitCode;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    Record("BeginPaint", Pointer(window));
    paint->hdc = FakeDeviceContext();
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT*) {
    Record("EndPaint", Pointer(window));
    return TRUE;
}

HDC GetDC(HWND window) {
    Record("GetDC", Pointer(window));
    return window ? FakeDeviceContext() : nullptr;
}

int ReleaseDC(HWND window, HDC deviceContext) {
    Record("ReleaseDC", Pointer(window), Pointer(deviceContext));
    return 1;
}

int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* p) {
    Record("ChoosePixelFormat", Pointer(deviceContext), p->nSize, p->nVersion, p->dwFlags, int(p->iPixelType),
           int(p->cColorBits), int(p->cDepthBits), int(p->cAccumBits), int(p->cStencilBits), p->dwLayerMask);
    return g_answers.choosePixelFormat;
}

BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR*) {
    Record("SetPixelFormat", Pointer(deviceContext), format);
    return g_answers.setPixelFormat;
}

HGLRC wglCreateContext(HDC deviceContext) {
    Record("wglCreateContext", Pointer(deviceContext));
    if (g_answers.realGlContext && !MakeRealContext()) return nullptr;
    return FakeGlContext();
}

BOOL wglMakeCurrent(HDC deviceContext, HGLRC context) {
    Record("wglMakeCurrent", Pointer(deviceContext), Pointer(context));
    if (offscreenContext) SDL_GL_MakeCurrent(offscreenWindow, context ? offscreenContext : nullptr);
    return TRUE;
}

BOOL wglDeleteContext(HGLRC context) {
    Record("wglDeleteContext", Pointer(context));
    return TRUE;
}

void SetFrameObserver(FrameObserver observer, void* user) {
    Record("SetFrameObserver", observer ? "observer" : "null", Pointer(user));
    frameObserver = observer;
    frameObserverUser = user;
}

// The fake presents whenever its answer says so, and the observer sees those frames only.
BOOL SwapBuffers(HDC deviceContext) {
    Record("SwapBuffers", Pointer(deviceContext));
    if (g_answers.swapBuffers && frameObserver) frameObserver(deviceContext, frameObserverUser);
    return g_answers.swapBuffers;
}

int _getch() {
    Record("_getch");
    return g_answers.getch;
}
