// The GL state every scene starts from and the picture's viewport and projection: GL calls
// alone, on whatever context is current, so that a program with no window (the benchmark of
// our GL over a stub driver) starts the show exactly as the demo does.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>

#include "app/shell.h"

bool g_desktopFullScreen = false;

namespace {

constexpr double FIELD_OF_VIEW = 45.0;  // vertical, in degrees
constexpr double NEAR_PLANE = 1.0;
constexpr double FAR_PLANE = 4000.0;

}  // namespace

void SetShowGlState(int width, int height) {
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
