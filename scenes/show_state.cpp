// Skipping ahead in the show and starting it again: the state a frame starts from, reached
// without drawing the frames before it, and the state initialisation left, put back.
#include <GL/gl.h>

#include <cstring>

#include "scenes/timeline.h"
#include "terrain/terrain.h"

namespace {

// Everything but the viewport, which belongs to the window's size, not to the show.
constexpr GLbitfield SHOW_ATTRIBUTES = GL_ALL_ATTRIB_BITS & ~GLbitfield(GL_VIEWPORT_BIT);

GLdouble startModelView[16];  // the model-view matrix as initialisation left it
bool startKept = false;

// A row that fires for a moment lasts at least one frame; a clock past every row never comes
// back to one, so the search stops there.
template <typename Found>
int FirstFrameWhere(Found found) {
    const double end = SCENE_TABLE[SCENE_ROW_COUNT - 1].upper;
    double clock = 0;
    for (int frame = 0;; ++frame) {
        if (found(clock)) return frame;
        if (clock > end) return -1;
        clock += CLOCK_STEP;
    }
}

// The frame about to be drawn is the last of its row (or of a stretch of empty frames).
bool LastFrameOfItsRow() { return SceneRowAt(g_demoClock) != SceneRowAt(g_demoClock + CLOCK_STEP); }

// A frame drawn only for the state it leaves: an empty scissor box keeps the rasteriser from
// filling anything, and the scissor state, which no scene uses, is put back as it was.
void RenderUnseenFrame() {
    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    const GLboolean scissoring = glIsEnabled(GL_SCISSOR_TEST);
    glScissor(0, 0, 0, 0);
    glEnable(GL_SCISSOR_TEST);
    RenderFrame();
    glScissor(box[0], box[1], box[2], box[3]);
    if (!scissoring) glDisable(GL_SCISSOR_TEST);
}

}  // namespace

int FirstFrameOfRow(int row) {
    return FirstFrameWhere([row](double clock) { return SceneRowAt(clock) == row; });
}

int SceneRowByKey(const char* key) {
    for (int row = 0; row < SCENE_ROW_COUNT; ++row)
        if (key && std::strcmp(SCENE_TABLE[row].key, key) == 0) return row + 1;
    return 0;
}

int ShowEndFrame() {
    static const int end = FirstFrameWhere(
        [](double clock) { return clock > SCENE_TABLE[SCENE_ROW_COUNT - 1].lower && SceneRowAt(clock) == 0; });
    return end;
}

bool ShowHasEnded() { return g_frameCounter >= ShowEndFrame(); }

void FastForwardShow(int frame) {
    // Scenes set the GL state they need and leave it; within a row every frame sets the same
    // things. So the last frame of each row and the frame just before the start, drawn, leave
    // exactly what drawing every frame would have left; the others only step the show.
    if (g_frameCounter >= frame) return;
    StepShowOver(frame - 1 - g_frameCounter);
    RenderUnseenFrame();
}

void StepShowOver(int frames) {
    // After a drawn frame its row's state is there already: only a row that ends among these
    // frames needs its last frame drawn.
    for (int i = 0; i < frames; ++i) {
        if (LastFrameOfItsRow())
            RenderUnseenFrame();
        else
            SkipFrame();
    }
}

void KeepShowStartState() {
    glPushAttrib(SHOW_ATTRIBUTES);
    glGetDoublev(GL_MODELVIEW_MATRIX, startModelView);
    startKept = true;
}

void RestartShow() {
    g_demoClock = 0.0;
    g_frameCounter = 0;
    g_wobbleIndex = 0;
    g_wobble = 0.0f;
    ResetParticles();
    if (!startKept) return;
    // Popped and kept again at once, for the next time round.
    glPopAttrib();
    glPushAttrib(SHOW_ATTRIBUTES);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(startModelView);
}
