// The device context, the pixel format and the GL context over SDL2. The pixel format is
// chosen when the window is made (the X11 visual), so ChoosePixelFormat only checks that the
// window's visual meets the request, and there is one format: index 1.
#include "platform/sdl_internal.h"

using namespace sdl_platform;

namespace {

constexpr int THE_FORMAT = 1;
// What CreateWindowExA asks of the visual; a request within these is met.
constexpr int VISUAL_COLOUR_BITS = 16;
constexpr int VISUAL_DEPTH_BITS = 16;
constexpr int SWAP_EVERY_FRAME = 1;  // the frame-counted show runs at the display's pace

PlatformGlContext* currentContext = nullptr;  // as wglMakeCurrent left it
FrameObserver frameObserver = nullptr;        // set by a tool that records the frames; see platform.h
void* frameObserverUser = nullptr;

bool CanDraw(HDC deviceContext) { return deviceContext && deviceContext->window && deviceContext->window->hasGl; }

bool RequestIsMet(const PIXELFORMATDESCRIPTOR& request) {
    DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    return (request.dwFlags & needed) == needed && request.iPixelType == PFD_TYPE_RGBA &&
           request.cColorBits <= VISUAL_COLOUR_BITS && request.cDepthBits <= VISUAL_DEPTH_BITS &&
           request.cStencilBits == 0 && request.cAccumBits == 0 && request.cAuxBuffers == 0;
}

}  // namespace

HDC GetDC(HWND window) { return window ? &window->deviceContext : nullptr; }

int ReleaseDC(HWND window, HDC deviceContext) { return window && deviceContext == &window->deviceContext ? 1 : 0; }

int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request) {
    return CanDraw(deviceContext) && request && RequestIsMet(*request) ? THE_FORMAT : 0;
}

BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR*) {
    return CanDraw(deviceContext) && format == THE_FORMAT ? TRUE : FALSE;
}

// SDL makes a new context current; Win32 does not, so the previous one is put back.
HGLRC wglCreateContext(HDC deviceContext) {
    if (!CanDraw(deviceContext)) return nullptr;
    FinishGlFrame();  // what was sent to the current context goes there before SDL switches
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(deviceContext->window->sdl);
    if (!context) return nullptr;
    auto* made = new PlatformGlContext{context};
    const bool drawable = AttachGlRenderer(made);
    SDL_GL_MakeCurrent(previousContext ? previousWindow : nullptr, previousContext);
    MakeGlRendererCurrent(currentContext);
    if (drawable) return made;
    SDL_GL_DeleteContext(context);
    delete made;
    return nullptr;
}

BOOL wglMakeCurrent(HDC deviceContext, HGLRC context) {
    FinishGlFrame();
    if (!context) {
        MakeGlRendererCurrent(nullptr);
        currentContext = nullptr;
        return SDL_GL_MakeCurrent(nullptr, nullptr) == 0 ? TRUE : FALSE;
    }
    if (!CanDraw(deviceContext)) return FALSE;
    if (SDL_GL_MakeCurrent(deviceContext->window->sdl, context->context) != 0) return FALSE;
    MakeGlRendererCurrent(context);
    currentContext = context;
    SDL_GL_SetSwapInterval(SWAP_EVERY_FRAME);  // a driver without vsync control still draws
    return TRUE;
}

BOOL wglDeleteContext(HGLRC context) {
    if (!context) return FALSE;
    FinishGlFrame();
    if (currentContext == context) {
        MakeGlRendererCurrent(nullptr);
        currentContext = nullptr;
    }
    if (SDL_GL_GetCurrentContext() == context->context) SDL_GL_MakeCurrent(nullptr, nullptr);
    DetachGlRenderer(context);
    SDL_GL_DeleteContext(context->context);
    delete context;
    return TRUE;
}

void SetFrameObserver(FrameObserver observer, void* user) {
    frameObserver = observer;
    frameObserverUser = user;
}

BOOL SwapBuffers(HDC deviceContext) {
    if (!CanDraw(deviceContext) || SDL_GL_GetCurrentWindow() != deviceContext->window->sdl) return FALSE;
    FinishGlFrame();
    if (frameObserver) frameObserver(deviceContext, frameObserverUser);
    SDL_GL_SwapWindow(deviceContext->window->sdl);
    return TRUE;
}
