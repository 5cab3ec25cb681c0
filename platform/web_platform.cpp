// The windowing layer in a web browser, over Emscripten's HTML5 API and the page's own script.
//
// The browser never lets a program block, yet the shell asks its question with a modal box and
// runs a loop that never returns. The program is built with Asyncify: the box awaits the click
// on the page's dialog, and SwapBuffers awaits the browser's next animation frame, so the shell
// runs here exactly as written and the browser paints each frame while the program waits. A
// show that keeps time with its music and has no new frame due waits for the next animation
// frame without presenting one (WaitForDisplayFrame), so the canvas keeps its picture.
//
// The GL calls go to our own OpenGL 1.1 over shaders (gles/gles.h), drawing into the canvas's
// WebGL 2 context; it finds WebGL's functions through Emscripten's getter, since the GL 1.1
// names themselves are ours.
//
// The page (web/index.html) provides Module.vrexPage: the dialogs, full screen, the cursor and
// the frame hand-over. The page lays the canvas out at 4:3 as large as it fits; its drawing
// buffer is that size in device pixels (web_canvas.h), and WM_SIZE tells the shell when it
// moved. A page has only the desktop's kind of full screen (no mode switch), so the popup
// window of full screen is the page's full-screen request (the page waits for the viewer's
// click if it must). Without a WebGL 2 context nothing can be drawn: the page says so and the
// run ends, rather than a loop that never waits hanging the tab. Touch and focus: web_input.h;
// a lost WebGL context: web_context.h.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

#include "gles/gles.h"
#include "platform/platform.h"
#include "platform/web_canvas.h"
#include "platform/web_context.h"
#include "platform/web_input.h"
#include "platform/web_page.h"

struct PlatformWindow {
    WNDPROC procedure;
};
struct PlatformDeviceContext {
    int unused;
};
struct PlatformGlContext {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle;
    GlesContext* renderer;
};

// ---- the page's side ----------------------------------------------------------------------
// clang-format off
EM_ASYNC_JS(int, PageAsk, (const char* text, const char* caption, int yesNo), {
    return await Module.vrexPage.ask(UTF8ToString(text), UTF8ToString(caption), yesNo != 0);
});
EM_ASYNC_JS(void, PageNextFrame, (int framesPresented, int holdFrame), {
    await Module.vrexPage.presented(framesPresented, holdFrame);
});
EM_ASYNC_JS(void, PageNextDisplayFrame, (), { await Module.vrexPage.nextDisplayFrame(); });
EM_JS(void, PageCannotDraw, (), { Module.vrexPage.cannotDraw(); });
EM_JS(int, PageDialogOpen, (), { return Module.vrexPage.dialogOpen() ? 1 : 0; });
EM_JS(void, PageEnterFullScreen, (), { Module.vrexPage.enterFullScreen(); });
EM_JS(void, PageLeaveFullScreen, (), { Module.vrexPage.leaveFullScreen(); });
EM_JS(void, PageShowCursor, (int show), { Module.vrexPage.showCursor(show != 0); });
EM_JS(void, PageSetTitle, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(int, PageScreenWidth, (), { return screen.width; });
EM_JS(int, PageScreenHeight, (), { return screen.height; });
// clang-format on

namespace {

constexpr const char* STAGE = "#stage";  // the canvas and the black bars around it: full screen holds it
constexpr int NO_HOLD = -1;

struct WindowClass {
    std::string name;
    WNDPROC procedure = nullptr;
};

WindowClass windowClass;
PlatformWindow theWindow;
bool windowExists = false;
PlatformDeviceContext theDeviceContext;
PlatformGlContext* currentContext = nullptr;
std::deque<MSG> queue;
int cursorCount = 0;
FrameObserver frameObserver = nullptr;
void* frameObserverUser = nullptr;
int framesPresented = 0;
int holdFrame = NO_HOLD;

HWND LiveWindow() { return windowExists ? &theWindow : nullptr; }

// Without a WebGL 2 context nothing can ever be drawn, and a loop that never waits would hang
// the tab: the page says so, and the run ends here.
[[noreturn]] void EndForWantOfAContext() {
    PageCannotDraw();
    emscripten_force_exit(EXIT_FAILURE);
}

EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
    // A key that answers a page dialog belongs to the dialog, never to the show behind it.
    if (!windowExists || PageDialogOpen()) return EM_FALSE;
    // Only Escape means anything to the demo; every other key is left to the browser.
    if (std::string(event->key) != "Escape") return EM_FALSE;
    queue.push_back({&theWindow, WM_KEYDOWN, VK_ESCAPE, 0});
    return EM_TRUE;
}

EM_BOOL OnMouseDown(int, const EmscriptenMouseEvent* event, void*) {
    if (!windowExists || PageDialogOpen()) return EM_FALSE;
    constexpr unsigned short RIGHT_BUTTON = 2;
    if (event->button != RIGHT_BUTTON) return EM_FALSE;
    queue.push_back({&theWindow, WM_RBUTTONDOWN, 0, MAKELPARAM(WORD(event->targetX), WORD(event->targetY))});
    return EM_TRUE;
}

// What a right click is to the desktop, a two-finger tap is to a touch screen.
void OnTwoFingerTap() {
    if (windowExists) queue.push_back({&theWindow, WM_RBUTTONDOWN, 0, 0});
}

}  // namespace

