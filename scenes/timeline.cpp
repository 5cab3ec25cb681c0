// The frame sequencer: one call draws one frame of the show, picked by the frame clock.
#include "scenes/timeline.h"

#include <GL/gl.h>

#include "resources/textures.h"
#include "terrain/terrain.h"

double g_demoClock = 0.0;
int32_t g_frameCounter = 0;
int32_t g_wobbleIndex = 0;
float g_wobble = 0.0f;

// Open intervals that touch but never overlap, so at most one row fires per frame.
#define SCENE_ROW(lower, upper, draw, step, name, key) {lower, upper, draw, step, name, key},
const SceneRow SCENE_TABLE[SCENE_ROW_COUNT] = {SCENE_ROWS(SCENE_ROW)};
#undef SCENE_ROW

int SceneRowAt(double clock) {
    for (int row = 0; row < SCENE_ROW_COUNT; ++row)
        if (SCENE_TABLE[row].lower < clock && clock < SCENE_TABLE[row].upper) return row + 1;
    return 0;
}

namespace {

void CountFrame() {
    g_frameCounter = int32_t(uint32_t(g_frameCounter) + 1u);
    // Repeated addition, not frame * step: the bounds the scenes test were met by this sum.
    g_demoClock += CLOCK_STEP;
}

}  // namespace

void RenderFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    if (int row = SceneRowAt(g_demoClock)) SCENE_TABLE[row - 1].draw();
    CountFrame();
}

void SkipFrame() {
    if (int row = SceneRowAt(g_demoClock); row && SCENE_TABLE[row - 1].step) SCENE_TABLE[row - 1].step();
    CountFrame();
}

void AdvanceWobble() {
    g_wobbleIndex += 1;
    g_wobble = g_sinTable[g_wobbleIndex] * WOBBLE_AMPLITUDE;
    if (g_wobbleIndex >= WOBBLE_PERIOD) g_wobbleIndex = 0;
}

namespace {

// The particles sit between the two bands so the nearer band hides the fountain's foot.
void DrawVolcano() {
    DrawBackdrop();
    DrawTerrainFirstBand();
    DrawParticles();
    DrawTerrainSecondBand();
}

}  // namespace

void DrawTurningTerrainView() {
    glTranslatef(-40, 0, 0);
    glRotatef(float(g_frameCounter * 0.3), 0, 1, 0);
    glPushMatrix();
    glTranslatef(-128, -28, -150);
    DrawVolcano();
    glPopMatrix();
}

void DrawStillTerrainView() {
    glTranslatef(-40, 0, 0);
    glPushMatrix();
    glTranslatef(-128, -28, -260);
    DrawVolcano();
    glPopMatrix();
}
