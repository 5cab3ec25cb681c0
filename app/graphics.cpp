// The rendering context on the demo window; view.cpp sets the state it starts with.
#include "app/shell.h"
#include "resources/textures.h"

HDC g_hdc = nullptr;
HGLRC g_hglrc = nullptr;

namespace {

PIXELFORMATDESCRIPTOR PixelFormatRequest() {
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    request.dwLayerMask = PFD_MAIN_PLANE;
    return request;
}

}  // namespace

bool SetupPixelFormat(HDC deviceContext) {
    PIXELFORMATDESCRIPTOR request = PixelFormatRequest();
    int format = ChoosePixelFormat(deviceContext, &request);
    if (format == 0) {
        ReportError("ChoosePixelFormat failed");
        return false;
    }
    if (!SetPixelFormat(deviceContext, format, &request)) {
        ReportError("SetPixelFormat failed");
        return false;
    }
    return true;
}

void InitGraphics(int width, int height) {
    g_hdc = GetDC(g_hwnd);
    // Without a format the calls below meet no context and do nothing; the loop ends on the quit.
    if (!SetupPixelFormat(g_hdc)) PostQuitMessage(0);
    g_hglrc = wglCreateContext(g_hdc);
    wglMakeCurrent(g_hdc, g_hglrc);
    SetShowGlState(width, height);
}