void HoldPictureAfterNextFrame(int frameNumber) { holdFrame = frameNumber; }

// ---- message boxes ------------------------------------------------------------------------
int MessageBoxA(HWND, const char* text, const char* caption, UINT type) {
    const bool yesNo = (type & MB_YESNO) == MB_YESNO;
    const int yes = PageAsk(text ? text : "", caption ? caption : "", yesNo);
    if (!yesNo) return IDOK;
    return yes ? IDYES : IDNO;
}

HWND GetFocus() { return LiveWindow(); }

// ---- window class, window, cursor ---------------------------------------------------------
HINSTANCE GetModuleHandleA(const char*) { return &theWindow; }
HICON LoadIconA(HINSTANCE, uintptr_t id) { return reinterpret_cast<HICON>(id); }
HCURSOR LoadCursorA(HINSTANCE, uintptr_t id) { return reinterpret_cast<HCURSOR>(id); }

ATOM RegisterClassA(const WNDCLASSA* c) {
    if (!c || !c->lpszClassName || !c->lpfnWndProc || !windowClass.name.empty()) return 0;
    windowClass = {c->lpszClassName, c->lpfnWndProc};
    return 0xC001;
}

BOOL UnregisterClassA(const char* className, HINSTANCE) {
    if (!className || windowClass.name != className) return FALSE;
    windowClass = {};
    return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD, BOOL) { return rect != nullptr; }  // a canvas has no frame

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD style, int, int, int, int, HWND, HMENU,
                     HINSTANCE, void*) {
    if (windowExists || !className || windowClass.name != className) return nullptr;
    theWindow.procedure = windowClass.procedure;
    windowExists = true;
    PageSetTitle(title ? title : "");
    FollowCanvasSize();
    if (style & WS_POPUP) PageEnterFullScreen();
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKeyDown);
    emscripten_set_mousedown_callback(STAGE, nullptr, EM_FALSE, OnMouseDown);
    WatchCanvasInput(OnTwoFingerTap);
    return &theWindow;
}

BOOL ShowWindow(HWND window, int) { return window == LiveWindow() && window; }
BOOL UpdateWindow(HWND window) { return window == LiveWindow() && window; }
HWND SetFocus(HWND window) {
    if (window && window == LiveWindow()) FocusCanvas();
    return LiveWindow();
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!window || window != LiveWindow() || !rect) return FALSE;
    const CanvasSize size = CurrentCanvasSize();
    *rect = {0, 0, size.width, size.height};
    return TRUE;
}

int ShowCursor(BOOL show) {
    cursorCount += show ? 1 : -1;
    PageShowCursor(cursorCount >= 0);
    return cursorCount;
}

int GetSystemMetrics(int index) {
    if (index == SM_CXSCREEN) return PageScreenWidth();
    if (index == SM_CYSCREEN) return PageScreenHeight();
    return 0;
}

// ---- display mode -------------------------------------------------------------------------
// A page cannot switch the display; full screen is the browser's, at the display's own mode.
BOOL EnumDisplaySettingsA(const char*, DWORD modeNumber, DEVMODEA* mode) {
    if (modeNumber != ENUM_CURRENT_SETTINGS || !mode) return FALSE;
    *mode = {DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY, 32, DWORD(PageScreenWidth()),
             DWORD(PageScreenHeight()), 60};
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    // There is no mode to switch: full screen is the popup window's (CreateWindowExA). A refusal
    // is the page's to tell: the show then plays in the page, which is not a failure.
    if (mode && (flags & CDS_FULLSCREEN)) return DISP_CHANGE_SUCCESSFUL;
    if (!mode && flags == 0) {
        PageLeaveFullScreen();
        return DISP_CHANGE_SUCCESSFUL;
    }
    return DISP_CHANGE_BADMODE;
}

// ---- time ---------------------------------------------------------------------------------
constexpr int64_t TICKS_PER_SECOND = 1000000;

BOOL QueryPerformanceCounter(int64_t* count) {
    if (!count) return FALSE;
    *count = int64_t(emscripten_get_now() * (TICKS_PER_SECOND / 1000));
    return TRUE;
}

BOOL QueryPerformanceFrequency(int64_t* frequency) {
    if (!frequency) return FALSE;
    *frequency = TICKS_PER_SECOND;
    return TRUE;
}

