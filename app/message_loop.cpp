// The message loop, the demo window's procedure and the shutdown.
#include <GL/gl.h>

#include "app/keep_time.h"
#include "app/options.h"
#include "app/shell.h"
#include "model3ds/model.h"
#include "resources/textures.h"
#include "scenes/timeline.h"

bool g_lighting = true;

namespace {

void StartShowAgain() {
    RestartShow();
    RestartMusic();
    RestartKeepingTime();
}

// The loop's turn when the queue is empty: as always a frame, unless the options say otherwise.
void TakeTurn() {
    if ((g_options.loop || g_options.endWithShow) && ShowHasEnded()) {
        if (g_options.loop) {
            StartShowAgain();
        } else if (g_options.endWithShow) {
            PostQuitMessage(0);
            return;
        }
    }
    if (g_options.framesPerSecond > 0) WaitForFrameTime(g_options.framesPerSecond);
    if (g_options.keepTime && !KeepTime()) {
        WaitForDisplayFrame();
        return;
    }
    DrawFrame();
}

}  // namespace

int RunMessageLoop() {
    // Unless the command line asks for a pace, no sleep and no timer: a frame is drawn each
    // time the queue is empty, as fast as they come.
    MSG message;
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) break;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            TakeTurn();
        }
    }
    ReleaseModel();
    Shutdown();
    return int(message.wParam);
}

LRESULT DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        // A full-screen window keeps its size; only a framed one follows the user, and the
        // desktop's full screen follows the desktop.
        if (!g_fullScreen || g_desktopFullScreen) ResizeViewport(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_PAINT: {
        // Frames are drawn only by the loop; painting just validates the window.
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:  // the window stays until the process ends; the quit ends the loop
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) PostQuitMessage(0);
        return 0;
    case WM_RBUTTONDOWN:
        // Sets GL_LIGHTING to the switch whatever a scene did to it since.
        g_lighting = !g_lighting;
        if (g_lighting)
            glEnable(GL_LIGHTING);
        else
            glDisable(GL_LIGHTING);
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void Shutdown() {
    if (g_hglrc) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(g_hglrc);
    }
    if (g_hdc) ReleaseDC(g_hwnd, g_hdc);
    if (g_fullScreen) {
        ChangeDisplaySettingsA(nullptr, 0);
        ShowCursor(TRUE);
    }
    UnregisterClassA(WINDOW_CLASS_NAME, g_hInstance);
}
