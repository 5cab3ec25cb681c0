// The wobbling overlay: two translucent layers of the fish, swung by the wobble.
#include <GL/gl.h>

#include "resources/textures.h"
#include "scenes/timeline.h"

namespace {

// One layer: a square whose corners and texture coordinates move with the wobble w. Every
// value is worked out in double and handed to GL as a float.
void DrawOverlayLayer(double w) {
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(1, float(1 + 0.07 * w));
    glVertex3f(5, float(5 + 0.3 * w), 0);
    glTexCoord2f(float(0.03 * w), 1);
    glVertex3f(float(-5 + 0.3 * w), 5, 0);
    glTexCoord2f(1, float(0.03 * w));
    glVertex3f(float(5 + 0.3 * w), -5, 0);
    glTexCoord2f(float(0.07 * w), 0);
    glVertex3f(-5, float(-5 + 0.3 * w), 0);
    glEnd();
}

// In the second half of the overlay scene the intro square lies under the layers.
bool IntroUnderOverlay() { return 2.5 < g_demoClock && g_demoClock < 3.0; }

}  // namespace

void DrawOverlay() {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, g_texFish.textureName);
    glLoadIdentity();
    glTranslatef(0, 0, -4);
    StepOverlay();
    const double n = g_frameCounter;
    const double w = g_wobble;
    glColor4f(1, 1, 1, 0.5f);
    glRotatef(float(n * 0.016 + w * 0.0001), 0, 0, 1);
    DrawOverlayLayer(w);
    glColor4f(1, 1, 1, 1);
    // Not reset: the second layer turns by the sum of both turns.
    glRotatef(float(n * 0.0015 + w * 0.0001), 0, 0, 1);
    DrawOverlayLayer(w);
}

void StepOverlay() { AdvanceWobble(); }

void DrawOverlayScene() {
    // The intro square shows the fish, bound by last frame's overlay; the wobble then steps
    // twice per frame.
    if (IntroUnderOverlay()) DrawIntroImage();
    DrawOverlay();
}

void StepOverlayScene() {
    if (IntroUnderOverlay()) StepIntroImage();
    StepOverlay();
}