void Sleep(DWORD milliseconds) { emscripten_sleep(milliseconds); }
void WaitForDisplayFrame() { PageNextDisplayFrame(); }

// ---- messages -----------------------------------------------------------------------------
BOOL PeekMessageA(MSG* message, HWND, UINT, UINT, UINT remove) {
    // Before each frame: a canvas that changed size on the screen is a resized window.
    if (queue.empty() && windowExists && FollowCanvasSize()) {
        const CanvasSize size = CurrentCanvasSize();
        queue.push_back({&theWindow, WM_SIZE, 0, MAKELPARAM(WORD(size.width), WORD(size.height))});
    }
    if (queue.empty() || !message) return FALSE;
    *message = queue.front();
    if (remove & PM_REMOVE) queue.pop_front();
    return TRUE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* message) {
    if (!message || !message->hwnd || message->hwnd != LiveWindow() || !theWindow.procedure) return 0;
    return theWindow.procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT DefWindowProcA(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) PostQuitMessage(0);
    return 0;
}

void PostQuitMessage(int exitCode) { queue.push_back({nullptr, WM_QUIT, WPARAM(exitCode), 0}); }

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    if (!paint || window != LiveWindow()) return nullptr;
    paint->hdc = &theDeviceContext;
    return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*) { return TRUE; }

// ---- device context, pixel format, GL context ---------------------------------------------
HDC GetDC(HWND window) { return window && window == LiveWindow() ? &theDeviceContext : nullptr; }
int ReleaseDC(HWND, HDC deviceContext) { return deviceContext == &theDeviceContext; }

int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request) {
    if (deviceContext != &theDeviceContext || !request) return 0;
    // WebGL 2 always gives a double-buffered RGBA canvas with a 16-bit or deeper depth buffer.
    if (request->iPixelType != PFD_TYPE_RGBA || request->cDepthBits > 24) return 0;
    return 1;
}

BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR*) {
    return deviceContext == &theDeviceContext && format == 1;
}

HGLRC wglCreateContext(HDC deviceContext) {
    if (deviceContext != &theDeviceContext) return nullptr;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    // The picture stays on the canvas between frames, as a window's front buffer does: a held
    // frame must still be there when the page is read or shared.
    attributes.preserveDrawingBuffer = EM_TRUE;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = emscripten_webgl_create_context(CANVAS_SELECTOR, &attributes);
    if (handle <= 0) EndForWantOfAContext();  // before start-up sends its textures to no context
    // The library builds its state in the new context; Win32 does not make it current, so the
    // previous one is put back afterwards.
    if (currentContext) glesFlush();
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE previous = emscripten_webgl_get_current_context();
    emscripten_webgl_make_context_current(handle);
    GlesContext* renderer = glesCreateContext(emscripten_webgl_get_proc_address);
    emscripten_webgl_make_context_current(previous);
    if (!renderer) {
        std::fprintf(stderr, "OpenGL over WebGL 2: %s\n", glesLastFailure());
        emscripten_webgl_destroy_context(handle);
        EndForWantOfAContext();
    }
    WatchContextLoss(handle, renderer);
    return new PlatformGlContext{handle, renderer};
}

BOOL wglMakeCurrent(HDC deviceContext, HGLRC context) {
    if (currentContext) glesFlush();
    if (!context) {
        glesMakeCurrent(nullptr);
        emscripten_webgl_make_context_current(0);
        currentContext = nullptr;
        return TRUE;
    }
    if (deviceContext != &theDeviceContext) return FALSE;
    if (emscripten_webgl_make_context_current(context->handle) != EMSCRIPTEN_RESULT_SUCCESS) return FALSE;
    glesMakeCurrent(context->renderer);
    currentContext = context;
    return TRUE;
}

BOOL wglDeleteContext(HGLRC context) {
    if (!context) return FALSE;
    if (context == currentContext) wglMakeCurrent(nullptr, nullptr);
    WatchContextLoss(0, nullptr);
    glesDestroyContext(context->renderer);
    emscripten_webgl_destroy_context(context->handle);
    delete context;
    return TRUE;
}

BOOL SwapBuffers(HDC deviceContext) {
    if (deviceContext != &theDeviceContext) return FALSE;
    if (!currentContext) EndForWantOfAContext();
    glesFlush();
    if (frameObserver) frameObserver(deviceContext, frameObserverUser);
    // The browser presents the canvas once the program gives control back; the next frame
    // begins at its next animation frame, the display's pace.
    ++framesPresented;
    PageNextFrame(framesPresented, holdFrame);
    return TRUE;
}

void SetFrameObserver(FrameObserver observer, void* user) {
    frameObserver = observer;
    frameObserverUser = observer ? user : nullptr;
}

void UseHeadlessDrivers() {}

// ---- console ------------------------------------------------------------------------------
int _getch() { return -1; }  // a page has no console
