// The thread's message queue over SDL2's event queue. SDL events become the window messages
// the demo's procedure knows; a posted quit comes out once the messages pending before it are
// taken, as WM_QUIT does on Win32. The demo never filters, so the filters are not looked at.
#include <deque>

#include "platform/sdl_internal.h"

namespace sdl_platform {
namespace {

constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr WPARAM VK_NONE = 0xFF;      // what Win32 reports for a key without a virtual-key code
constexpr LPARAM ONE_KEY_STROKE = 1;  // repeat count 1 in the low word

std::deque<MSG> pending;
bool quitPosted = false;
int quitCode = 0;

WPARAM VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return WPARAM('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return WPARAM('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return WPARAM(0x70 + (key - SDLK_F1));
    switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_TAB: return 0x09;
    case SDLK_RETURN: return 0x0D;
    case SDLK_SPACE: return 0x20;
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    default: return VK_NONE;
    }
}

WPARAM ButtonsHeld(Uint32 state) {
    WPARAM held = 0;
    if (state & SDL_BUTTON_LMASK) held |= MK_LBUTTON;
    if (state & SDL_BUTTON_RMASK) held |= MK_RBUTTON;
    if (state & SDL_BUTTON_MMASK) held |= MK_MBUTTON;
    return held;
}

LPARAM Position(int x, int y) { return MAKELPARAM(WORD(x), WORD(y)); }

bool TranslateWindowEvent(const SDL_WindowEvent& event, HWND window, MSG* message) {
    if (event.windowID != SDL_GetWindowID(window->sdl)) return false;
    switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        // The window system confirms the size the window was made with once it is mapped;
        // Win32 sends WM_SIZE only when the size changes, so the repeat is dropped.
        if (!NoteClientSize(window, event.data1, event.data2)) return false;
        *message = {window, WM_SIZE, 0, MAKELPARAM(WORD(event.data1), WORD(event.data2))};
        return true;
    case SDL_WINDOWEVENT_EXPOSED: *message = {window, WM_PAINT, 0, 0}; return true;
    case SDL_WINDOWEVENT_CLOSE: *message = {window, WM_CLOSE, 0, 0}; return true;
    default: return false;
    }
}

bool TranslateButton(const SDL_MouseButtonEvent& event, HWND window, MSG* message) {
    bool down = event.type == SDL_MOUSEBUTTONDOWN;
    UINT kind;
    if (event.button == SDL_BUTTON_LEFT)
        kind = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    else if (event.button == SDL_BUTTON_RIGHT)
        kind = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    else
        return false;
    *message = {window, kind, ButtonsHeld(SDL_GetMouseState(nullptr, nullptr)), Position(event.x, event.y)};
    return true;
}

void PumpEvents() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        MSG message;
        if (TranslateEvent(event, TheWindow(), &message)) pending.push_back(message);
    }
}

}  // namespace

bool TranslateEvent(const SDL_Event& event, HWND window, MSG* message) {
    if (!window) return false;
    switch (event.type) {
    case SDL_WINDOWEVENT: return TranslateWindowEvent(event.window, window, message);
    case SDL_QUIT:
        // An interrupt or termination signal: the window is asked to close, so the program
        // leaves through its loop and gives the display mode back.
        *message = {window, WM_CLOSE, 0, 0};
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        *message = {window, event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, VirtualKey(event.key.keysym.sym),
                    ONE_KEY_STROKE};
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return TranslateButton(event.button, window, message);
    case SDL_MOUSEMOTION:
        *message = {window, WM_MOUSEMOVE, ButtonsHeld(event.motion.state), Position(event.motion.x, event.motion.y)};
        return true;
    default: return false;
    }
}

}  // namespace sdl_platform

using namespace sdl_platform;

BOOL PeekMessageA(MSG* message, HWND, UINT, UINT, UINT remove) {
    if (pending.empty() && !quitPosted) PumpEvents();
    if (!pending.empty()) {
        *message = pending.front();
        if (remove & PM_REMOVE) pending.pop_front();
        return TRUE;
    }
    if (quitPosted) {
        *message = MSG{nullptr, WM_QUIT, WPARAM(quitCode), 0};
        if (remove & PM_REMOVE) quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

// Nothing in the demo reads character messages, so there is nothing to translate.
BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* message) {
    if (!message || !message->hwnd) return 0;
    return SendToProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }

void PostQuitMessage(int exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    paint->hdc = window ? &window->deviceContext : nullptr;
    return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*) { return TRUE; }
