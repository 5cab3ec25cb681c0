// The rendering context on the demo window, the fixed GL state and the projection.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>

#include "app/shell.h"
#include "resources/textures.h"

HDC g_hdc = nullptr;
HGLRC g_hglrc = nullptr;

namespace {

constexpr double FIELD_OF_VIEW = 45.0;  // vertical, in degrees
constexpr double NEAR_PLANE = 1.0;
constexpr double FAR_PLANE = 4000.0;

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

    glViewport(0, 0, width, height);
    glEnable(GL_TEXTURE_2D);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glShadeModel(GL_SMOOTH);
    // Only the mode: the scenes switch GL_TEXTURE_GEN_S and _T on where they want sphere mapping.
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_DEPTH_TEST);  // the comparison stays at GL_LESS for the whole run
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);  // additive, for the scenes that enable blending
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_COLOR_MATERIAL);
    ResizeViewport(width, height);
}

PictureArea PictureAreaOf(int clientWidth, int clientHeight) {
    if (!g_desktopFullScreen) return {0, 0, clientWidth, clientHeight};
    // The clear fills the whole window, so what lies outside the picture stays black.
    int width = clientWidth, height = clientHeight;
    if (int64_t(width) * CLIENT_HEIGHT > int64_t(height) * CLIENT_WIDTH)
        width = int(int64_t(height) * CLIENT_WIDTH / CLIENT_HEIGHT);
    else
        height = int(int64_t(width) * CLIENT_HEIGHT / CLIENT_WIDTH);
    return {(clientWidth - width) / 2, (clientHeight - height) / 2, width, height};
}

void ResizeViewport(int width, int height) {
    if (height == 0) height = 1;  // a minimised or flattened window: no division by zero
    PictureArea picture = PictureAreaOf(width, height);
    if (picture.height == 0) picture.height = 1;
    glViewport(picture.x, picture.y, picture.width, picture.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW, double(picture.width) / double(picture.height), NEAR_PLANE, FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
